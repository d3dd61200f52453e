'use strict';
// The preview room, used before joining to test devices and effects.

const { named, previewChain } = require('./common');

module.exports = {
  className: 'IQVPreviewRoomContextWrap',
  make: (ctx) => ctx.rooms.getPreviewRoomContext(),
  links: named('IQVPreviewRoomContextWrap', previewChain(), { kitNamed: false }),
  methods: [],
};
