'use strict';
// The simulated rooms as a test scripts them: each change of a member or of the room
// raises what the real SDK would report, and nothing else.

const { test, afterEach } = require('node:test');
const assert = require('node:assert/strict');
const { settle, joined, listen, closeListeners } = require('./room-helpers');

afterEach(closeListeners);

// Names of the events one action raises: everything heard up to a marker event
// raised after it (the SDK thread keeps the order).
async function raisedBy(heard, s, uuid, action) {
  await action();
  s.rooms.emit(uuid, 'onRtcDisconnect');
  const names = [];
  for (let call = await heard.next(); call[0] !== 'onRtcDisconnect'; call = await heard.next()) names.push(call);
  return names;
}

test('a member change raises the event of each field that changed', async () => {
  const { s, ctx, uuid } = await joined();
  const heard = listen(ctx);
  s.rooms.addMember(uuid, { uuid: 'bob', name: 'Bob', role: 'member' });
  await heard.next('onMemberJoinRoom');
  const changes = [
    [{ name: 'Robert' }, ['onMemberNameChanged']],
    [{ name: 'Robert' }, []],
    [{ role: 'cohost' }, ['onMemberRoleChanged']],
    [{ isAudioOn: true, isVideoOn: true }, ['onMemberAudioMuteChanged', 'onMemberVideoMuteChanged']],
    [{ isSharingScreen: true }, ['onMemberScreenShareStateChanged']],
    [{ isSharingSystemAudio: true }, ['onMemberSystemAudioShareStateChanged']],
    [{ isSharingWhiteboard: true }, ['onMemberWhiteboardStateChanged']],
    [{ isInRtcChannel: false }, ['onMemberLeaveRtcChannel']],
    [{ isInRtcChannel: true }, ['onMemberJoinRtcChannel']],
    [{ isInChatroom: false }, ['onMemberLeaveChatroom']],
    [{ isAudioConnected: false }, ['onMemberAudioConnectStateChanged']],
    [{ isInSipInviting: true }, ['onMemberSIPInviteStateChanged']],
    [{ inviteState: 2 }, ['onMemberSIPInviteStateChanged']],
    [{ isInAppInviting: true }, ['onMemberAppInviteStateChanged']],
    [{ properties: { hand: 'up', seat: '3' } }, ['onMemberPropertiesChanged']],
    [{ properties: { seat: '4' } }, ['onMemberPropertiesChanged', 'onMemberPropertiesDeleted']],
  ];
  for (const [change, expected] of changes) {
    const calls = await raisedBy(heard, s, uuid, () => s.rooms.updateMember(uuid, 'bob', change));
    assert.deepEqual(calls.map((c) => c[0]), expected, JSON.stringify(change));
  }
  const [[, member, on, by]] = await raisedBy(heard, s, uuid, () =>
    s.rooms.updateMember(uuid, 'bob', { isAudioOn: false }, { by: ctx.getLocalMember().uuid }));
  assert.deepEqual([member.name, on, by.uuid], ['Robert', false, ctx.getLocalMember().uuid], 'done by the local member');
  assert.deepEqual(s.rooms.get(uuid).remoteMembers[0].properties, { seat: '4' });
  heard.remove();
  await settle((cb) => ctx.leaveRoom(cb));
});

test('a room change raises the event of each reported field and keeps the others quiet', async () => {
  const { s, ctx, uuid } = await joined();
  const heard = listen(ctx);
  const changes = [
    [{ locked: true }, [['onRoomLockStateChanged', true]]],
    [{ blacklistEnabled: true }, [['onRoomBlacklistStateChanged', true]]],
    [{ maxMembers: 50 }, [['onRoomMaxMembersChanged', 50]]],
    [{ remainingSeconds: 60 }, [['onRoomRemainingSecondsRenewed', 60]]],
    [{ cloudRecording: true }, [['onRoomCloudRecordStateChanged', 1, {}]]],
    [{ properties: { a: '1' } }, [['onRoomPropertiesChanged', { a: { value: '1' } }]]],
    [{ properties: { b: '2' } }, [['onRoomPropertiesChanged', { b: { value: '2' } }], ['onRoomPropertiesDeleted', { a: '1' }]]],
    [{ roomName: 'Renamed', password: 'x', locked: true }, []],
  ];
  for (const [change, expected] of changes) {
    assert.deepEqual(await raisedBy(heard, s, uuid, () => s.rooms.update(uuid, change)), expected, JSON.stringify(change));
  }
  assert.deepEqual([ctx.getRoomName(), ctx.getPassword(), ctx.getMaxMembers()], ['Renamed', 'x', 50]);
  heard.remove();
  await settle((cb) => ctx.leaveRoom(cb));
});

test('handing over my role swaps it with the other member, reported for both', async () => {
  const { s, ctx, uuid } = await joined({ role: 'host' });
  const heard = listen(ctx);
  s.rooms.addMember(uuid, { uuid: 'bob', role: 'member' });
  await heard.next('onMemberJoinRoom');
  const calls = await raisedBy(heard, s, uuid, () => settle((cb) => ctx.handOverMyRole('bob', false, cb)));
  const me = ctx.getLocalMember().uuid;
  assert.deepEqual(calls.map(([name, user, before, after]) => [name, user, before.name, after.name]), [
    ['onMemberRoleChanged', 'bob', 'member', 'host'],
    ['onMemberRoleChanged', me, 'host', 'member'],
  ]);
  heard.remove();
  await settle((cb) => ctx.leaveRoom(cb));
});

test('a scripted join lays its result over the new room', async () => {
  const { s, ctx, rooms } = await joined();
  s.answer('joinRoom', { result: { roomName: 'Scripted', remoteMembers: [{ uuid: 'bob' }, null], locked: true } });
  const [, , room] = await settle((cb) => rooms.joinRoom({ roomUuid: `${ctx.getRoomUuid()}-2` }, {}, cb));
  assert.deepEqual([room.getRoomName(), room.isRoomLocked()], ['Scripted', true]);
  assert.deepEqual(room.getRemoteMembers().map((m) => m.uuid), ['bob', undefined]);
  s.answer('getRoomName', { ret: 'Answered' });
  assert.equal(room.getRoomName(), 'Answered', 'a scripted return value wins over the state');
  await settle((cb) => room.leaveRoom(cb));
  await settle((cb) => ctx.leaveRoom(cb));
});

test('scripting a room that is not joined, or a change that cannot be, throws a clear error', async () => {
  const { s, ctx, uuid } = await joined();
  s.rooms.addMember(uuid, { uuid: 'bob' });
  const wrong = [
    [() => s.rooms.addMember('nowhere', { uuid: 'x' }), /no joined room nowhere/],
    [() => s.rooms.addMember(uuid, { uuid: 'bob' }), /bob is in the room already/],
    [() => s.rooms.addMember(uuid, null), /cannot be null/],
    [() => s.rooms.removeMember(uuid, 'nobody'), /no remote member nobody/],
    [() => s.rooms.updateMember(uuid, 'nobody', {}), /no member nobody/],
    [() => s.rooms.updateMember(uuid, 'bob', 'loud'), /must be an object/],
    [() => s.rooms.update(uuid, { maxMembers: 'many' }), /parlo sim/],
    [() => s.rooms.chat(uuid, { messageType: 'video' }), /unknown messageType/],
    [() => s.emit('room', 'onNoSuchEvent', [], { room: uuid }), /no event onNoSuchEvent/],
  ];
  for (const [action, message] of wrong) assert.throws(action, message, action.toString());
  assert.deepEqual(s.rooms.get(uuid).remoteMembers.map((m) => m.uuid), ['bob'], 'nothing changed');
  assert.equal(s.rooms.get('nowhere'), null);
  await settle((cb) => ctx.leaveRoom(cb));
});
