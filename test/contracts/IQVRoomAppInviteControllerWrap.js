'use strict';
// A joined room's in-app invitations.

const { controllerOf, bare, roomChain } = require('./common');

module.exports = {
  className: 'IQVRoomAppInviteControllerWrap',
  make: controllerOf('getAppInviteController'),
  links: bare(roomChain('appInviteController')),
  methods: [],
};
