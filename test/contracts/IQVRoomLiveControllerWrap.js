'use strict';
// A joined room's live streams. A missing link raises nothing: the controller prints it and fails quietly.
// Its methods come with later work; its resolution chain is already the room's.

const { join, printed, roomChain } = require('./common');

module.exports = {
  className: 'IQVRoomLiveControllerWrap',
  make: async (ctx) => (await join(ctx)).getLiveController(),
  links: printed('IQVRoomLiveControllerWrap', roomChain('liveController')),
  methods: [],
};
