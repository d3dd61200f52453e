'use strict';
// A joined room's media: devices, streams, canvases, screen sharing, local recording.
// Its methods come with later work; its resolution chain is already the room's.

const { join, named, roomChain } = require('./common');

module.exports = {
  className: 'IQVRoomRtcControllerWrap',
  make: async (ctx) => (await join(ctx)).getRtcController(),
  links: named('IQVRoomRtcControllerWrap', roomChain('rtcController')),
  methods: [],
};
