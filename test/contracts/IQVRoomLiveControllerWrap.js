'use strict';
// A joined room's live streams. A missing link raises nothing: the controller prints it and fails quietly.

const { controllerOf, printed, roomChain } = require('./common');

module.exports = {
  className: 'IQVRoomLiveControllerWrap',
  make: controllerOf('getLiveController'),
  links: printed('IQVRoomLiveControllerWrap', roomChain('liveController')),
  methods: [],
};
