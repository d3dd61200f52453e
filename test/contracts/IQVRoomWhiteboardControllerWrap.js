'use strict';
// A joined room's whiteboard.

const { controllerOf, bare, roomChain } = require('./common');

module.exports = {
  className: 'IQVRoomWhiteboardControllerWrap',
  make: controllerOf('getWhiteboardController'),
  links: bare(roomChain('whiteboardController')),
  methods: [],
};
