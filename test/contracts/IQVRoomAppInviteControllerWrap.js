'use strict';
// A joined room's in-app invitations.

const { bare, roomChain } = require('./common');
const { withCall, calls } = require('./invitations');

module.exports = {
  className: 'IQVRoomAppInviteControllerWrap',
  make: withCall('getAppInviteController'),
  links: bare(roomChain('appInviteController')),
  methods: calls,
};
