'use strict';
// A joined room's waiting room: admitting, expelling and listening to waiting members.

const { CB, LISTENER, ID, ADAPTER, isId, controllerOf, bare, roomChain } = require('./common');

/** The room's waiting room, with Gus and Gil waiting in it. */
async function make(ctx) {
  const waiting = await controllerOf('getWaitingRoomController')(ctx);
  ctx.sim.waitingRoom.arrive(ctx.uuid, [{ uuid: 'gus', name: 'Gus', joinTime: 100 }, { uuid: 'gil', name: 'Gil', joinTime: 200 }]);
  return waiting;
}

const action = (name, args, sent = args, objectArgs = []) => ({
  name, args: [...args, CB], async: true, result: false, sdk: { op: name, args: sent }, returns: undefined, objectArgs,
});
const listener = (op, role) => ({
  name: op, args: [role === 'add' ? LISTENER : ID], listener: role, kind: 'waitingRoom', sdk: { op, args: [ADAPTER] },
  returns: role === 'add' ? isId : true, fail: role === 'add' ? -1 : false,
});

const INFO = { roomUuid: 'w-1', logo: 'logo.png', backgroundImageUrl: 'bg.png', memberCount: 3, isEnabledOnEntry: true };

module.exports = {
  className: 'IQVWaitingRoomControllerWrap',
  make,
  links: bare(roomChain('waitingRoomController')),
  methods: [
    { name: 'getWaitingRoomInfo', args: [], sdk: { op: 'getWaitingRoomInfo', args: [] },
      answer: { ret: { ...INFO, chatroomId: 42 } }, returns: { ...INFO, chatroomID: 42 }, fail: null },
    { name: 'isWaitingRoomEnabledOnEntry', args: [], sdk: { op: 'isWaitingRoomEnabledOnEntry', args: [] },
      answer: { ret: true }, returns: true, fail: false },
    // From join time 150 on: Gil only.
    { name: 'getMemberList', args: [150, 10, 0, CB], async: true, sdk: { op: 'getMemberList', args: [150, 10, 0] },
      returns: undefined, result: [{ uuid: 'gil', joinTime: 200, status: 0, avatar: '', name: 'Gil' }] },
    listener('addListener', 'add'),
    listener('removeListener', 'remove'),
    action('changeMemberName', ['gus', 'Gustav']),
    action('enableWaitingRoomOnEntry', []),
    // Coerced: 1 is true, 0 false; people are named by strings coerced as script would.
    action('disableWaitingRoomOnEntry', [1], [true]),
    action('admitMember', ['gus', false], ['gus', false], [0]),
    action('expelMember', ['gil', 1], ['gil', true], [0]),
    action('putInWaitingRoom', ['bob'], ['bob'], [0]),
    action('expelAllMembers', [0], [false]),
    action('admitAllMembers', []),
    { name: 'getWaitingRoomManagerList', args: [CB], async: true, sdk: { op: 'getWaitingRoomManagerList', args: [] },
      returns: undefined,
      result: (managers) => managers.length === 1 && Object.keys(managers[0]).join() === 'uuid,role,avatar,name' &&
        managers[0].name === 'Ann' && managers[0].role.name === 'host' },
  ],
};
