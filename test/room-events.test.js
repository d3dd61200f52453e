'use strict';
// Room events: every operation of the SDK's room listener reaches the script
// listener under its name with its payload converted; what the simulated rooms
// raise when their state changes; the trace lines two events write.

const { test, afterEach } = require('node:test');
const assert = require('node:assert/strict');
const { runChild } = require('./helpers');
const { settle, joined, listen, closeListeners } = require('./room-helpers');

afterEach(closeListeners);

// Expected script forms, written from the documented record shapes.
const ROLE_FIELDS = { name: '', limit: 0, videoWidth: 0, videoHeight: 0, videoFps: 0, audioProfile: '', audioScenario: '', screenVideoProfile: '', screenPreferMotion: false, screenPreferDetails: false };
function roleRecord(role) {
  const r = { ...ROLE_FIELDS, ...(typeof role === 'string' ? { name: role } : role) };
  return {
    name: r.name,
    limit: r.limit,
    params: {
      video: { width: r.videoWidth, height: r.videoHeight, fps: r.videoFps },
      audio: { profile: r.audioProfile, scenario: r.audioScenario },
      screen: { videoProfile: r.screenVideoProfile, preferMotionFPS: Number(r.screenPreferMotion), preferDetailsFPS: Number(r.screenPreferDetails) },
    },
  };
}
function memberRecord(m) {
  if (m === null) return {};
  const v = { isAudioOn: false, isVideoOn: false, isInRtcChannel: true, isInChatroom: true, isSharingScreen: false, isSharingWhiteboard: false, isInSipInviting: false, isInAppInviting: false, isSharingSystemAudio: false, isAudioConnected: true, properties: {}, clientType: 0, inviteType: 0, inviteState: 0, avatar: '', name: '', ...m };
  return {
    uuid: v.uuid, role: roleRecord(v.role || ''), name: v.name, isAudioConnected: v.isAudioConnected, isAudioOn: v.isAudioOn,
    isVideoOn: v.isVideoOn, isInRtcChannel: v.isInRtcChannel, isInChatroom: v.isInChatroom, isSharingScreen: v.isSharingScreen,
    isSharingWhiteboard: v.isSharingWhiteboard, inviteState: v.inviteState, inviteType: v.inviteType,
    isInAppInviting: v.isInAppInviting, isInSipInviting: v.isInSipInviting, isSharingSystemAudio: v.isSharingSystemAudio,
    properties: Object.fromEntries(Object.entries(v.properties).sort()), clientType: v.clientType, avatar: v.avatar,
  };
}
const common = (m) => ({ messageUuid: m.messageUuid, fromUserUuid: m.fromUserUuid, fromNick: '', fromAvatar: '', time: m.time, chatroomType: 0, toUserUuidList: [] });

const M = { uuid: 'm-1', name: 'Mo', role: 'member', isAudioOn: true, properties: { b: '2', a: '1' } };
const OP = { uuid: 'op-1', name: 'Host', role: { name: 'host', limit: 1, screenPreferMotion: true, screenPreferDetails: true }, isAudioConnected: false };
const ROLE_A = { name: 'member', limit: 9, videoWidth: 640, videoHeight: 360, videoFps: 15, audioProfile: 'speech', audioScenario: 'meeting', screenVideoProfile: '720p', screenPreferMotion: true };
const ROLE_B = { name: 'cohost', limit: 4, videoWidth: 1280, videoHeight: 720, videoFps: 30, screenPreferDetails: true };
const TEXT = { messageUuid: 'x-1', fromUserUuid: 'm-1', time: 2 ** 63, messageType: 'text', text: 'hello' };
const NOTE = { messageUuid: 'x-2', fromUserUuid: 'op-1', time: 5, messageType: 'notification' };
const CAPTION = { content: 'hi all', timestamp: 2 ** 63, fromUserUuid: 'm-1', isFinal: true, translationContent: 'hallo', translationLanguage: 3 };
const VOLUMES = [{ userUuid: 'm-1', volume: 80 }, { userUuid: 'op-1', volume: -1 }];
const VIDEO_STATS = { userUuid: 'm-1', layerType: 1, width: 640, height: 360, frameRate: 15, bitRate: 4294967295 };

// [event, arguments the SDK raises (JSON), what script receives after the name].
const same = (args) => args;
const EVENTS = [
  ['onCameraDeviceChanged', ['cam-1', true], same],
  ['onPlayoutDeviceChanged', ['spk-1', false], same],
  ['onRecordDeviceChanged', ['mic-1', true], same],
  ['onDefaultPlayoutDeviceChanged', ['spk-2'], same],
  ['onDefaultRecordDeviceChanged', ['mic-2'], same],
  ['onLocalAudioVolumeIndication', [42, true], same],
  ['onLocalAudioVolumeIndication', [43], same],
  ['onRtcVirtualBackgroundSourceEnabled', [true, -2], same],
  ['onLocalRecorderStatus', [1, '/tmp/r.mp4'], same],
  ['onLocalRecorderError', [-3, 'disk full'], same],
  ['onMemberRoleChanged', ['m-1', ROLE_A, ROLE_B], ['m-1', roleRecord(ROLE_A), roleRecord(ROLE_B)]],
  ['onMemberJoinRoom', [[M, null, OP]], [[memberRecord(M), {}, memberRecord(OP)]]],
  ['onMemberLeaveRoom', [[OP]], [[memberRecord(OP)]]],
  ['onRoomEnded', [3], same],
  ['onRoomLockStateChanged', [true], same],
  ['onRoomRemainingSecondsRenewed', [2 ** 40 + 1], same],
  ['onMemberJoinRtcChannel', [[M]], [[memberRecord(M)]]],
  ['onMemberLeaveRtcChannel', [[]], [[]]],
  ['onMemberJoinChatroom', [[OP, M]], [[memberRecord(OP), memberRecord(M)]]],
  ['onMemberLeaveChatroom', [[null]], [[{}]]],
  ['onMemberAudioMuteChanged', [M, true, OP], [memberRecord(M), true, memberRecord(OP)]],
  ['onMemberVideoMuteChanged', [M, false, null], [memberRecord(M), false, {}]],
  ['onMemberScreenShareStateChanged', [OP, true, M], [memberRecord(OP), true, memberRecord(M)]],
  ['onMemberSystemAudioShareStateChanged', [M, false, M], [memberRecord(M), false, memberRecord(M)]],
  ['onMemberWhiteboardStateChanged', [null, true, OP], [{}, true, memberRecord(OP)]],
  ['onRoomAnnotationEnableChanged', [false], same],
  ['onRtcScreenCaptureSourceDataUpdate', [{ type: 1, sourceId: 77, x: -5, y: 6, width: 1920, height: 1080 }], [{ x: -5, y: 6, width: 1920, height: 1080 }]],
  ['onMemberSIPInviteStateChanged', [M, null], [memberRecord(M), {}]],
  ['onMemberAppInviteStateChanged', [M, OP], [memberRecord(M), memberRecord(OP)]],
  ['onReceiveChatroomMessages', [[TEXT, null, NOTE]], [[{ ...common(TEXT), messageType: 'text', text: 'hello' }, {}, { ...common(NOTE), messageType: 'notification' }]]],
  ['onChatroomMessageAttachmentProgress', ['x-3', 2 ** 33, -(2 ** 34), 50], same],
  ['onRtcChannelError', ['chan', 7], same],
  ['onRtcChannelError', [7, 'chan down'], same],
  ['onRoomPropertiesChanged', [{ b: '2', a: '1' }], [{ a: { value: '1' }, b: { value: '2' } }]],
  ['onRoomPropertiesDeleted', [{ k: 'v', j: 'w' }], [{ j: 'w', k: 'v' }]],
  ['onMemberPropertiesChanged', ['m-1', { y: '2', x: '1' }], ['m-1', { x: '1', y: '2' }]],
  ['onMemberPropertiesDeleted', ['m-1', { x: '1' }], same],
  ['onRoomLiveStateChanged', [2], same],
  ['onRoomLiveBackgroundInfoChanged', [-(2 ** 40)], same],
  ['onMemberNameChanged', [M, 'Moe'], [memberRecord(M), 'Moe']],
  ['onMemberAudioConnectStateChanged', [OP, true], [memberRecord(OP), true]],
  ['onRtcVideoStats', [[VIDEO_STATS]], same],
  ['onRtcRemoteAudioVolumeIndication', ['chan', VOLUMES], [VOLUMES, 'chan']],
  ['onRtcRemoteAudioVolumeIndication', [VOLUMES.slice(1)], same],
  ['onRoomConnectStateChanged', [1], same],
  ['onRtcDisconnect', [], same],
  ['onRtcUserVideoStart', ['m-1'], same],
  ['onRtcUserVideoStop', ['m-1'], same],
  ['onRtcScreenCaptureStatus', [4], same],
  ['onRtcRecvSEIMsg', ['m-1', 'sei-data'], same],
  ['onRtcUserAudioSubStreamStart', ['op-1'], same],
  ['onRtcUserAudioSubStreamStop', ['op-1'], same],
  ['onRoomCloudRecordStateChanged', [1, OP], [1, memberRecord(OP)]],
  ['onRoomBlacklistStateChanged', [true], same],
  ['onRoomMaxMembersChanged', [500], same],
  ['onRtcLocalAudioVolumeIndication', [55, false, 'chan'], same],
  ['onRtcChannelDisconnect', ['chan', 9], same],
  ['onCaptionStateChanged', [1, 0, 'started'], same],
  ['onReceiveCaptionMessages', [[CAPTION, null], 'chan'], [[CAPTION, {}], 'chan']],
  ['onAudioHowling', [true], same],
];

test('every room event reaches the listener with its name, argument count and payload shapes', async () => {
  assert.equal(new Set(EVENTS.map(([name]) => name)).size, 57, 'fifty-seven events...');
  assert.equal(EVENTS.length, 60, '...three of them in two forms');
  const { s, ctx, uuid } = await joined();
  const heard = listen(ctx);
  for (const [event, args] of EVENTS) assert.equal(s.rooms.emit(uuid, event, ...args), 1, event);
  for (const [event, args, expected] of EVENTS) {
    const call = await heard.next();
    const payload = typeof expected === 'function' ? expected(args) : expected;
    assert.deepEqual(call, [event, ...payload], event);
    assert.equal(JSON.stringify(call), JSON.stringify([event, ...payload]), `${event}: key order`);
  }
  assert.equal(heard.calls.length, EVENTS.length, 'this is undefined for every call');
  assert.equal(heard.remove(), true);
  await settle((cb) => ctx.leaveRoom(cb));
});

test('member, role and caption records of events carry their keys in documented order', async () => {
  const { s, ctx, uuid } = await joined();
  const heard = listen(ctx);
  s.rooms.emit(uuid, 'onMemberRoleChanged', 'm-1', ROLE_A, ROLE_B);
  s.rooms.emit(uuid, 'onReceiveCaptionMessages', [CAPTION], 'chan');
  const [, user, before, after] = await heard.next('onMemberRoleChanged');
  assert.equal(user, 'm-1');
  for (const role of [before, after]) {
    assert.deepEqual(Object.keys(role), ['name', 'limit', 'params']);
    assert.deepEqual(Object.keys(role.params), ['video', 'audio', 'screen']);
    assert.deepEqual(Object.keys(role.params.screen), ['videoProfile', 'preferMotionFPS', 'preferDetailsFPS']);
  }
  assert.deepEqual([after.params.screen.preferMotionFPS, after.params.screen.preferDetailsFPS], [0, 1]);
  const [, [caption]] = await heard.next('onReceiveCaptionMessages');
  assert.deepEqual(Object.keys(caption), ['content', 'timestamp', 'fromUserUuid', 'isFinal', 'translationContent', 'translationLanguage']);
  assert.ok(caption.timestamp > 0, 'an unsigned 64-bit time stamp stays positive');
  heard.remove();
  await settle((cb) => ctx.leaveRoom(cb));
});

test('what the room raises when its state changes', async () => {
  const { s, ctx, uuid } = await joined();
  const heard = listen(ctx);
  const me = ctx.getLocalMember();
  const bob = { uuid: 'bob', name: 'Bob', role: 'member' };
  const steps = [
    ['a member joins', () => s.rooms.addMember(uuid, bob), [['onMemberJoinRoom', [memberRecord(bob)]]]],
    ['the member unmutes and shares', () => s.rooms.updateMember(uuid, 'bob', { isAudioOn: true, isSharingScreen: true }), [
      ['onMemberAudioMuteChanged', memberRecord({ ...bob, isAudioOn: true, isSharingScreen: true }), true, memberRecord({ ...bob, isAudioOn: true, isSharingScreen: true })],
      ['onMemberScreenShareStateChanged', memberRecord({ ...bob, isAudioOn: true, isSharingScreen: true }), true, memberRecord({ ...bob, isAudioOn: true, isSharingScreen: true })],
    ]],
    ['someone sets room properties', () => s.rooms.setProperties(uuid, { topic: 'q3' }), [['onRoomPropertiesChanged', { topic: { value: 'q3' } }]]],
    ['I lock the room', (cb) => ctx.lockRoom(cb), [['onRoomLockStateChanged', true]]],
    ['I delete a property', (cb) => ctx.deleteRoomProperty('topic', cb), [['onRoomPropertiesDeleted', { topic: 'q3' }]]],
    ['I rename myself', (cb) => ctx.changeMyName('Annie', cb), [['onMemberNameChanged', { ...me, name: 'Annie' }, 'Annie']]],
    ['I set a member property', (cb) => ctx.updateMemberProperty('bob', 'hand', 'up', cb), [['onMemberPropertiesChanged', 'bob', { hand: 'up' }]]],
    ['a message arrives', () => s.rooms.chat(uuid, { messageUuid: 'c1', fromUserUuid: 'bob', text: 'yo', time: 9 }),
      [['onReceiveChatroomMessages', [{ ...common({ messageUuid: 'c1', fromUserUuid: 'bob', time: 9 }), messageType: 'text', text: 'yo' }]]]],
    ['I kick the member out', (cb) => ctx.kickMemberOut('bob', false, cb), [['onMemberLeaveRoom', [memberRecord({ ...bob, isAudioOn: true, isSharingScreen: true, properties: { hand: 'up' } })]]]],
  ];
  for (const [what, act, expected] of steps) {
    if (act.length === 0) act();
    else assert.deepEqual(await settle(act), [0, ''], what);
    for (const event of expected) assert.deepEqual(await heard.next(event[0]), event, what);
  }
  heard.remove();
  await settle((cb) => ctx.endRoom(cb));
});

test('the caption state and property deletion events write their trace lines', () => {
  const { lines, status, stderr } = runChild(`
    const rooms = new brimo.IQVParloWrap().getRoomService();
    rooms.joinRoom({ roomUuid: 'traced' }, {}, (code, msg, ctx) => {
      const id = ctx.addRoomListener((event, ...args) => {
        console.log('heard', event, args.length);
        if (event === 'onRoomPropertiesDeleted') { ctx.removeRoomListener(id); process.exit(0); }
      });
      sim.emit('room', 'onCaptionStateChanged', [2, -5, 'no %s captions\\u0000, really'], { room: 'traced' });
      sim.emit('room', 'onRoomPropertiesDeleted', [{ a: '1', b: '2' }], { room: 'traced' });
    });
  `);
  assert.equal(status, 0, stderr);
  assert.deepEqual(lines.filter((l) => /^(onCaption|onRoomProp|heard)/.test(l)), [
    'onCaptionStateChanged state, 2 code, -5 message, no %s captions\u0000, really',
    'heard onCaptionStateChanged 3',
    'onRoomPropertiesDeleted properties, 2',
    'heard onRoomPropertiesDeleted 1',
  ]);
});

test('map keys written by other members stay own entries of their full length', async () => {
  const { s, ctx, uuid } = await joined();
  const heard = listen(ctx);
  // JSON.parse, because an object literal would set the prototype instead.
  const hostile = JSON.parse('{"__proto__": "x", "k": "v", "k\\u0000z": "w"}');
  s.rooms.emit(uuid, 'onRoomPropertiesChanged', hostile);
  s.rooms.emit(uuid, 'onMemberPropertiesChanged', 'm-1', hostile);
  const [, changed] = await heard.next('onRoomPropertiesChanged');
  const [, , member] = await heard.next('onMemberPropertiesChanged');
  for (const [map, value] of [[changed, (v) => ({ value: v })], [member, (v) => v]]) {
    assert.equal(Object.getPrototypeOf(map), Object.prototype);
    assert.deepEqual(Object.keys(map), ['__proto__', 'k', 'k\u0000z']);
    assert.deepEqual(Object.getOwnPropertyDescriptor(map, '__proto__').value, value('x'));
    assert.deepEqual([map.k, map['k\u0000z']], [value('v'), value('w')]);
  }
  assert.equal(changed.value, undefined, 'no entry leaks in through the prototype');
  heard.remove();
  await settle((cb) => ctx.leaveRoom(cb));
});
