'use strict';
// Chat: the message kinds as script receives them, the room's two chatrooms,
// history and recall, file transfers with their progress, downloads, and what a
// room that is gone does to the chat wrappers.

const { test, afterEach } = require('node:test');
const assert = require('node:assert/strict');
const { nextCall } = require('./helpers');
const { settle, joinedWith, listen, closeListeners } = require('./room-helpers');

afterEach(closeListeners);

const COMMON = ['messageUuid', 'fromUserUuid', 'fromNick', 'fromAvatar', 'time', 'chatroomType', 'toUserUuidList'];
const FILE = ['displayName', 'extension', 'md5', 'url'];

/** A joined room (Ann, host, with bob) and its two chats. */
async function chatRoom() {
  const room = await joinedWith({ uuid: 'bob', name: 'Bob', role: 'member' });
  return { ...room, chat: room.ctx.getChatController(), waitingChat: room.ctx.getWaitingRoomChatController() };
}

const historyOf = (s, uuid, options) => s.chat.get(uuid, options).history.map((m) => m && m.messageUuid);

test('a send answers the message as sent, each kind with its own keys in their order', async (t) => {
  const { s, uuid, chat } = await chatRoom();
  // One step, no wait: the transfer is through at once.
  s.chat.setFile('/docs/deck.pdf', { size: 2 ** 40 + 5, md5: 'abc', steps: 1, stepMs: 0 });
  s.chat.setFile('/pics/cat.png', { size: 2048, steps: 1, stepMs: 0 });

  await t.test('text, custom, file and image, as the simulated chatroom makes them', async () => {
    const [, , text] = await settle((cb) => chat.sendDirectTextMessage('bob', 'psst', cb));
    assert.deepEqual(Object.keys(text), [...COMMON, 'messageType', 'text']);
    assert.deepEqual({ ...text, time: 0, messageUuid: '' }, {
      messageUuid: '', fromUserUuid: 'sim-local-user', fromNick: 'Ann', fromAvatar: '', time: 0, chatroomType: 0,
      toUserUuidList: ['bob'], messageType: 'text', text: 'psst',
    });
    const [, , custom] = await settle((cb) => chat.sendBroadcastCustomMessage('{"hand":1}', cb));
    assert.deepEqual(Object.keys(custom), [...COMMON, 'messageType', 'attachStr']);
    assert.equal(custom.attachStr, '{"hand":1}');
    assert.deepEqual(custom.toUserUuidList, [], 'no recipients: an empty array');

    // A file's size comes before its path, an image's after.
    const [, , file] = await settle((cb) => chat.sendFileMessage('f-1', '/docs/deck.pdf', ['bob', 'cy'], cb));
    assert.deepEqual(Object.keys(file), [...COMMON, 'messageType', ...FILE, 'size', 'path']);
    assert.deepEqual([file.messageUuid, file.displayName, file.extension, file.md5, file.size, file.path],
      ['f-1', 'deck.pdf', 'pdf', 'abc', 2 ** 40 + 5, '/docs/deck.pdf']);
    assert.deepEqual(file.toUserUuidList, ['bob', 'cy']);
    const [, , image] = await settle((cb) => chat.sendImageMessage('i-1', '/pics/cat.png', 640, 480, [], cb));
    assert.deepEqual(Object.keys(image), [...COMMON, 'messageType', ...FILE, 'path', 'size', 'width', 'height']);
    assert.deepEqual([image.messageType, image.width, image.height, image.size], ['image', 640, 480, 2048]);
  });

  await t.test('notifications with and without attachment, kinds the module does not know, large times', async () => {
    const sent = async (result) => {
      s.answer('sendBroadcastTextMessage', { result });
      return (await settle((cb) => chat.sendBroadcastTextMessage('x', cb)))[2];
    };
    const noted = await sent({ messageType: 'notification', attachStr: '{"recalled":"m"}' });
    assert.deepEqual(Object.keys(noted), [...COMMON, 'messageType', 'attachStr']);
    assert.equal(noted.attachStr, '{"recalled":"m"}');
    assert.deepEqual(Object.keys(await sent({ messageType: 'notification' })), [...COMMON, 'messageType']);
    assert.deepEqual(Object.keys(await sent({ messageType: 9, text: 'hidden' })), COMMON);
    assert.equal((await sent({ time: 2 ** 63 })).time, 2 ** 63, 'unsigned: never negative');
  });
});

test('a message sent, or arriving from others, reaches the room listener and the history both the chat and the room service page through', async () => {
  const { s, uuid, ctx, chat, rooms } = await chatRoom();
  const heard = listen(ctx);
  const [code, , mine] = await settle((cb) => chat.sendTextMessage('m-1', 'hello', [], cb));
  assert.equal(code, 0);
  const [, [arrived]] = await heard.next('onReceiveChatroomMessages');
  assert.deepEqual(arrived, mine, 'the listener gets the message the send answered');
  s.chat.receive(uuid, [{ messageUuid: 'b-1', fromUserUuid: 'bob', fromNick: 'Bob', text: 'hi Ann', time: 5 }]);
  const [, [fromBob]] = await heard.next('onReceiveChatroomMessages');
  assert.deepEqual([fromBob.messageUuid, fromBob.fromNick, fromBob.text], ['b-1', 'Bob', 'hi Ann']);

  const [, , page] = await settle((cb) => chat.fetchChatroomHistoryMessages({}, cb));
  assert.deepEqual(page.map((m) => m.messageUuid), ['m-1', 'b-1']);
  const [, , same] = await settle((cb) => rooms.fetchChatroomHistoryMessages(uuid, {}, cb));
  assert.deepEqual(same, page);
  heard.remove();
});

test('history pages: absent options are zeros, times truncate, null entries leave holes at the end', async () => {
  const { s, uuid, chat } = await chatRoom();
  await settle((cb) => chat.fetchChatroomHistoryMessages({}, cb));
  assert.deepEqual(s.journal('fetchChatroomHistoryMessages').at(-1).args, [{ startTime: 0, limit: 0, order: 0 }]);
  s.rooms.setHistory(uuid, [{ messageUuid: 'a', time: 10 }, null, { messageUuid: 'c', time: 30 }, { messageUuid: 'd', time: 40 }]);
  const [, , newestFirst] = await settle((cb) => chat.fetchChatroomHistoryMessages({ startTime: 29.9, limit: 3, order: 1 }, cb));
  assert.deepEqual(s.journal('fetchChatroomHistoryMessages').at(-1).args, [{ startTime: 29, limit: 3, order: 1 }]);
  // From time 29 on, newest first, the null entry kept by the SDK and skipped by the module.
  assert.equal(newestFirst.length, 3);
  assert.deepEqual([newestFirst[0].messageUuid, newestFirst[1].messageUuid], ['d', 'c']);
  assert.equal(2 in newestFirst, false, 'a hole, not undefined');
  const [, , empty] = await settle((cb) => chat.fetchChatRoomMembers(10, 5, cb));
  assert.deepEqual(empty, [], 'no members past the end');
});

test('recalling takes a message out of the history and tells the room; a message that is gone cannot be recalled', async () => {
  const { s, uuid, ctx, chat } = await chatRoom();
  const heard = listen(ctx);
  s.chat.receive(uuid, [{ messageUuid: 'b-1', fromUserUuid: 'bob', text: 'oops' }, { messageUuid: 'b-2', text: 'fine' }]);
  assert.equal((await heard.next('onReceiveChatroomMessages'))[1].length, 2);
  assert.deepEqual(await settle((cb) => chat.recallChatroomMessage('b-1', 1.9, cb)), [0, '']);
  assert.deepEqual(s.journal('recallChatroomMessage').at(-1).args, ['b-1', 1]);
  const [, [notice]] = await heard.next('onReceiveChatroomMessages');
  assert.deepEqual([notice.messageType, JSON.parse(notice.attachStr)], ['notification', { recalled: 'b-1' }]);
  assert.deepEqual(historyOf(s, uuid), ['b-2'], 'the notice is not kept');
  assert.deepEqual(await settle((cb) => chat.recallChatroomMessage('b-1', 0, cb)), [404, 'no message b-1']);
  heard.remove();
});

test('a file goes in steps, each reported, and arrives when through; a cancelled one never arrives', async (t) => {
  const { s, uuid, ctx, chat } = await chatRoom();
  // Each subtest listens for itself: listeners are closed after every test, subtests too.

  await t.test('progress in order, then the message', async () => {
    const heard = listen(ctx);
    s.chat.setFile('/docs/q3.xlsx', { size: 1000, steps: 4, stepMs: 1 });
    const sent = settle((cb) => chat.sendFileMessage('q3', '/docs/q3.xlsx', [], cb));
    const progress = [];
    for (let i = 0; i < 4; i++) progress.push((await heard.next('onChatroomMessageAttachmentProgress')).slice(1));
    assert.deepEqual(progress, [['q3', 250, 1000, 25], ['q3', 500, 1000, 50], ['q3', 750, 1000, 75], ['q3', 1000, 1000, 100]]);
    const [code, , file] = await sent;
    assert.deepEqual([code, file.messageUuid, file.size], [0, 'q3', 1000]);
    assert.deepEqual((await heard.next('onReceiveChatroomMessages'))[1], [file]);
    assert.deepEqual(s.chat.get(uuid).sending, []);
  });

  await t.test('cancelled midway: the send answers 499 and an empty message, nothing arrives', async () => {
    const heard = listen(ctx);
    s.chat.setFile('/docs/big.iso', { size: 4000, steps: 4, stepMs: 60000 });
    const sent = settle((cb) => chat.sendFileMessage('big', '/docs/big.iso', [], cb));
    assert.deepEqual((await heard.next('onChatroomMessageAttachmentProgress')).slice(1), ['big', 1000, 4000, 25]);
    assert.deepEqual(s.chat.get(uuid).sending, ['big']);
    assert.deepEqual(await settle((cb) => chat.cancelSendFileMessage('big', cb)), [0, '']);
    assert.deepEqual(await sent, [499, 'cancelled', {}]);
    assert.deepEqual(s.chat.get(uuid).sending, []);
    assert.equal(historyOf(s, uuid).includes('big'), false);
    assert.deepEqual(await settle((cb) => chat.cancelSendFileMessage('big', cb)), [404, 'no transfer of message big']);
  });

  await t.test('cancelled before the SDK started it: it never reports a step', async () => {
    const heard = listen(ctx);
    s.answer('sendImageMessage', { mode: 'held' });
    const sent = settle((cb) => chat.sendImageMessage('held', '/pics/a.png', 1, 1, [], cb));
    await settle((cb) => chat.cancelSendFileMessage('held', cb));
    assert.equal((await sent)[0], 499);
    s.releaseHeld();
    s.rooms.emit(uuid, 'onRtcDisconnect');
    await heard.next('onRtcDisconnect');
    assert.equal(heard.calls.some((c) => c[0] === 'onChatroomMessageAttachmentProgress' && c[1] === 'held'), false);
  });
});

test('attachments come down in steps; a message without one, or none at all, cannot be downloaded', async () => {
  const { s, uuid, ctx, chat } = await chatRoom();
  s.chat.setFile('/bob/notes.txt', { steps: 2, stepMs: 0 });
  s.chat.receive(uuid, [
    { messageUuid: 'f-1', fromUserUuid: 'bob', messageType: 'file', path: '/bob/notes.txt', size: 600 },
    { messageUuid: 't-1', fromUserUuid: 'bob', text: 'no file here' },
  ]);
  const heard = listen(ctx);
  assert.deepEqual(await settle((cb) => chat.downloadAttachment('f-1', 'https://files/f-1', '/tmp/notes.txt', cb)), [0, '']);
  assert.deepEqual(heard.calls.filter((c) => c[0] === 'onChatroomMessageAttachmentProgress').map((c) => c.slice(1)),
    [['f-1', 300, 600, 50], ['f-1', 600, 600, 100]]);
  assert.deepEqual(s.chat.get(uuid).downloaded, [{ messageUuid: 'f-1', path: '/tmp/notes.txt' }]);
  for (const uuidOf of ['t-1', 'gone']) {
    assert.deepEqual(await settle((cb) => chat.downloadAttachment(uuidOf, '', '/tmp/x', cb)), [404, `no attachment of message ${uuidOf}`]);
  }
  s.answer('downloadAttachment', { mode: 'held' });
  const download = settle((cb) => chat.downloadAttachment('f-1', '', '/tmp/again.txt', cb));
  assert.deepEqual(await settle((cb) => chat.cancelDownloadAttachment('f-1', cb)), [0, '']);
  assert.deepEqual(await download, [499, 'cancelled']);
  heard.remove();
});

test("the room's chat and the waiting room's are two chatrooms: each method reaches its own", async () => {
  const { s, uuid, ctx, chat, waitingChat } = await chatRoom();
  s.waitingRoom.arrive(uuid, { uuid: 'guest', name: 'Guest', avatar: 'g.png' });
  const heard = listen(ctx);
  s.clearJournal();
  const [, , toRoom] = await settle((cb) => chat.sendBroadcastTextMessage('to the room', cb));
  const [, , toWaiting] = await settle((cb) => waitingChat.sendBroadcastTextMessage('to the waiting room', cb));
  assert.deepEqual(s.journal('sendBroadcastTextMessage').map((e) => e.interface), [undefined, 'waitingRoomChatController']);
  assert.deepEqual([toRoom.chatroomType, toWaiting.chatroomType], [0, 1]);
  s.chat.receive(uuid, { messageUuid: 'g-1', fromUserUuid: 'guest', text: 'let me in' }, { waitingRoom: true });
  const arrived = [];
  for (let i = 0; i < 3; i++) arrived.push((await heard.next('onReceiveChatroomMessages'))[1][0]);
  assert.deepEqual(arrived.map((m) => [m.text, m.chatroomType]), [['to the room', 0], ['to the waiting room', 1], ['let me in', 1]]);

  assert.deepEqual(historyOf(s, uuid), [toRoom.messageUuid]);
  assert.deepEqual(historyOf(s, uuid, { waitingRoom: true }), [toWaiting.messageUuid, 'g-1']);
  const [, , waitingPage] = await settle((cb) => waitingChat.fetchChatroomHistoryMessages({}, cb));
  assert.deepEqual(waitingPage.map((m) => m.text), ['to the waiting room', 'let me in']);
  const [, , members] = await settle((cb) => waitingChat.fetchChatRoomMembers(0, 0, cb));
  assert.deepEqual(members, [{ nick: 'Ann', avatar: '' }, { nick: 'Guest', avatar: 'g.png' }]);
  const [, , roomMembers] = await settle((cb) => chat.fetchChatRoomMembers(0, 0, cb));
  assert.deepEqual(roomMembers.map((m) => m.nick), ['Ann', 'Bob']);

  // An answer for the waiting room's chat serves it alone.
  s.answer('waitingRoomChatController.fetchChatRoomMembers', { code: 5, message: 'busy', times: -1 });
  assert.equal((await settle((cb) => chat.fetchChatRoomMembers(0, 0, cb)))[0], 0);
  assert.deepEqual((await settle((cb) => waitingChat.fetchChatRoomMembers(0, 0, cb))).slice(0, 2), [5, 'busy']);
  s.reset();

  // Leaving one chatroom leaves the other as it was.
  await settle((cb) => waitingChat.leaveChatroom(cb));
  assert.deepEqual((await settle((cb) => waitingChat.sendBroadcastTextMessage('x', cb))).slice(0, 2), [403, 'not in the chatroom']);
  assert.equal((await settle((cb) => chat.sendBroadcastTextMessage('still here', cb)))[0], 0);
  heard.remove();
});

test("leaving the room's chatroom is the local member leaving it; joining again brings it back", async () => {
  const { s, uuid, ctx, chat } = await chatRoom();
  const heard = listen(ctx);
  await settle((cb) => chat.leaveChatroom(cb));
  const [, [me]] = await heard.next('onMemberLeaveChatroom');
  assert.deepEqual([me.name, me.isInChatroom], ['Ann', false]);
  assert.equal(s.chat.get(uuid).joined, false);
  assert.deepEqual(await settle((cb) => chat.sendBroadcastTextMessage('x', cb)), [403, 'not in the chatroom', {}]);
  await settle((cb) => chat.joinChatroom(cb));
  assert.equal((await heard.next('onMemberJoinChatroom'))[1][0].isInChatroom, true);
  assert.equal((await settle((cb) => chat.sendBroadcastTextMessage('back', cb)))[0], 0);
  heard.remove();
});

test('a list that is not an array goes to the SDK as an empty list, and the call throws', async () => {
  const { s, chat } = await chatRoom();
  const { callback, promise } = nextCall();
  assert.throws(() => chat.sendGroupTextMessage('bob', 'hi', callback), (e) => !/Null pointer/.test(e.message));
  assert.deepEqual(s.journal('sendGroupTextMessage').at(-1).args, [[], 'hi']);
  // What the SDK answers still comes back.
  assert.equal((await promise).args[2].text, 'hi');
});

test('a room that has been left: every method of both chats throws, calls nothing back and reaches no SDK operation', async () => {
  const { s, ctx, chat, waitingChat } = await chatRoom();
  await settle((cb) => ctx.leaveRoom(cb));
  s.clearJournal();
  const calls = [];
  const cb = (...args) => calls.push(args);
  const methods = Object.getOwnPropertyNames(Object.getPrototypeOf(chat)).filter((n) => n !== 'constructor');
  assert.equal(methods.length, 16);
  for (const wrapper of [chat, waitingChat]) {
    for (const name of methods) {
      // Resolution comes first, so whatever the arguments, the missing room is what is raised.
      assert.throws(() => wrapper[name](cb, cb, cb, cb, cb, cb), { name: 'TypeError', message: 'Null pointer exception' }, name);
    }
  }
  await new Promise((resolve) => setTimeout(resolve, 20));
  assert.deepEqual(calls, []);
  assert.deepEqual(s.journal().filter((e) => e.op !== 'destroyQVParlo'), []);
});
