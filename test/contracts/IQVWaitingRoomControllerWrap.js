'use strict';
// A joined room's waiting room: admitting, expelling and listening to waiting members.
// Its methods come with later work; its resolution chain is already the room's.

const { join, bare, roomChain } = require('./common');

module.exports = {
  className: 'IQVWaitingRoomControllerWrap',
  make: async (ctx) => (await join(ctx)).getWaitingRoomController(),
  links: bare(roomChain('waitingRoomController')),
  methods: [],
};
