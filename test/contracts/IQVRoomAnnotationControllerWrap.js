'use strict';
// A joined room's annotations.

const { controllerOf, bare, roomChain } = require('./common');

module.exports = {
  className: 'IQVRoomAnnotationControllerWrap',
  make: controllerOf('getAnnotationController'),
  links: bare(roomChain('annotationController')),
  methods: [],
};
