'use strict';
// A joined room's whiteboard.
// Its methods come with later work; its resolution chain is already the room's.

const { join, bare, roomChain } = require('./common');

module.exports = {
  className: 'IQVRoomWhiteboardControllerWrap',
  make: async (ctx) => (await join(ctx)).getWhiteboardController(),
  links: bare(roomChain('whiteboardController')),
  methods: [],
};
