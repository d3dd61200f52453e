'use strict';
// A joined room's annotations.
// Its methods come with later work; its resolution chain is already the room's.

const { join, bare, roomChain } = require('./common');

module.exports = {
  className: 'IQVRoomAnnotationControllerWrap',
  make: async (ctx) => (await join(ctx)).getAnnotationController(),
  links: bare(roomChain('annotationController')),
  methods: [],
};
