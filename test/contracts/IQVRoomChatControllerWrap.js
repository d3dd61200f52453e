'use strict';
// A joined room's chat (the waiting room's chat is a second instance of the class).

const { CB, controllerOf, bare, roomChain } = require('./common');

const noop = () => {};

/**
 * The room's chat, with what the cancel and download rows act on: a text and two
 * file messages in its history, a file send and a download held by the SDK (they
 * run once the row's test releases held completions).
 */
async function make(ctx) {
  const chat = await controllerOf('getChatController')(ctx);
  ctx.sim.chat.receive(ctx.uuid, [
    { messageUuid: 'said-1', fromUserUuid: 'bob', text: 'hello' },
    { messageUuid: 'file-1', fromUserUuid: 'bob', messageType: 'file', path: '/docs/plan.pdf', size: 4096 },
    { messageUuid: 'file-2', fromUserUuid: 'cy', messageType: 'image', path: '/pics/cat.png', size: 2048 },
  ]);
  ctx.sim.answer('sendFileMessage', { mode: 'held' });
  chat.sendFileMessage('sending-1', '/docs/big.zip', [], noop);
  ctx.sim.answer('downloadAttachment', { mode: 'held' });
  chat.downloadAttachment('file-2', '', '/tmp/cat.png', noop);
  return chat;
}

// A call that completes with (code, message).
const action = (name, args, sent = args) => ({
  name, args: [...args, CB], async: true, result: false, sdk: { op: name, args: sent }, returns: undefined,
});
// A send: it completes with the message as sent, from the local member (Ann).
const send = (name, args, sent, kind, objectArgs = []) => ({
  name, args: [...args, CB], async: true, sdk: { op: name, args: sent }, returns: undefined, objectArgs,
  result: (message) => message.messageType === kind && message.fromNick === 'Ann' && message.chatroomType === 0,
});

module.exports = {
  className: 'IQVRoomChatControllerWrap',
  make,
  links: bare(roomChain('chatController')),
  methods: [
    { name: 'isSupported', args: [], sdk: { op: 'isSupported', args: [] }, answer: { ret: true }, returns: true, fail: false },
    action('joinChatroom', []),
    action('leaveChatroom', []),
    send('sendBroadcastTextMessage', ['hello all'], ['hello all'], 'text'),
    send('sendDirectTextMessage', ['bob', 'psst'], ['bob', 'psst'], 'text'),
    send('sendGroupTextMessage', [['bob', 'cy'], 'team'], [['bob', 'cy'], 'team'], 'text', [0]),
    { name: 'fetchChatRoomMembers', args: [1, 5, CB], async: true, sdk: { op: 'fetchChatRoomMembers', args: [1, 5] },
      returns: undefined, result: [{ nick: 'Bob', avatar: '' }, { nick: 'Cy', avatar: '' }] },
    send('sendTextMessage', ['m-1', 'hi', ['bob']], ['m-1', 'hi', ['bob']], 'text', [2]),
    send('sendFileMessage', ['f-1', '/docs/deck.pdf', []], ['f-1', '/docs/deck.pdf', []], 'file', [2]),
    // Width and height reach the SDK in the order given, before the recipients.
    send('sendImageMessage', ['i-1', '/pics/dog.png', 640, 480, ['cy']], ['i-1', '/pics/dog.png', 640, 480, ['cy']], 'image', [4]),
    action('cancelSendFileMessage', ['sending-1']),
    action('downloadAttachment', ['file-1', 'https://files/plan.pdf', '/tmp/plan.pdf']),
    action('cancelDownloadAttachment', ['file-2']),
    { name: 'fetchChatroomHistoryMessages', args: [{ startTime: 0, limit: 2, order: 0 }, CB], async: true,
      sdk: { op: 'fetchChatroomHistoryMessages', args: [{ startTime: 0, limit: 2, order: 0 }] }, returns: undefined,
      objectArgs: [0], result: (page) => page.map((m) => m.messageUuid).join() === 'said-1,file-1' },
    // The time is truncated to an integer.
    action('recallChatroomMessage', ['said-1', 1234.9], ['said-1', 1234]),
    send('sendBroadcastCustomMessage', ['{"raise":"hand"}'], ['{"raise":"hand"}'], 'custom'),
  ],
};
