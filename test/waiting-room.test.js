'use strict';
// The waiting room: people arriving and admitted into the room (both lists change),
// expelled, put back and renamed, its two shapes of state, its listener's ids and
// removal, managers, and what is left of it once its room has ended.

const { test, afterEach } = require('node:test');
const assert = require('node:assert/strict');
const { settle, joinedWith, listen, recorder, closeListeners } = require('./room-helpers');

// Waiting-room listeners not removed yet: removed after each test, so the process can end.
const open = new Set();
afterEach(async () => {
  for (const entry of [...open]) entry.remove();
  await closeListeners();
});

/** A waiting-room listener that records every call, as recorder() does. */
function listenWaiting(waiting) {
  const heard = recorder();
  const id = waiting.addListener(heard.fn);
  const entry = { ...heard, id, remove: () => open.delete(entry) && waiting.removeListener(id) };
  open.add(entry);
  return entry;
}

/** A joined room (Ann, host, with bob) and its waiting room. */
async function waitingRoom() {
  const room = await joinedWith({ uuid: 'bob', name: 'Bob', role: 'member' });
  return { ...room, waiting: room.ctx.getWaitingRoomController() };
}

const ENTRANT_KEYS = ['uuid', 'joinTime', 'status', 'avatar', 'name'];
const remoteUuids = (ctx) => ctx.getRemoteMembers().map((m) => m.uuid);
const waitingUuids = async (waiting) => (await settle((cb) => waiting.getMemberList(0, 0, 0, cb)))[2].map((p) => p.uuid);

test('a guest arrives, waits and is admitted: the waiting list and the room both change, and both listeners hear it', async () => {
  const { s, uuid, ctx, waiting } = await waitingRoom();
  const room = listen(ctx);
  const heard = listenWaiting(waiting);
  s.waitingRoom.arrive(uuid, { uuid: 'guest', name: 'Guest', avatar: 'g.png', joinTime: 1234, status: 3 });
  const [, entrant, reason] = await heard.next('onMemberJoin');
  assert.deepEqual(Object.entries(entrant), [['uuid', 'guest'], ['joinTime', 1234], ['status', 3], ['avatar', 'g.png'], ['name', 'Guest']]);
  assert.equal(reason, 0);
  assert.equal((await heard.next('onWaitingRoomInfoUpdated'))[1].memberCount, 1);
  assert.deepEqual(await waitingUuids(waiting), ['guest']);
  assert.equal(waiting.getWaitingRoomInfo().memberCount, 1);

  assert.deepEqual(await settle((cb) => waiting.admitMember('guest', true, cb)), [0, '']);
  assert.deepEqual(s.journal('admitMember').at(-1).args, ['guest', true]);
  assert.deepEqual(await heard.next('onMemberAdmitted'), ['onMemberAdmitted', 'guest']);
  assert.equal((await heard.next('onWaitingRoomInfoUpdated'))[1].memberCount, 0);
  const [, joinedRoom] = await room.next('onMemberJoinRoom');
  assert.deepEqual(joinedRoom.map((m) => [m.uuid, m.name, m.avatar, m.role.name]), [['guest', 'Guest', 'g.png', 'member']]);
  assert.deepEqual(remoteUuids(ctx), ['bob', 'guest']);
  assert.deepEqual(await waitingUuids(waiting), []);
  assert.deepEqual(await settle((cb) => waiting.admitMember('guest', false, cb)), [404, 'no guest to act on']);
  assert.equal(heard.calls.some((c) => c[0] === 'this is not undefined'), false);
  room.remove();
});

test('admitting everyone lets them in at once; disabling with a true flag does the same', async () => {
  const { s, uuid, ctx, waiting } = await waitingRoom();
  const room = listen(ctx);
  s.waitingRoom.arrive(uuid, [{ uuid: 'g1', name: 'One' }, { uuid: 'g2', name: 'Two' }]);
  await settle((cb) => waiting.admitAllMembers(cb));
  assert.deepEqual((await room.next('onMemberJoinRoom'))[1].map((m) => m.uuid), ['g1', 'g2'], 'one event with both');

  await settle((cb) => waiting.enableWaitingRoomOnEntry(cb));
  assert.equal(waiting.isWaitingRoomEnabledOnEntry(), true);
  s.waitingRoom.arrive(uuid, { uuid: 'g3', name: 'Three' });
  // The flag counts by script's own conversion.
  await settle((cb) => waiting.disableWaitingRoomOnEntry('yes', cb));
  assert.deepEqual(s.journal('disableWaitingRoomOnEntry').at(-1).args, [true]);
  assert.equal(waiting.isWaitingRoomEnabledOnEntry(), false);
  assert.deepEqual((await room.next('onMemberJoinRoom'))[1].map((m) => m.uuid), ['g3']);
  assert.deepEqual(remoteUuids(ctx), ['bob', 'g1', 'g2', 'g3']);
  room.remove();
});

test('expelled, sent back, renamed: each heard with its reason; the person named is coerced', async () => {
  const { s, uuid, ctx, waiting } = await waitingRoom();
  const room = listen(ctx);
  const heard = listenWaiting(waiting);
  s.waitingRoom.arrive(uuid, [{ uuid: 'g1', name: 'One' }, { uuid: 'g2', name: 'Two' }]);

  await settle((cb) => waiting.changeMemberName('g1', 'Uno', cb));
  assert.deepEqual(await heard.next('onMemberNameChanged'), ['onMemberNameChanged', 'g1', 'Uno']);
  assert.equal(s.waitingRoom.get(uuid).people[0].name, 'Uno');

  await settle((cb) => waiting.expelMember({ toString: () => 'g1' }, 1, cb));
  assert.deepEqual(s.journal('expelMember').at(-1).args, ['g1', true]);
  assert.deepEqual(await heard.next('onMemberLeave'), ['onMemberLeave', 'g1', 1]);

  // Bob leaves the room for the waiting room.
  await settle((cb) => waiting.putInWaitingRoom('bob', cb));
  assert.deepEqual((await room.next('onMemberLeaveRoom'))[1].map((m) => m.uuid), ['bob']);
  const [, back, reason] = await heard.next('onMemberJoin');
  assert.deepEqual([back.uuid, back.name, reason], ['bob', 'Bob', 1]);
  assert.deepEqual(remoteUuids(ctx), []);
  assert.deepEqual(await waitingUuids(waiting), ['g2', 'bob']);
  assert.deepEqual(await settle((cb) => waiting.putInWaitingRoom('nobody', cb)), [404, 'no nobody to act on']);

  s.waitingRoom.leave(uuid, 'g2', { reason: 7 });
  assert.deepEqual(await heard.next('onMemberLeave'), ['onMemberLeave', 'g2', 7]);
  await settle((cb) => waiting.expelAllMembers(0, cb));
  assert.deepEqual(s.journal('expelAllMembers').at(-1).args, [false]);
  assert.deepEqual(await heard.next('onAllMembersKicked'), ['onAllMembersKicked']);
  assert.deepEqual(await waitingUuids(waiting), []);
  room.remove();
});

test('the state, read and heard: the same values under other key names and in another order', async () => {
  const { s, uuid, waiting } = await waitingRoom();
  const heard = listenWaiting(waiting);
  // Above 2^53 precision goes, the sign stays.
  s.waitingRoom.update(uuid, { logo: 'logo.png', backgroundImageUrl: 'bg.png', chatroomId: 2 ** 63, isEnabledOnEntry: true });
  const [, update] = await heard.next('onWaitingRoomInfoUpdated');
  const info = waiting.getWaitingRoomInfo();
  assert.deepEqual(Object.entries(info), [['roomUuid', uuid], ['logo', 'logo.png'], ['backgroundImageUrl', 'bg.png'],
    ['memberCount', 0], ['chatroomID', 2 ** 63], ['isEnabledOnEntry', true]]);
  assert.deepEqual(Object.entries(update), [['roomUuid', uuid], ['memberCount', 0], ['isEnabledOnEntry', true],
    ['chatroomID', 2 ** 63], ['backgroundImage', 'bg.png'], ['logo', 'logo.png']]);
  assert.ok(info.chatroomID > 0);
  s.waitingRoom.setMyStatus(uuid, 1, 2);
  assert.deepEqual(await heard.next('onMyWaitingRoomStatusChanged'), ['onMyWaitingRoomStatusChanged', 1, 2]);
  assert.equal(waiting.isWaitingRoomEnabledOnEntry(), true);
});

test('managers are the hosts and cohosts, each as the waiting room\'s shorter member record', async () => {
  const { s, uuid, ctx, waiting } = await waitingRoom();
  s.rooms.addMember(uuid, { uuid: 'cy', name: 'Cy', role: 'cohost', avatar: 'cy.png' });
  const heard = listenWaiting(waiting);
  const [, , managers] = await settle((cb) => waiting.getWaitingRoomManagerList(cb));
  assert.deepEqual(managers.map((m) => Object.keys(m)), [['uuid', 'role', 'avatar', 'name'], ['uuid', 'role', 'avatar', 'name']]);
  assert.deepEqual(managers.map((m) => [m.name, m.role.name, m.avatar]), [['Ann', 'host', ''], ['Cy', 'cohost', 'cy.png']]);
  assert.deepEqual(managers[1].role, ctx.getRemoteMembers()[1].role, 'the role record in full');
  s.waitingRoom.managersUpdated(uuid);
  assert.deepEqual((await heard.next('onManagersUpdated'))[1], managers);
});

test('listener ids come from the one counter; removing twice, or through another room, answers false', async () => {
  const first = await waitingRoom();
  const second = await waitingRoom();
  const a = first.waiting.addListener(() => {});
  const roomId = first.ctx.addRoomListener(() => {});
  const b = first.waiting.addListener(() => {});
  assert.deepEqual([roomId, b], [a + 1, a + 2]);
  assert.equal(second.waiting.removeListener(a), false, 'not registered through that room');
  assert.equal(first.waiting.removeListener(a), true);
  assert.equal(first.waiting.removeListener(a), false);
  assert.equal(first.waiting.removeListener(b), true);
  assert.equal(first.ctx.removeRoomListener(roomId), true);
  assert.equal(first.s.listeners('waitingRoom', first.uuid), 0);
});

test('once the room has ended its waiting room is gone: nothing more is heard, every method throws, removal answers false', async () => {
  const { s, uuid, ctx, waiting } = await waitingRoom();
  const heard = listenWaiting(waiting);
  const room = listen(ctx);
  s.waitingRoom.arrive(uuid, { uuid: 'late', name: 'Late' });
  await heard.next('onWaitingRoomInfoUpdated');
  s.rooms.end(uuid, 3);
  assert.deepEqual(await room.next('onRoomEnded'), ['onRoomEnded', 3]);
  assert.equal(s.listeners('waitingRoom', uuid), 0, 'its listeners went with it');
  assert.equal(s.emit('waitingRoom', 'onMemberAdmitted', ['late'], { room: uuid }), 0);
  assert.throws(() => s.waitingRoom.arrive(uuid, { uuid: 'later' }), /no joined room/);
  const methods = Object.getOwnPropertyNames(Object.getPrototypeOf(waiting))
    .filter((n) => !['constructor', 'addListener', 'removeListener'].includes(n));
  assert.equal(methods.length, 12);
  let called = false;
  const cb = () => { called = true; };
  s.clearJournal();
  // Arguments are read first: these read without an error.
  const args = { getMemberList: [0, 0, 0], changeMemberName: ['late', 'L'], disableWaitingRoomOnEntry: [true],
    admitMember: ['late', true], expelMember: ['late', true], putInWaitingRoom: ['late'], expelAllMembers: [true] };
  for (const name of methods) {
    assert.throws(() => waiting[name](...(args[name] || []), cb), { name: 'TypeError', message: 'Null pointer exception' }, name);
  }
  assert.equal(waiting.addListener(() => {}), -1);
  assert.equal(heard.remove(), false);
  assert.deepEqual(s.journal().filter((e) => e.op !== 'destroyQVParlo'), []);
  assert.equal(called, false);
  assert.equal(heard.calls.length, 2, 'nothing after the room ended');
  room.remove();
});

test("the waiting room's own chat: a guest writes, the host answers, both in the waiting room's chatroom", async () => {
  const { s, uuid, ctx } = await waitingRoom();
  const room = listen(ctx);
  s.waitingRoom.arrive(uuid, { uuid: 'guest', name: 'Guest' });
  s.chat.receive(uuid, { fromUserUuid: 'guest', fromNick: 'Guest', text: 'may I come in?' }, { waitingRoom: true });
  const [, [asked]] = await room.next('onReceiveChatroomMessages');
  assert.deepEqual([asked.text, asked.chatroomType], ['may I come in?', 1]);
  const [, , answer] = await settle((cb) => ctx.getWaitingRoomChatController().sendDirectTextMessage('guest', 'one moment', cb));
  assert.deepEqual([answer.chatroomType, answer.toUserUuidList], [1, ['guest']]);
  assert.equal(s.journal('sendDirectTextMessage').at(-1).interface, 'waitingRoomChatController');
  room.remove();
});

test('every event as the SDK may raise it, null people included, reaches the listener converted', async () => {
  const { s, uuid, waiting } = await waitingRoom();
  const heard = listenWaiting(waiting);
  const info = { roomUuid: uuid, logo: 'l', backgroundImageUrl: 'b', memberCount: 4294967295, chatroomId: 9, isEnabledOnEntry: true };
  const sent = [
    ['onWaitingRoomInfoUpdated', info],
    ['onMemberJoin', null, -2147483648],
    ['onMemberJoin', { uuid: 'p', name: 'P', avatar: 'a', joinTime: -5, status: 2147483647 }, 1],
    ['onMemberLeave', 'p', 3],
    ['onMemberAdmitted', 'q'],
    ['onAllMembersKicked'],
    ['onManagersUpdated', [{ uuid: 'ann', name: 'Ann', role: 'host' }, null]],
    ['onMemberNameChanged', 'p', 'Pat'],
    ['onMyWaitingRoomStatusChanged', 2, -1],
  ];
  for (const [event, ...args] of sent) assert.equal(s.waitingRoom.emit(uuid, event, ...args), 1, event);
  const calls = [];
  for (const [event] of sent) calls.push(await heard.next(event));
  assert.deepEqual(calls, [
    ['onWaitingRoomInfoUpdated', { roomUuid: uuid, memberCount: 4294967295, isEnabledOnEntry: true, chatroomID: 9,
      backgroundImage: 'b', logo: 'l' }],
    ['onMemberJoin', {}, -2147483648],
    ['onMemberJoin', { uuid: 'p', joinTime: -5, status: 2147483647, avatar: 'a', name: 'P' }, 1],
    ['onMemberLeave', 'p', 3],
    ['onMemberAdmitted', 'q'],
    ['onAllMembersKicked'],
    ['onManagersUpdated', [{ uuid: 'ann', role: calls[6][1][0].role, avatar: '', name: 'Ann' }, {}]],
    ['onMemberNameChanged', 'p', 'Pat'],
    ['onMyWaitingRoomStatusChanged', 2, -1],
  ]);
  assert.equal(calls[6][1][0].role.name, 'host');
});

test('the waiting list pages from a join time on, oldest or newest first, at most a limit', async () => {
  const { s, uuid, waiting } = await waitingRoom();
  s.waitingRoom.arrive(uuid, [10, 20, 30, 40].map((t) => ({ uuid: `p${t}`, joinTime: t })));
  const page = async (...args) => (await settle((cb) => waiting.getMemberList(...args, cb)))[2].map((p) => p.uuid);
  assert.deepEqual(await page(20, 0, 0), ['p20', 'p30', 'p40']);
  assert.deepEqual(await page(20.9, 2, 1), ['p40', 'p30'], 'the time truncated, newest first');
  assert.deepEqual(s.journal('getMemberList').at(-1).args, [20, 2, 1]);
  assert.deepEqual(await page(50, 0, 0), []);
});
