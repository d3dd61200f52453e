'use strict';
// A joined room's chat (the waiting room's chat is a second instance of the class).
// Its methods come with later work; its resolution chain is already the room's.

const { join, bare, roomChain } = require('./common');

module.exports = {
  className: 'IQVRoomChatControllerWrap',
  make: async (ctx) => (await join(ctx)).getChatController(),
  links: bare(roomChain('chatController')),
  methods: [],
};
