'use strict';
// A joined room's annotation: the whiteboard's view protocol over shared content.

const { controllerOf, bare, roomChain } = require('./common');
const { step, getter, draw, canvas, share } = require('./drawing');

module.exports = {
  className: 'IQVRoomAnnotationControllerWrap',
  make: controllerOf('getAnnotationController'),
  links: bare(roomChain('annotationController')),
  methods: [
    getter('getAnnotationUrl', 'https://an.example/r/7'),
    // The room's annotation is on by default: the SDK's false shows.
    getter('getIsAnnotationEnabled', false),
    step('login'),
    step('logout'),
    step('auth'),
    draw,
    canvas('setupAnnotationCanvas', 'annotationView'),
    canvas('resetAnnotationCanvas', 'annotationView'),
    share('startAnnotationShare'),
    share('stopAnnotationShare'),
  ],
};
