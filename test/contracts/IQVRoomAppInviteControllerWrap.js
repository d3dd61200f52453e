'use strict';
// A joined room's in-app invitations.
// Its methods come with later work; its resolution chain is already the room's.

const { join, bare, roomChain } = require('./common');

module.exports = {
  className: 'IQVRoomAppInviteControllerWrap',
  make: async (ctx) => (await join(ctx)).getAppInviteController(),
  links: bare(roomChain('appInviteController')),
  methods: [],
};
