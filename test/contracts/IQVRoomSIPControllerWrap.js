'use strict';
// A joined room's SIP calls.

const { controllerOf, bare, roomChain } = require('./common');

module.exports = {
  className: 'IQVRoomSIPControllerWrap',
  make: controllerOf('getSIPController'),
  links: bare(roomChain('sipController')),
  methods: [],
};
