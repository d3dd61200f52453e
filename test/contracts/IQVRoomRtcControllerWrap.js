'use strict';
// A joined room's media: devices, streams, canvases, screen sharing, local recording.

const { controllerOf, named, roomChain } = require('./common');

module.exports = {
  className: 'IQVRoomRtcControllerWrap',
  make: controllerOf('getRtcController'),
  links: named('IQVRoomRtcControllerWrap', roomChain('rtcController')),
  methods: [],
};
