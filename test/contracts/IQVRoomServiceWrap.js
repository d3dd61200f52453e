'use strict';
// The room service: creates, joins and previews rooms, fetches templates, cloud
// recordings and chat history, and makes the room context wrappers.

const { CB, partial, instanceOf, named, serviceChain, roomContextTrace } = require('./common');

const record = { recordId: 'rec-1', startTime: 10, endTime: 20, infoList: [] };
// A join hands back a new room context wrapper for the joined room's UUID.
const joinedRoom = (uuid) => (room, ctx) => room instanceof ctx.brimo.IQVRoomContextWrap && room.getRoomUuid() === uuid;
const join = (name, uuid) => ({
  name, args: [{ roomUuid: uuid, userName: 'Ann', role: 'host' }, { enableMyAudioDeviceOnJoinRtc: true }, CB],
  async: true, result: joinedRoom(uuid), returns: true, fail: false, objectArgs: [0, 1],
  sdk: { op: name, args: [partial({ roomUuid: uuid, userName: 'Ann', role: 'host' }), { enableMyAudioDeviceOnJoinRtc: true }] },
  // Written by the completion, before it makes the wrapper.
  trace: [`${name} roomContext `, ...roomContextTrace(uuid)],
});

module.exports = {
  className: 'IQVRoomServiceWrap',
  make: (ctx) => ctx.rooms,
  links: named('IQVRoomServiceWrap', serviceChain('roomService')),
  methods: [
    { name: 'createRoom', args: [{ roomUuid: 'made-1', roomName: 'Hall', templateId: 3 }, { enableLive: true }, CB],
      async: true, result: false, returns: true, fail: false, objectArgs: [0, 1],
      sdk: { op: 'createRoom', args: [partial({ roomUuid: 'made-1', roomName: 'Hall', templateId: 3 }),
        partial({ enableLive: true, enableRtc: true })] } },
    { name: 'fetchRoomTemplate', args: ['tpl-42', CB], async: true, sdk: { op: 'fetchRoomTemplate', args: ['tpl-42'] },
      result: (template) => Array.isArray(template.roles) && 'permissions' in template, returns: true, fail: false },
    join('joinRoom', 'joined-1'),
    // Reaches no SDK operation and never completes.
    { name: 'previewRoom', args: [{}, {}, CB], resolves: false, returns: true },
    { name: 'getRoomContext', args: ['ctx-7'], resolves: false,
      returns: (room, ctx) => room instanceof ctx.brimo.IQVRoomContextWrap,
      trace: ['IQVRoomServiceWrap getRoomContext ', ...roomContextTrace('ctx-7')] },
    { name: 'getPreviewRoomContext', args: [], resolves: false, returns: instanceOf('IQVPreviewRoomContextWrap'),
      trace: ['IQVPreviewRoomContextWrap ', 'IQVPreviewRoomRtcControllerWrap '] },
    { name: 'getRoomCloudRecordList', args: ['rec-room', CB], async: true,
      sdk: { op: 'getRoomCloudRecordList', args: ['rec-room'] }, answer: { result: [record] }, result: [record],
      returns: undefined, fail: undefined },
    { name: 'fetchChatroomHistoryMessages', args: ['hist-room', { startTime: 5, limit: 20, order: 1 }, CB], async: true,
      sdk: { op: 'fetchChatroomHistoryMessages', args: ['hist-room', { startTime: 5, limit: 20, order: 1 }] },
      result: [], returns: undefined, fail: undefined, objectArgs: [1] },
    { name: 'exportChatroomHistoryMessages', args: ['exp-room', CB], async: true,
      sdk: { op: 'exportChatroomHistoryMessages', args: ['exp-room'] }, answer: { result: 'export-3' }, result: 'export-3',
      returns: undefined, fail: undefined },
    join('joinRoomByInvite', 'invited-1'),
    { name: 'rejectInvite', args: ['inv-room', CB], async: true, sdk: { op: 'rejectInvite', args: ['inv-room'] },
      answer: { result: 'declined-5' }, result: 'declined-5', returns: undefined, fail: undefined },
  ],
};
