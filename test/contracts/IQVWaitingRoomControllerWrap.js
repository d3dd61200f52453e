'use strict';
// A joined room's waiting room: admitting, expelling and listening to waiting members.

const { controllerOf, bare, roomChain } = require('./common');

module.exports = {
  className: 'IQVWaitingRoomControllerWrap',
  make: controllerOf('getWaitingRoomController'),
  links: bare(roomChain('waitingRoomController')),
  methods: [],
};
