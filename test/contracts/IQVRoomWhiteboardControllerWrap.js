'use strict';
// A joined room's whiteboard: the drawing page's view and handshake, drawing
// permission and sharing. Rows in the class's own (alphabetical) order.

const { controllerOf, bare, roomChain } = require('./common');
const { step, getter, draw, canvas, share } = require('./drawing');

module.exports = {
  className: 'IQVRoomWhiteboardControllerWrap',
  make: controllerOf('getWhiteboardController'),
  links: bare(roomChain('whiteboardController')),
  methods: [
    step('auth'),
    getter('getWhiteboardSharingUserUuid', 'cy'),
    getter('getWhiteboardUrl', 'https://wb.example/r/7'),
    step('login'),
    step('logout'),
    canvas('resetWhiteboardCanvas', 'whiteboardView'),
    draw,
    canvas('setupWhiteboardCanvas', 'whiteboardView'),
    share('startWhiteboardShare'),
    share('stopMemberWhiteboardShare', ['bob']),
    share('stopWhiteboardShare'),
  ],
};
