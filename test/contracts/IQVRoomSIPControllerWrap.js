'use strict';
// A joined room's SIP calls.
// Its methods come with later work; its resolution chain is already the room's.

const { join, bare, roomChain } = require('./common');

module.exports = {
  className: 'IQVRoomSIPControllerWrap',
  make: async (ctx) => (await join(ctx)).getSIPController(),
  links: bare(roomChain('sipController')),
  methods: [],
};
