'use strict';
// A joined room, found again by its UUID on every call: its state and members,
// member and room actions, room and statistics listeners, and its nine controllers.

const { CB, LISTENER, ID, ADAPTER, isId, instanceOf, join, roomChain } = require('./common');

// The room's own state, scripted through the SDK's answer so that each getter shows its own value.
const getter = (name, value, fail) => ({ name, args: [], sdk: { op: name, args: [] }, answer: { ret: value }, returns: value, fail });
// A getter of a record or list, read from the joined room: Ann (host) with bob and cy.
const reader = (name, returns) => ({ name, args: [], sdk: { op: name, args: [] }, returns, fail: null });
// An action that completes with (code, message): the callback comes last.
const action = (name, args, sent = args) => ({
  name, args: [...args, CB], async: true, result: false, sdk: { op: name, args: sent }, returns: undefined, fail: undefined,
});
// The controller getters hand out the wrappers made with the room context and never resolve.
const controller = (name, className) => ({ name, args: [], resolves: false, returns: instanceOf(className) });
const listener = (kind, op, role) => ({
  name: op, args: [role === 'add' ? LISTENER : ID], listener: role, kind, sdk: { op, args: [ADAPTER] },
  returns: role === 'add' ? isId : true, fail: role === 'add' ? -1 : false,
});

const uuids = (members) => JSON.stringify(members.map((m) => m.uuid));

module.exports = {
  className: 'IQVRoomContextWrap',
  make: (ctx) => join(ctx),
  // One message whichever link is missing.
  links: roomChain().map((link) => ({ ...link, message: 'IQVRoomContextWrap Null pointer exception' })),
  methods: [
    { name: 'getRoomUuid', args: [], sdk: { op: 'getRoomUuid', args: [] }, returns: (uuid, ctx) => uuid === ctx.uuid, fail: '' },
    getter('getRoomName', 'Hall 7', ''),
    getter('getPassword', 'pw-3', ''),
    getter('getSipCid', 'sip-9', ''),
    getter('getRtcStartTime', 2 ** 41, 0),
    getter('getRemainingSeconds', 90, 0),
    getter('getMaxMembers', 7, 0),
    reader('getRoomTemplate', (template) => Array.isArray(template.roles) && 'permissions' in template),
    getter('getRoomProperties', { topic: 'q3', seat: '4' }, null),
    reader('getLocalMember', (me) => me.name === 'Ann' && me.role.name === 'host'),
    reader('getRemoteMembers', (members) => uuids(members) === '["bob","cy"]'),
    reader('getInSIPInvitingMembers', (members) => uuids(members) === '[]'),
    reader('getInAppInvitingMembers', (members) => uuids(members) === '[]'),
    controller('getChatController', 'IQVRoomChatControllerWrap'),
    controller('getWaitingRoomChatController', 'IQVRoomChatControllerWrap'),
    controller('getRtcController', 'IQVRoomRtcControllerWrap'),
    controller('getWhiteboardController', 'IQVRoomWhiteboardControllerWrap'),
    controller('getAnnotationController', 'IQVRoomAnnotationControllerWrap'),
    controller('getLiveController', 'IQVRoomLiveControllerWrap'),
    action('changeMyName', ['Annie']),
    action('changeMemberName', ['bob', 'Robert']),
    action('changeMemberRole', ['bob', 'cohost']),
    // The SDK gets the roles ordered by user.
    { ...action('changeMembersRole', [{ cy: 'member', bob: 'cohost' }], [{ bob: 'cohost', cy: 'member' }]), objectArgs: [0] },
    action('handOverMyRole', ['bob', true]),
    action('kickMemberOut', ['cy', false]),
    listener('room', 'addRoomListener', 'add'),
    listener('room', 'removeRoomListener', 'remove'),
    listener('rtcStats', 'addRtcStatsListener', 'add'),
    listener('rtcStats', 'removeRtcStatsListener', 'remove'),
    action('leaveRoom', []),
    action('endRoom', []),
    action('lockRoom', []),
    action('unlockRoom', []),
    getter('isRoomLocked', true, false),
    getter('isCloudRecording', true, false),
    action('updateRoomProperty', ['topic', 'q3', 'bob']),
    action('deleteRoomProperty', ['topic']),
    action('updateMemberProperty', ['bob', 'hand', 'up']),
    action('deleteMemberProperty', ['bob', 'hand']),
    { ...action('startCloudRecord', [{ rtcRecordType: 2, modeList: [{ mode: 3 }] }], [{ rtcRecordType: 2, modeList: [3] }]),
      objectArgs: [0] },
    action('stopCloudRecord', []),
    controller('getWaitingRoomController', 'IQVWaitingRoomControllerWrap'),
    controller('getSIPController', 'IQVRoomSIPControllerWrap'),
    controller('getAppInviteController', 'IQVRoomAppInviteControllerWrap'),
    getter('isInWaitingRoom', true, false),
    getter('isRoomBlacklistEnabled', true, false),
    action('rejoinAfterAdmittedToRoom', []),
    action('enableRoomBlacklist', [true]),
  ],
};
