'use strict';
// The preview room, used before joining to test devices and effects: its one
// controller, and the preview room listeners registered with the SDK's preview room.

const { LISTENER, ID, ADAPTER, isId, instanceOf, named, previewChain } = require('./common');

const listener = (op, role) => ({
  name: op, args: [role === 'add' ? LISTENER : ID], listener: role, kind: 'previewRoom', sdk: { op, args: [ADAPTER] },
  returns: role === 'add' ? isId : true, fail: role === 'add' ? -1 : false,
});

module.exports = {
  className: 'IQVPreviewRoomContextWrap',
  make: (ctx) => ctx.rooms.getPreviewRoomContext(),
  links: named('IQVPreviewRoomContextWrap', previewChain(), { kitNamed: false }),
  methods: [
    // The controller made with the context, once the preview room can be reached.
    { name: 'getPreviewRoomRtcController', args: [], returns: instanceOf('IQVPreviewRoomRtcController'), fail: null },
    listener('addPreviewRoomListener', 'add'),
    listener('removePreviewRoomListener', 'remove'),
  ],
};
