'use strict';
// The message channel: custom commands to users and rooms, sessions with unread
// counts, deletion and history, the session type's two numberings, and its listener.

const { test, afterEach } = require('node:test');
const assert = require('node:assert/strict');
const { recorder, settled } = require('./helpers');
const { settle, joined } = require('./room-helpers');

const last = (s, op) => s.journal(op).at(-1).args;

// Removals of the listeners a test added and did not remove (it failed): a
// registered listener keeps the process alive.
const open = new Set();
afterEach(() => {
  for (const remove of open) remove();
  open.clear();
});

/** The channel, reset, with a recording listener; `done()` removes it. */
async function channel() {
  const env = await joined();
  env.s.reset();
  env.s.channel.reset();
  const svc = env.kit.getMessageChannelService();
  const heard = recorder();
  const id = svc.addMessageChannelListener(heard.fn);
  const remove = () => svc.removeMessageChannelListener(id);
  open.add(remove);
  const done = () => {
    open.delete(remove);
    assert.equal(remove(), true);
  };
  return { ...env, svc, heard, done };
}

test('session types: script 0 is the SDK\'s 1 and any other number its 0; records map back, or leave the key out', async () => {
  const { s, kit, svc, heard, done } = await channel();
  for (const [script, sdk] of [[0, 1], [1, 0], [2, 0], [-1, 0], [0.5, 1], [2 ** 32, 1]]) {
    await settle((cb) => svc.clearUnreadCount('s', script, cb));
    assert.deepEqual(last(s, 'clearUnreadCount'), ['s', sdk], `clearUnreadCount with ${script}`);
    await settle((cb) => svc.queryUnreadMessageList('s', script, cb));
    assert.deepEqual(last(s, 'queryUnreadMessageList'), ['s', sdk], `queryUnreadMessageList with ${script}`);
  }
  for (const [sdk, script] of [[1, 0], [0, -1], [2, undefined]]) {
    s.channel.receive({ sessionId: `t${sdk}`, sessionType: sdk, messageId: `m${sdk}`, data: 'd', time: 5 });
    const [, message] = await heard.next('onSessionMessageReceived');
    const [, [recent]] = await heard.next('onSessionMessageRecentChanged');
    assert.equal(message.sessionType, script, `received, SDK type ${sdk}`);
    assert.equal(recent.sessionType, script, `recent, SDK type ${sdk}`);
    assert.equal('sessionType' in message, script !== undefined, `received, SDK type ${sdk}: the key`);
    assert.equal('sessionType' in recent, script !== undefined, `recent, SDK type ${sdk}: the key`);
  }
  await settled(kit);
  done();
});

test('records carry their keys in order, on events and in results alike', async () => {
  const { s, svc, heard, done } = await channel();
  s.channel.custom({ roomUuid: 'r', senderUuid: 'bob', data: 'x', commandId: -7 });
  s.channel.receive({ sessionId: 'bob', sessionType: 1, messageId: 'm1', data: 'hi', time: 2 ** 41, fromAccount: 'bob', fromNick: 'Bob' });
  const [, custom] = await heard.next('onCustomMessageReceived');
  assert.equal(JSON.stringify(custom), JSON.stringify({ roomUuid: 'r', senderUuid: 'bob', data: 'x', commandId: -7 }));
  const message = { sessionId: 'bob', messageId: 'm1', data: 'hi', time: 2 ** 41, sessionType: 0 };
  assert.equal(JSON.stringify((await heard.next('onSessionMessageReceived'))[1]), JSON.stringify(message));
  const [, recent] = await heard.next('onSessionMessageRecentChanged');
  assert.equal(JSON.stringify(recent), JSON.stringify([{
    sessionId: 'bob', fromAccount: 'bob', fromNick: 'Bob', recentMessageId: 'm1', content: 'hi', unreadCount: 1, time: 2 ** 41, sessionType: 0,
  }]));
  const [, , unread] = await settle((cb) => svc.queryUnreadMessageList('bob', 0, cb));
  assert.equal(JSON.stringify(unread), JSON.stringify([message]));
  done();
});

test('unread counts: what arrives is unread, deleting an unread message takes it off, clearing reads them all', async () => {
  const { s, svc, heard, done } = await channel();
  const unreadCounts = () => heard.calls.filter((c) => c[0] === 'onSessionMessageRecentChanged').map((c) => c[1][0].unreadCount);
  for (const id of ['a', 'b', 'c']) s.channel.receive({ sessionId: 'bob', sessionType: 1, messageId: id, data: id, time: 1 });
  for (let i = 0; i < 3; i++) await heard.next('onSessionMessageRecentChanged');
  assert.deepEqual(unreadCounts(), [1, 2, 3]);
  const unreadIds = async () => (await settle((cb) => svc.queryUnreadMessageList('bob', 0, cb)))[2].map((m) => m.messageId);
  assert.deepEqual(await unreadIds(), ['a', 'b', 'c'], 'oldest first');
  // The same session ID with the other type is another session.
  assert.deepEqual((await settle((cb) => svc.queryUnreadMessageList('bob', 1, cb)))[2], []);

  assert.deepEqual(await settle((cb) => svc.deleteSessionMessage('bob', 0, 'b', cb)), [0, '']);
  assert.equal((await heard.next('onSessionMessageDeleted'))[1].messageId, 'b');
  await heard.next('onSessionMessageRecentChanged');
  assert.deepEqual(await unreadIds(), ['a', 'c']);
  assert.deepEqual(await settle((cb) => svc.deleteSessionMessage('bob', 0, 'b', cb)), [404, 'no message b in session bob']);

  assert.deepEqual(await settle((cb) => svc.clearUnreadCount('bob', 0, cb)), [0, '']);
  await heard.next('onSessionMessageRecentChanged');
  assert.deepEqual(await unreadIds(), []);
  // A message that arrives after the clearing is the only unread one; deleting a read one leaves the count.
  s.channel.receive({ sessionId: 'bob', sessionType: 1, messageId: 'd', data: 'd', time: 2 });
  await heard.next('onSessionMessageRecentChanged');
  await settle((cb) => svc.deleteSessionMessage('bob', 0, 'a', cb));
  await heard.next('onSessionMessageRecentChanged');
  assert.deepEqual(await unreadIds(), ['d']);
  assert.deepEqual(unreadCounts(), [1, 2, 3, 2, 0, 1, 1]);
  assert.deepEqual(s.channel.sessions().map((x) => [x.sessionId, x.sessionType, x.unreadCount, x.messages.map((m) => m.messageId)]),
    [['bob', 1, 1, ['c', 'd']]]);

  await settle((cb) => svc.deleteAllSessionMessage('bob', 0, cb));
  assert.deepEqual([(await heard.next('onSessionMessageDeleted'))[1].messageId, (await heard.next('onSessionMessageDeleted'))[1].messageId], ['c', 'd']);
  const [, [emptied]] = await heard.next('onSessionMessageRecentChanged');
  assert.deepEqual([emptied.unreadCount, emptied.recentMessageId], [0, '']);
  done();
});

test('history: an empty query asks for the defaults; times, order and limit choose the page', async () => {
  const { s, svc, done } = await channel();
  await settle((cb) => svc.getSessionMessagesHistory({}, cb));
  assert.deepEqual(last(s, 'getSessionMessagesHistory'), [{ sessionId: '', sessionType: 0, fromTime: 0, toTime: 0, limit: 10, order: 1 }]);
  for (let t = 1; t <= 5; t++) s.channel.receive({ sessionId: 'h', sessionType: 0, messageId: `m${t}`, data: '', time: t * 1000 });
  const page = async (query) => (await settle((cb) => svc.getSessionMessagesHistory({ sessionId: 'h', sessionType: 3, ...query }, cb)))[2].map((m) => m.messageId);
  assert.deepEqual(await page({}), ['m5', 'm4', 'm3', 'm2', 'm1'], 'newest first by default');
  assert.deepEqual(await page({ order: 0, fromTime: 2000, toTime: 4000 }), ['m2', 'm3', 'm4']);
  assert.deepEqual(await page({ limit: 2 }), ['m5', 'm4']);
  assert.deepEqual(last(s, 'getSessionMessagesHistory'), [{ sessionId: 'h', sessionType: 0, fromTime: 0, toTime: 0, limit: 2, order: 1 }]);
  // Keys are read only when present, inherited ones too; a wrong type is the runtime's error.
  await settle((cb) => svc.getSessionMessagesHistory(Object.create({ sessionType: 0, fromTime: 2 ** 40 + 0.9 }), cb));
  assert.deepEqual(last(s, 'getSessionMessagesHistory')[0], { sessionId: '', sessionType: 1, fromTime: 2 ** 40, toTime: 0, limit: 10, order: 1 });
  assert.throws(() => svc.getSessionMessagesHistory({ limit: 'ten' }, () => {}), /number/i);
  done();
});

test('custom messages: to the local user they come back, to a room not joined they fail later, and another member\'s arrive by script', async () => {
  const { s, kit, uuid, svc, heard, ctx, done } = await channel();
  const me = ctx.getLocalMember().uuid;
  s.rooms.addMember(uuid, { uuid: 'bob', name: 'Bob' });
  assert.equal(svc.sendCustomMessage(uuid, me, 3, 'ping', () => {}), true);
  assert.deepEqual((await heard.next('onCustomMessageReceived'))[1], { roomUuid: uuid, senderUuid: me, data: 'ping', commandId: 3 });
  // To bob, in the room: sent, not heard here.
  assert.deepEqual(await settle((cb) => svc.sendCustomMessage(uuid, 'bob', 4, 'pong', cb)), [0, '']);
  assert.deepEqual(last(s, 'sendCustomMessage'), [uuid, 'bob', 4, 'pong']);
  for (const [args, message] of [[[uuid, 'zed', 5, 'x'], `no member zed in a joined room ${uuid}`], [['gone', 'bob', 5, 'x'], 'no member bob in a joined room gone']]) {
    let returned;
    const answer = await settle((cb) => { returned = svc.sendCustomMessage(...args, cb); });
    assert.equal(returned, true, 'true once the SDK has the call');
    assert.deepEqual(answer, [404, message]);
  }
  assert.deepEqual(await settle((cb) => svc.sendCustomMessageToRoom(uuid, 9, 'all', cb)), [0, '']);
  assert.deepEqual(await settle((cb) => svc.sendCustomMessageToRoom('gone', 9, 'all', cb)), [404, 'no joined room gone']);
  assert.equal(s.channel.custom({ roomUuid: uuid, senderUuid: 'bob', data: 'raise-hand', commandId: 12 }), 1);
  assert.deepEqual((await heard.next('onCustomMessageReceived'))[1], { roomUuid: uuid, senderUuid: 'bob', data: 'raise-hand', commandId: 12 });
  await settled(kit);
  assert.equal(heard.calls.filter((c) => c[0] === 'onCustomMessageReceived').length, 2, 'only those two');
  done();
});

test('listener ids: removing one never issued or removed already throws "Index out of bounds"; a missing service answers -1 and false', async () => {
  const { s, svc, heard, done } = await channel();
  const id = svc.addMessageChannelListener(() => {});
  const removeOnFailure = () => { s.reset(); svc.removeMessageChannelListener(id); };
  open.add(removeOnFailure);
  assert.throws(() => svc.removeMessageChannelListener(id + 1000), { name: 'TypeError', message: 'Index out of bounds' });
  s.setLink('messageChannelService', false);
  assert.equal(svc.addMessageChannelListener(() => {}), -1);
  assert.equal(svc.removeMessageChannelListener(id), false, 'kept for later');
  assert.throws(() => svc.clearUnreadCount('s', 0, () => assert.fail('called back')), { name: 'TypeError', message: 'Null pointer exception' });
  s.setLink('messageChannelService', true);
  assert.equal(svc.removeMessageChannelListener(id), true);
  open.delete(removeOnFailure);
  assert.throws(() => svc.removeMessageChannelListener(id), { message: 'Index out of bounds' });
  // Events raised after a listener is gone reach only those still there.
  assert.equal(s.emit('messageChannel', 'onSessionMessageDeleted', [{ sessionId: 'x', sessionType: 1, messageId: 'y', data: '', time: 0 }]), 1);
  assert.deepEqual((await heard.next('onSessionMessageDeleted'))[1], { sessionId: 'x', messageId: 'y', data: '', time: 0, sessionType: 0 });
  done();
});
