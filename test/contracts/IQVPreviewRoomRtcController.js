'use strict';
// The preview room's media controller. Exported without the "Wrap" ending; its
// messages carry the longer name.

const { named, previewChain } = require('./common');

module.exports = {
  className: 'IQVPreviewRoomRtcController',
  make: (ctx) => new ctx.brimo.IQVPreviewRoomRtcController(),
  links: named('IQVPreviewRoomRtcControllerWrap', previewChain('previewRoomRtcController'), { kitNamed: false }),
  methods: [],
};
