'use strict';
// The message channel service: custom messages and session messages. Every method
// answers true once the SDK has the call. Script's session type 0 is the SDK's 1,
// any other number the SDK's 0.

const { CB, LISTENER, ID, ADAPTER, isId, bare, serviceChain } = require('./common');

const listener = (name, role) => ({
  name, args: [role === 'add' ? LISTENER : ID], listener: role, kind: 'messageChannel',
  sdk: { op: name, args: [ADAPTER] }, returns: role === 'add' ? isId : true, fail: role === 'add' ? -1 : false,
});
const send = (name, args, { sent = args, result = false, objectArgs } = {}) => ({
  name, args: typeof args === 'function' ? (ctx) => [...args(ctx), CB] : [...args, CB], async: true, result,
  sdk: { op: name, args: sent }, returns: true, ...(objectArgs && { objectArgs }),
});
/** The message `make` left unread in session 'bob' (the SDK's type 1). */
const theMessage = (list) => list.length === 1 && list[0].messageId === 'contract-msg' && list[0].sessionType === 0;

module.exports = {
  className: 'IQVMessageChannelServiceWrap',
  // A joined room to send to (the service is not bound to it: ctx.uuid stays unset, and
  // listeners are counted service-wide), and one unread message from bob.
  make: async (ctx) => {
    ctx.target = `contract-channel-room-${process.pid}`;
    await new Promise((resolve) => ctx.rooms.joinRoom({ roomUuid: ctx.target }, {}, resolve));
    ctx.sim.channel.reset();
    ctx.sim.channel.receive({ sessionId: 'bob', sessionType: 1, messageId: 'contract-msg', data: 'hi', time: 1000 });
    return ctx.kit.getMessageChannelService();
  },
  links: bare(serviceChain('messageChannelService')),
  methods: [
    listener('addMessageChannelListener', 'add'),
    listener('removeMessageChannelListener', 'remove'),
    send('sendCustomMessage', ['', 'bob', 7, '{"hand":"up"}']),
    send('queryUnreadMessageList', ['bob', 0], { sent: ['bob', 1], result: theMessage }),
    send('clearUnreadCount', ['bob', 0], { sent: ['bob', 1] }),
    send('deleteSessionMessage', ['bob', 0, 'contract-msg'], { sent: ['bob', 1, 'contract-msg'] }),
    send('deleteAllSessionMessage', ['bob', 2], { sent: ['bob', 0] }),
    send('getSessionMessagesHistory', [{ sessionId: 'bob', sessionType: 0, toTime: 2 ** 40, limit: 3 }], {
      sent: [{ sessionId: 'bob', sessionType: 1, fromTime: 0, toTime: 2 ** 40, limit: 3, order: 1 }],
      result: theMessage,
      objectArgs: [0],
    }),
    send('sendCustomMessageToRoom', (ctx) => [ctx.target, 9, 'mute-all'], { sent: (ctx) => [ctx.target, 9, 'mute-all'] }),
  ],
};
