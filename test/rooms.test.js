'use strict';
// Rooms: what the SDK receives from the room service and the room context, the
// records script receives back, joining, failed resolution and listener rules.

const { test, afterEach } = require('node:test');
const assert = require('node:assert/strict');
const { brimo, runChild } = require('./helpers');
const { freshUuid, settle, service, joined, listen, closeListeners } = require('./room-helpers');

afterEach(closeListeners);

const last = (s, op) => s.journal(op).at(-1).args;

// Asserts the values and, separately, that the keys come in the same order at every level.
function sameRecord(actual, expected, what) {
  assert.deepEqual(actual, expected, what);
  assert.equal(JSON.stringify(actual), JSON.stringify(expected), `${what}: key order`);
}

test('the four parameter converters: defaults when keys are absent, every present key read', async (t) => {
  const CREATE_DEFAULTS = { roomUuid: '', roomName: '', password: '', reservedInt: -1, templateId: 0, initialProperties: {} };
  const OPTION_DEFAULTS = {
    enableRecord: false, enableLive: false, enableRtc: true, enableChatroom: false, enableWhiteboard: false,
    extraOptions: {}, reservedFlag1: 0, reservedFlag2: 0, reservedFlag3: 0,
  };
  const JOIN_DEFAULTS = { roomUuid: '', userName: '', avatar: '', role: '', password: '', initialProperties: {} };
  const { s, rooms } = service();

  await t.test('createRoom', () => {
    const cases = [
      [{}, {}, CREATE_DEFAULTS, OPTION_DEFAULTS],
      [{ templateId: 12.7 }, { enableRtc: false }, { ...CREATE_DEFAULTS, templateId: 12 }, { ...OPTION_DEFAULTS, enableRtc: false }],
      [{ templateId: -1 }, {}, { ...CREATE_DEFAULTS, templateId: 4294967295 }, OPTION_DEFAULTS],
      [
        { roomUuid: 'r', roomName: 'n', password: 'p', templateId: 3, initialProperties: { b: '2', a: '1' }, extra: 1 },
        { enableRecord: true, enableLive: true, enableChatroom: true, enableWhiteboard: true },
        { roomUuid: 'r', roomName: 'n', password: 'p', reservedInt: -1, templateId: 3, initialProperties: { a: '1', b: '2' } },
        { ...OPTION_DEFAULTS, enableRecord: true, enableLive: true, enableChatroom: true, enableWhiteboard: true },
      ],
      // The presence test finds inherited keys too.
      [Object.create({ roomName: 'inherited' }), Object.create({ enableLive: true }),
        { ...CREATE_DEFAULTS, roomName: 'inherited' }, { ...OPTION_DEFAULTS, enableLive: true }],
    ];
    for (const [params, options, sentParams, sentOptions] of cases) {
      assert.equal(rooms.createRoom(params, options, () => {}), true);
      assert.deepEqual(last(s, 'createRoom'), [sentParams, sentOptions], JSON.stringify([params, options]));
    }
  });

  await t.test('joinRoom and joinRoomByInvite', async () => {
    const params = { roomUuid: freshUuid(), userName: 'Ann', avatar: 'a.png', role: 'host', password: 'pw', initialProperties: { k: 'v' } };
    for (const op of ['joinRoom', 'joinRoomByInvite']) {
      s.answer(op, { result: false });
      await settle((cb) => rooms[op]({}, {}, cb));
      assert.deepEqual(last(s, op), [JOIN_DEFAULTS, { enableMyAudioDeviceOnJoinRtc: false }], op);
      s.answer(op, { result: false });
      await settle((cb) => rooms[op](params, { enableMyAudioDeviceOnJoinRtc: true }, cb));
      assert.deepEqual(last(s, op), [params, { enableMyAudioDeviceOnJoinRtc: true }], op);
    }
  });

  await t.test('a present key of the wrong type is converted, not defaulted, and the SDK is still called', () => {
    const cases = [
      [{ roomName: undefined }, {}, { ...CREATE_DEFAULTS }, OPTION_DEFAULTS],
      [{}, { enableRtc: 0 }, CREATE_DEFAULTS, { ...OPTION_DEFAULTS, enableRtc: false }],
      [{ initialProperties: { a: 1 } }, {}, { ...CREATE_DEFAULTS, initialProperties: { a: '' } }, OPTION_DEFAULTS],
    ];
    for (const [params, options, sentParams, sentOptions] of cases) {
      const before = s.journal('createRoom').length;
      assert.throws(() => rooms.createRoom(params, options, () => {}), (e) => !/Null pointer/.test(e.message));
      assert.equal(s.journal('createRoom').length, before + 1);
      assert.deepEqual(last(s, 'createRoom'), [sentParams, sentOptions]);
    }
  });
});

test('initial properties reach the room ordered by key, inherited keys included', async () => {
  const { s, rooms } = service();
  const uuid = freshUuid();
  const properties = Object.create({ c: '3' });
  properties.b = '2';
  properties.a = '1';
  await settle((cb) => rooms.createRoom({ roomUuid: uuid, roomName: 'Planning', initialProperties: properties }, {}, cb));
  const [, , ctx] = await settle((cb) => rooms.joinRoom({ roomUuid: uuid }, {}, cb));
  assert.deepEqual(Object.keys(ctx.getRoomProperties()), ['a', 'b', 'c']);
  assert.equal(ctx.getRoomName(), 'Planning');
  await settle((cb) => ctx.leaveRoom(cb));
  assert.deepEqual(s.journal('leaveRoom'), [{ op: 'leaveRoom', args: [] }]);
});

test('history and cloud-record options as the SDK receives them', async () => {
  const { s, ctx, rooms, uuid } = await joined();
  const history = [
    [{}, { startTime: 0, limit: 0, order: 0 }],
    [{ startTime: 1.9 }, { startTime: 1, limit: 0, order: 0 }],
    [{ startTime: -2.5, limit: 20, order: 1, other: 5 }, { startTime: -2, limit: 20, order: 1 }],
  ];
  for (const [options, sent] of history) {
    assert.equal(rooms.fetchChatroomHistoryMessages(uuid, options, () => {}), undefined);
    assert.deepEqual(last(s, 'fetchChatroomHistoryMessages'), [uuid, sent]);
  }
  const records = [
    [{}, { rtcRecordType: 0, modeList: [] }],
    [{ rtcRecordType: 2.9, modeList: ['screen', {}, { mode: 3 }, null, { mode: '7' }, () => {}] }, { rtcRecordType: 2, modeList: [0, 3, 0, 0] }],
  ];
  for (const [config, sent] of records) {
    await settle((cb) => ctx.startCloudRecord(config, cb));
    assert.deepEqual(last(s, 'startCloudRecord'), [sent]);
  }
  await settle((cb) => ctx.leaveRoom(cb));
});

test('a join calls back with a new room context, or with two arguments when no room came back', async () => {
  const { s, rooms } = service();
  const { IQVRoomContextWrap } = brimo();
  for (const op of ['joinRoom', 'joinRoomByInvite']) {
    const uuid = freshUuid(op);
    const args = await settle((cb) => rooms[op]({ roomUuid: uuid, userName: 'Ann' }, {}, cb));
    assert.equal(args.length, 3, op);
    assert.deepEqual(args.slice(0, 2), [0, '']);
    assert.ok(args[2] instanceof IQVRoomContextWrap);
    assert.equal(args[2].getRoomUuid(), uuid);
    assert.equal(args[2].getLocalMember().name, 'Ann');
    await settle((cb) => args[2].leaveRoom(cb));

    for (const answer of [{ result: false }, { code: 1020, message: 'wrong password' }, { result: false, mode: 'sync' }]) {
      s.answer(op, answer);
      const failed = await settle((cb) => rooms[op]({ roomUuid: freshUuid(op) }, {}, cb));
      assert.deepEqual(failed, [answer.code || 0, answer.message || ''], `${op} ${JSON.stringify(answer)}`);
    }
    // A room context that comes back with a warning code is handed over all the same.
    s.answer(op, { code: 7, message: 'joined, no audio', result: { roomName: 'W' } });
    const warned = await settle((cb) => rooms[op]({ roomUuid: freshUuid(op) }, {}, cb));
    assert.deepEqual([warned.length, warned[0], warned[1]], [3, 7, 'joined, no audio']);
    assert.ok(warned[2] instanceof IQVRoomContextWrap);
    await settle((cb) => warned[2].leaveRoom(cb));
  }
});

test('join writes its trace line before making the room context wrapper', () => {
  const { lines, status, stderr } = runChild(`
    const rooms = new brimo.IQVParloWrap().getRoomService();
    rooms.joinRoom({ roomUuid: 'traced' }, {}, (code, msg, ctx) => {
      console.log('joined');
      rooms.joinRoomByInvite({ roomUuid: 'traced' }, {}, (code, msg, again) => {
        console.log('invited');
        const made = rooms.getRoomContext('traced');
        console.log('made', made !== ctx && made.getRoomUuid());
        process.exit(0);
      });
    });
  `);
  assert.equal(status, 0, stderr);
  const from = lines.indexOf('joinRoom roomContext ');
  assert.ok(from > 0, lines.join('\n'));
  assert.equal(lines[from + 1], 'IQVRoomContextWrap traced ');
  const seen = lines.slice(from).filter((l) => /roomContext|getRoomContext|^IQVRoomContextWrap|joined|invited|made/.test(l));
  assert.deepEqual(seen, [
    'joinRoom roomContext ', 'IQVRoomContextWrap traced ', 'joined',
    'joinRoomByInvite roomContext ', 'IQVRoomContextWrap traced ', 'invited',
    'IQVRoomServiceWrap getRoomContext ', 'IQVRoomContextWrap traced ', 'made traced',
  ]);
});

test('a room context wrapper made for a UUID resolves as soon as that room is joined', async () => {
  const { s, rooms } = service();
  const uuid = freshUuid();
  const early = rooms.getRoomContext(uuid);
  const other = rooms.getRoomContext(uuid);
  assert.notEqual(early, other);
  assert.throws(() => early.getRoomName(), { name: 'TypeError', message: 'IQVRoomContextWrap Null pointer exception' });
  assert.equal(early.addRoomListener(() => {}), -1);
  await settle((cb) => rooms.joinRoom({ roomUuid: uuid }, {}, cb));
  assert.equal(early.getRoomUuid(), uuid);
  assert.equal(other.getRoomUuid(), uuid);
  s.rooms.setLink(uuid, 'roomContext', false);
  assert.throws(() => early.getRoomUuid(), { message: 'IQVRoomContextWrap Null pointer exception' });
  s.reset();
  await settle((cb) => early.leaveRoom(cb));
});

test('room operations change the room the SDK holds', async () => {
  const { s, ctx, uuid } = await joined();
  s.rooms.addMember(uuid, [{ uuid: 'bob' }, { uuid: 'cy' }]);
  const steps = [
    (cb) => ctx.changeMyName('Annie', cb),
    (cb) => ctx.changeMemberName('bob', 'Robert', cb),
    (cb) => ctx.changeMembersRole({ cy: 'member', bob: 'member' }, cb),
    (cb) => ctx.handOverMyRole('bob', true, cb),
    (cb) => ctx.kickMemberOut('cy', false, cb),
    (cb) => ctx.enableRoomBlacklist(true, cb),
  ];
  for (const step of steps) assert.deepEqual(await settle(step), [0, ''], step.toString());
  assert.deepEqual(await settle((cb) => ctx.changeMemberName('nobody', 'x', cb)), [404, 'no member nobody in the room']);
  const state = { name: ctx.getLocalMember().name, bob: ctx.getRemoteMembers().map((m) => [m.name, m.role.name]) };
  assert.deepEqual(state, { name: 'Annie', bob: [['Robert', 'host']] });
  assert.equal(ctx.isRoomBlacklistEnabled(), true);
  await settle((cb) => ctx.endRoom(cb));
  assert.equal(s.rooms.get(uuid), null);
});

test('room state getters answer what the SDK holds, and the chat controllers stay the same two objects', async () => {
  const { s, ctx, uuid } = await joined({ password: 'pw' });
  s.rooms.update(uuid, { sipCid: 'sip-9', rtcStartTime: 2 ** 41, remainingSeconds: 90, maxMembers: 7, inWaitingRoom: true });
  const getters = {
    getRoomUuid: uuid, getPassword: 'pw', getSipCid: 'sip-9', getRtcStartTime: 2 ** 41, getRemainingSeconds: 90,
    getMaxMembers: 7, isRoomLocked: false, isCloudRecording: false, isInWaitingRoom: true, isRoomBlacklistEnabled: false,
  };
  for (const [getter, value] of Object.entries(getters)) assert.equal(ctx[getter](), value, getter);
  await settle((cb) => ctx.startCloudRecord({}, cb));
  assert.equal(ctx.isCloudRecording(), true);
  const { IQVRoomChatControllerWrap } = brimo();
  const chat = ctx.getChatController();
  const waiting = ctx.getWaitingRoomChatController();
  assert.ok(chat instanceof IQVRoomChatControllerWrap && waiting instanceof IQVRoomChatControllerWrap);
  assert.notEqual(chat, waiting);
  assert.equal(ctx.getChatController(), chat);
  assert.equal(ctx.getWaitingRoomChatController(), waiting);
  await settle((cb) => ctx.leaveRoom(cb));
});

const ROLE_KEYS = ['name', 'limit', 'params'];
const MEMBER_KEYS = [
  'uuid', 'role', 'name', 'isAudioConnected', 'isAudioOn', 'isVideoOn', 'isInRtcChannel', 'isInChatroom',
  'isSharingScreen', 'isSharingWhiteboard', 'inviteState', 'inviteType', 'isInAppInviting', 'isInSipInviting',
  'isSharingSystemAudio', 'properties', 'clientType', 'avatar',
];
const FLAGS = [
  'isAudioOn', 'isVideoOn', 'isInRtcChannel', 'isInChatroom', 'isSharingScreen', 'isSharingWhiteboard',
  'isInSipInviting', 'isInAppInviting', 'isSharingSystemAudio', 'isAudioConnected',
];

test('member and role records: every key in order, each from its own getter', async () => {
  const { s, ctx, uuid } = await joined();
  // Alternating flags: a member and its mirror image catch two swapped flags either way.
  const flags = Object.fromEntries(FLAGS.map((f, i) => [f, i % 2 === 0]));
  const mirror = Object.fromEntries(FLAGS.map((f) => [f, !flags[f]]));
  const role = {
    name: 'cohost', limit: 4, videoWidth: 1280, videoHeight: 720, videoFps: 30, audioProfile: 'music',
    audioScenario: 'chat', screenVideoProfile: '1080p', screenPreferMotion: true, screenPreferDetails: true,
  };
  const members = [
    { uuid: 'm-1', name: 'Mo', avatar: 'mo.png', role, ...flags, properties: { b: '2', a: '1' }, clientType: 3, inviteType: 5, inviteState: 7 },
    { uuid: 'm-2', name: 'Ny', avatar: 'ny.png', role: 'member', ...mirror, properties: {}, clientType: 8, inviteType: 6, inviteState: 9 },
  ];
  s.rooms.update(uuid, { remoteMembers: members, localMember: null });
  const records = ctx.getRemoteMembers();
  assert.equal(records.length, 2);
  records.forEach((record, i) => {
    const m = members[i];
    assert.deepEqual(Object.keys(record), MEMBER_KEYS);
    for (const key of ['uuid', 'name', 'avatar', 'clientType', 'inviteType', 'inviteState', ...FLAGS]) {
      assert.equal(record[key], m[key], `${m.uuid}.${key}`);
    }
    assert.deepEqual(Object.keys(record.properties), Object.keys(m.properties).sort());
    assert.deepEqual(Object.keys(record.role), ROLE_KEYS);
  });
  sameRecord(records[0].role, {
    name: 'cohost', limit: 4,
    params: { video: { width: 1280, height: 720, fps: 30 }, audio: { profile: 'music', scenario: 'chat' },
      screen: { videoProfile: '1080p', preferMotionFPS: 1, preferDetailsFPS: 1 } },
  }, 'role');
  sameRecord(records[1].role.params.screen, { videoProfile: '', preferMotionFPS: 0, preferDetailsFPS: 0 }, 'default screen');
  // A room without a local member hands script an empty object, not null.
  assert.deepEqual(ctx.getLocalMember(), {});
  s.rooms.update(uuid, { sipInvitingMembers: [members[1]], appInvitingMembers: [members[0], members[1]] });
  assert.deepEqual(ctx.getInSIPInvitingMembers().map((m) => m.uuid), ['m-2']);
  assert.deepEqual(ctx.getInAppInvitingMembers().map((m) => m.uuid), ['m-1', 'm-2']);
  await settle((cb) => ctx.leaveRoom(cb));
});

test('room template records: fetched with roles first, a joined room\'s with permissions first', async () => {
  const { s, rooms } = service();
  const template = {
    roles: [{ name: 'host', limit: 1 }, { name: 'guest' }],
    memberWhiteboard: ['host'], memberScreenShare: ['host', 'guest'], audioStreamRoles: ['a1'],
    videoStreamRoles: ['v1', 'v2'], subVideoStreamRoles: [],
    roomPropertyPermissions: [{ name: 'focus', roles: ['host', 'cohost'] }, { name: 'bg', roles: ['x', 'y', 'z'] }],
  };
  const permissions = {
    member: {
      properties: { whiteboard: ['host'], screenShare: ['host', 'guest'] },
      streams: { video: { roles: ['v1', 'v2'] }, audio: { roles: ['a1'] }, subVideo: { roles: [] } },
    },
    room: { properties: [{ name: 'focus', roles: ['host', 'cohost'] }, { name: 'bg', roles: ['x', 'y', 'z'] }] },
  };
  s.rooms.setTemplate('42', template);
  const [code, message, fetched] = await settle((cb) => rooms.fetchRoomTemplate('42', cb));
  assert.deepEqual([code, message], [0, '']);
  assert.deepEqual(last(s, 'fetchRoomTemplate'), ['42']);
  assert.deepEqual(Object.keys(fetched), ['roles', 'permissions']);
  sameRecord(fetched.permissions, permissions, 'fetched permissions');
  assert.deepEqual(fetched.roles.map((r) => [r.name, r.limit]), [['host', 1], ['guest', 0]]);

  const uuid = freshUuid();
  await settle((cb) => rooms.createRoom({ roomUuid: uuid, templateId: 42 }, {}, cb));
  const [, , ctx] = await settle((cb) => rooms.joinRoom({ roomUuid: uuid, role: 'guest' }, {}, cb));
  const own = ctx.getRoomTemplate();
  assert.deepEqual(Object.keys(own), ['permissions', 'roles']);
  sameRecord(own.permissions, permissions, 'joined permissions');
  sameRecord(own.roles, fetched.roles, 'joined roles');
  await settle((cb) => ctx.leaveRoom(cb));
});

const COMMON_KEYS = ['messageUuid', 'fromUserUuid', 'fromNick', 'fromAvatar', 'time', 'chatroomType', 'toUserUuidList'];
const FILE = { displayName: 'Q3.pdf', extension: 'pdf', md5: 'f00d', url: 'https://f/q3', size: 2 ** 40, path: '/tmp/q3.pdf' };
const MESSAGES = [
  [{ messageType: 'text', text: 'hi', toUserUuidList: ['u1', 'u2'] }, ['messageType', 'text'], { messageType: 'text', text: 'hi' }],
  [{ messageType: 'custom', attachStr: '{"x":1}' }, ['messageType', 'attachStr'], { messageType: 'custom', attachStr: '{"x":1}' }],
  [{ messageType: 'file', ...FILE }, ['messageType', 'displayName', 'extension', 'md5', 'url', 'size', 'path'], { messageType: 'file', ...FILE }],
  [{ messageType: 'image', ...FILE, width: 640, height: -1 },
    ['messageType', 'displayName', 'extension', 'md5', 'url', 'path', 'size', 'width', 'height'],
    { messageType: 'image', ...FILE, width: 640, height: -1 }],
  [{ messageType: 'notification', attachStr: 'joined' }, ['messageType', 'attachStr'], { messageType: 'notification', attachStr: 'joined' }],
  [{ messageType: 'notification' }, ['messageType'], { messageType: 'notification' }],
  [{ messageType: 9, text: 'unseen' }, [], {}],
];

test('chat message records of every kind, in a history page with a null entry', async () => {
  const { s, rooms, uuid, ctx } = await joined();
  const history = MESSAGES.map(([m], i) => ({
    ...m, messageUuid: `msg-${i}`, fromUserUuid: `u-${i}`, fromNick: `n-${i}`, fromAvatar: `a-${i}`, time: 2 ** 63, chatroomType: i,
  }));
  s.rooms.setHistory(uuid, [history[0], null, ...history.slice(1)]);
  const [code, , page] = await settle((cb) => rooms.fetchChatroomHistoryMessages(uuid, {}, cb));
  assert.equal(code, 0);
  assert.equal(page.length, MESSAGES.length + 1, 'as long as the SDK list');
  assert.equal(MESSAGES.length in page, false, 'the skipped null leaves a hole at the end');
  MESSAGES.forEach(([, kindKeys, kindValues], i) => {
    const record = page[i];
    assert.deepEqual(Object.keys(record), [...COMMON_KEYS, ...kindKeys], `kind ${history[i].messageType}`);
    assert.deepEqual(record, {
      messageUuid: `msg-${i}`, fromUserUuid: `u-${i}`, fromNick: `n-${i}`, fromAvatar: `a-${i}`, time: 2 ** 63,
      chatroomType: i, toUserUuidList: history[i].toUserUuidList || [], ...kindValues,
    });
  });
  assert.ok(page[0].time > 0, 'an unsigned 64-bit time stays positive');
  // The same page through the SDK's own paging: newest first, two of them.
  const [, , newest] = await settle((cb) => rooms.fetchChatroomHistoryMessages(uuid, { order: 1, limit: 2 }, cb));
  assert.deepEqual(newest.map((m) => m.messageUuid), [`msg-${MESSAGES.length - 1}`, `msg-${MESSAGES.length - 2}`]);
  await settle((cb) => ctx.leaveRoom(cb));
});

test('cloud record lists, exported history and rejected invitations reach the callback', async () => {
  const { s, rooms, ctx, uuid } = await joined();
  const file = { mixing: true, fileName: 'a.mp4', md5: 'beef', size: 4294967295, url: 'https://r/a', videoId: -(2 ** 40), pieceIndex: 2, nickname: 'Ann' };
  const records = [
    { recordId: 'r-1', startTime: 10, endTime: 20, infoList: [file, { ...file, mixing: false, pieceIndex: 3 }] },
    { recordId: 'r-2', startTime: 30, endTime: 40, infoList: [] },
  ];
  s.rooms.setCloudRecords(uuid, records);
  const [code, , list] = await settle((cb) => rooms.getRoomCloudRecordList(uuid, cb));
  assert.equal(code, 0);
  assert.deepEqual(last(s, 'getRoomCloudRecordList'), [uuid]);
  sameRecord(list, records, 'cloud records');
  assert.deepEqual(Object.keys(list[0]), ['recordId', 'startTime', 'endTime', 'infoList']);
  assert.deepEqual(Object.keys(list[0].infoList[0]), ['mixing', 'fileName', 'md5', 'size', 'url', 'videoId', 'pieceIndex', 'nickname']);

  // A recording started and stopped in the room becomes an entry of its own.
  await settle((cb) => ctx.startCloudRecord({}, cb));
  await settle((cb) => ctx.stopCloudRecord(cb));
  const [, , after] = await settle((cb) => rooms.getRoomCloudRecordList(uuid, cb));
  assert.equal(after.length, 3);
  assert.ok(after[2].startTime <= after[2].endTime);
  assert.deepEqual([after[2].infoList[0].mixing, after[2].infoList[0].nickname], [true, 'Ann']);
  s.answer('getRoomCloudRecordList', { code: 5, message: 'busy', result: [] });
  assert.deepEqual(await settle((cb) => rooms.getRoomCloudRecordList(uuid, cb)), [5, 'busy', []]);

  s.answer('exportChatroomHistoryMessages', { result: 'https://export/1' });
  assert.deepEqual(await settle((cb) => rooms.exportChatroomHistoryMessages(uuid, cb)), [0, '', 'https://export/1']);
  s.answer('rejectInvite', { code: 9, message: 'gone', result: 'x' });
  assert.deepEqual(await settle((cb) => rooms.rejectInvite(uuid, cb)), [9, 'gone', 'x']);
  await settle((cb) => ctx.leaveRoom(cb));
});

test('room listener registration and removal', async (t) => {
  const { s, ctx, uuid } = await joined();
  const other = await joined();
  const first = ctx.addRoomListener(() => {});
  const second = ctx.addRoomListener(() => {});
  const stats = ctx.addRtcStatsListener(() => {});
  // Whatever the assertions say, nothing stays registered: a registration keeps the process alive.
  t.after(async () => {
    s.reset();
    [first, second].forEach((id) => ctx.removeRoomListener(id));
    ctx.removeRtcStatsListener(stats);
    await settle((cb) => ctx.leaveRoom(cb));
    await settle((cb) => other.ctx.leaveRoom(cb));
  });
  assert.deepEqual([second - first, stats - second], [1, 1], 'ids from one counter');
  assert.equal(s.journal('addRoomListener').length, 2);
  assert.equal(s.listeners('room', uuid), 2);
  assert.equal(other.ctx.removeRoomListener(first), false, 'not through another room');
  assert.equal(ctx.removeRtcStatsListener(first), false, 'not through the other table');
  assert.equal(ctx.removeRoomListener(first), true);
  assert.equal(ctx.removeRoomListener(first), false, 'twice: false, nothing thrown');
  assert.equal(ctx.removeRoomListener(12345), false);
  s.rooms.setLink(uuid, 'roomContext', false);
  assert.equal(ctx.removeRoomListener(second), false, 'the room cannot be found: kept');
  s.reset();
  assert.equal(ctx.removeRoomListener(second), true, 'a later removal succeeds');
  assert.equal(ctx.removeRtcStatsListener(stats), true);
  assert.equal(s.listeners('room', uuid), 0);
  assert.deepEqual(s.journal().map((e) => e.op), ['removeRoomListener', 'removeRtcStatsListener']);
});

test('a listener added to a room that ends is removed once the room is joined again', async () => {
  const { s, ctx, uuid, rooms } = await joined();
  const heard = listen(ctx);
  s.rooms.end(uuid, 2);
  assert.deepEqual(await heard.next('onRoomEnded'), ['onRoomEnded', 2]);
  assert.equal(heard.remove(), false, 'the room is gone');
  await settle((cb) => rooms.joinRoom({ roomUuid: uuid }, {}, cb));
  assert.equal(heard.remove(), true);
  await settle((cb) => ctx.leaveRoom(cb));
});

test('a room left before its listener was removed does not keep the process alive', () => {
  const { lines, status, signal, stderr } = runChild(`
    new brimo.IQVParloWrap().getRoomService().joinRoom({ roomUuid: 'left-early' }, {}, (code, message, ctx) => {
      const id = ctx.addRoomListener(() => {});
      ctx.leaveRoom(() => console.log('removed', ctx.removeRoomListener(id)));
    });
  `, { timeout: 10000 });
  assert.equal(signal, null, 'the process ended by itself');
  assert.equal(status, 0, stderr);
  assert.deepEqual(lines.filter((l) => l.startsWith('removed')), ['removed false']);
});

test('a join without a callback function throws the runtime error, still joins in the SDK, makes no wrapper and lets the process exit', () => {
  const { lines, status, signal, stderr } = runChild(`
    const rooms = new brimo.IQVParloWrap().getRoomService();
    for (const [uuid, callback] of [['no-callback', undefined], ['number-callback', 42]]) {
      try {
        console.log('returned', rooms.joinRoom({ roomUuid: uuid, userName: 'Ann' }, {}, callback));
      } catch (e) {
        console.log('threw', e instanceof Error, /Null pointer|Wrong/.test(e.message));
      }
    }
    console.log('sdk', JSON.stringify(sim.journal('joinRoom').map((e) => e.args[0].roomUuid)));
    // Once the SDK has completed both joins, a join with a callback shows what a wrapper looks like.
    const wait = setInterval(() => {
      if (sim.counters().outstanding !== 0) return;
      clearInterval(wait);
      rooms.joinRoom({ roomUuid: 'with-callback' }, {}, (code, message, ctx) => console.log('joined', code, ctx.getRoomUuid()));
    }, 5);
  `, { timeout: 10000 });
  assert.equal(signal, null, 'the process ended by itself');
  assert.equal(status, 0, stderr);
  const seen = lines.filter((l) => /^(returned|threw|sdk|joined)|roomContext|^IQVRoomContextWrap/.test(l));
  assert.deepEqual(seen, [
    'threw true false',
    'threw true false',
    'sdk ["no-callback","number-callback"]',
    'joinRoom roomContext ',
    'IQVRoomContextWrap with-callback ',
    'joined 0 with-callback',
  ]);
});
