'use strict';
// SIP and in-app invitations: invitees in the room's inviting lists, who join or
// decline, calls cancelled, removed and hung up, and what each controller receives.

const { test, afterEach } = require('node:test');
const assert = require('node:assert/strict');
const { settle, joined, listen, closeListeners } = require('./room-helpers');
const { waitUntil } = require('./helpers');

afterEach(closeListeners);

const uuids = (members) => members.map((m) => m.uuid);
/** [uuid, inviteState] of a room's inviting list, as the SDK hands it to script. */
const inviting = (ctx, getter) => ctx[getter]().map((m) => [m.uuid, m.inviteState]);

test('an invitee who declines stays in the inviting list until the call is removed; the room hears each step', async () => {
  const { s, uuid, ctx } = await joined();
  const room = listen(ctx);
  const sip = ctx.getSIPController();
  const me = ctx.getLocalMember().uuid;
  assert.deepEqual(await settle((cb) => sip.callByUserUuid('dan', cb)), [0, '']);
  const [, called, by] = await room.next('onMemberSIPInviteStateChanged');
  assert.deepEqual([called.uuid, called.isInSipInviting, called.inviteType, called.inviteState, by.uuid], ['dan', true, 1, 1, me]);
  assert.deepEqual(inviting(ctx, 'getInSIPInvitingMembers'), [['dan', 1]]);
  assert.deepEqual(uuids(s.rooms.get(uuid).sipInvitingMembers), ['dan']);

  s.invites.decline(uuid, 'dan');
  const [, declined, decliner] = await room.next('onMemberSIPInviteStateChanged');
  assert.deepEqual([declined.inviteState, declined.isInSipInviting, decliner.uuid], [2, true, 'dan']);
  assert.deepEqual(inviting(ctx, 'getInSIPInvitingMembers'), [['dan', 2]]);
  assert.throws(() => s.invites.accept(uuid, 'dan'), /dan is not being called/);
  assert.throws(() => s.invites.decline(uuid, 'zed'), /nobody calls zed/);

  assert.deepEqual(await settle((cb) => sip.removeCall('dan', cb)), [0, '']);
  const [, removed] = await room.next('onMemberSIPInviteStateChanged');
  assert.deepEqual([removed.uuid, removed.isInSipInviting, removed.inviteState], ['dan', false, 2]);
  assert.deepEqual(ctx.getInSIPInvitingMembers(), []);
  assert.deepEqual(await settle((cb) => sip.removeCall('dan', cb)), [404, 'no call of dan']);
  assert.equal(uuids(ctx.getRemoteMembers()).includes('dan'), false, 'never joined');
  room.remove();
});

test('an in-app invitee who accepts leaves the inviting list and joins the room', async () => {
  const { s, uuid, ctx } = await joined();
  const room = listen(ctx);
  const app = ctx.getAppInviteController();
  assert.deepEqual(await settle((cb) => app.callByUserUuids(['eve', 'fay'], cb)), [0, '']);
  assert.deepEqual(inviting(ctx, 'getInAppInvitingMembers'), [['eve', 1], ['fay', 1]]);
  assert.deepEqual(ctx.getInSIPInvitingMembers(), [], 'the SIP list is another');
  s.invites.accept(uuid, 'eve');
  const events = [];
  for (const name of ['onMemberAppInviteStateChanged', 'onMemberAppInviteStateChanged', 'onMemberAppInviteStateChanged', 'onMemberJoinRoom']) {
    events.push(await room.next(name));
  }
  const [, accepted, by] = events[2];
  assert.deepEqual([accepted.uuid, accepted.isInAppInviting, accepted.inviteState, accepted.inviteType, by.uuid], ['eve', false, 0, 2, 'eve']);
  assert.deepEqual(uuids(events[3][1]), ['eve']);
  assert.equal(room.calls.findIndex((c) => c === events[3]) > room.calls.findIndex((c) => c === events[2]), true, 'invite state, then the join');
  assert.deepEqual(inviting(ctx, 'getInAppInvitingMembers'), [['fay', 1]]);
  assert.deepEqual(uuids(ctx.getRemoteMembers()), ['eve']);

  // Calling a member of the room fails, and calls nobody else of the list either.
  assert.deepEqual(await settle((cb) => app.callByUserUuids(['gus', 'eve'], cb)), [409, 'eve is in the room already']);
  assert.deepEqual(inviting(ctx, 'getInAppInvitingMembers'), [['fay', 1]]);
  assert.deepEqual(await settle((cb) => app.cancelCall('fay', cb)), [0, '']);
  assert.deepEqual(inviting(ctx, 'getInAppInvitingMembers'), [['fay', 3]]);
  assert.throws(() => s.invites.accept(uuid, 'fay'), /not being called/);
  // Calling again rings again.
  await settle((cb) => app.callByUserUuid('fay', cb));
  assert.deepEqual(inviting(ctx, 'getInAppInvitingMembers'), [['fay', 1]]);
  assert.deepEqual(await settle((cb) => app.cancelCall('nobody', cb)), [404, 'no call of nobody']);
  room.remove();
});

test('number and room-system calls: the callee they make, a repeated call, the device\'s defaults', async () => {
  const { s, ctx } = await joined();
  const sip = ctx.getSIPController();
  const first = await settle((cb) => sip.callByNumber('5550100', '+1', 'Hal', cb));
  assert.deepEqual(first, [0, '', { userUuid: 'sip-+15550100', name: 'Hal', isRepeatedCall: false }]);
  assert.equal(JSON.stringify(first[2]), '{"userUuid":"sip-+15550100","name":"Hal","isRepeatedCall":false}', 'key order');
  const again = await settle((cb) => sip.callByNumber('5550100', '+1', '', cb));
  assert.deepEqual(again[2], { userUuid: 'sip-+15550100', name: 'Hal', isRepeatedCall: true });
  assert.deepEqual(s.journal('callByNumber').map((e) => e.args), [['5550100', '+1', 'Hal'], ['5550100', '+1', '']]);

  const system = await settle((cb) => sip.callOutRoomSystem({}, cb));
  assert.deepEqual(s.journal('callOutRoomSystem').at(-1).args, [{ protocol: 1, deviceAddress: '', name: '' }]);
  assert.deepEqual(system[2], { userUuid: 'sip-room-', name: '', isRepeatedCall: false });
  await settle((cb) => sip.callOutRoomSystem(Object.create({ protocol: 2, name: 'Hall B', deviceAddress: '10.1.1.9' }), cb));
  assert.deepEqual(s.journal('callOutRoomSystem').at(-1).args, [{ protocol: 2, deviceAddress: '10.1.1.9', name: 'Hall B' }]);
  // A scripted result replaces the SDK's own, a failure keeps the record's shape.
  s.answer('callByNumber', { code: 3, message: 'busy', result: { userUuid: 'x', name: 'y', isRepeatedCall: true } });
  assert.deepEqual(await settle((cb) => sip.callByNumber('1', '', '', cb)), [3, 'busy', { userUuid: 'x', name: 'y', isRepeatedCall: true }]);
  assert.deepEqual(inviting(ctx, 'getInSIPInvitingMembers'), [['sip-+15550100', 1], ['sip-room-', 1], ['sip-room-10.1.1.9', 1]]);
});

test('hanging up: a call still ringing ends, a member who joined by SIP leaves', async () => {
  const { s, uuid, ctx } = await joined();
  const room = listen(ctx);
  const sip = ctx.getSIPController();
  await settle((cb) => sip.callByUserUuids(['dan', 'eve'], cb));
  s.invites.accept(uuid, 'dan');
  await room.next('onMemberJoinRoom');
  assert.deepEqual(await settle((cb) => sip.hangUpCall('eve', cb)), [0, '']);
  assert.deepEqual(ctx.getInSIPInvitingMembers(), []);
  assert.deepEqual(await settle((cb) => sip.hangUpCall('dan', cb)), [0, '']);
  const [, left] = await room.next('onMemberLeaveRoom');
  assert.deepEqual(uuids(left), ['dan']);
  assert.deepEqual(await settle((cb) => sip.hangUpCall('dan', cb)), [404, 'no call of dan']);
  // Someone who joined otherwise is not the SIP controller's to hang up.
  s.rooms.addMember(uuid, { uuid: 'bob' });
  assert.deepEqual(await settle((cb) => sip.hangUpCall('bob', cb)), [404, 'no call of bob']);
  room.remove();
});

test('the SIP and in-app controllers of one room are two: one call, two operations told apart by interface', async () => {
  const { s, ctx } = await joined();
  await settle((cb) => ctx.getSIPController().callByUserUuid('dan', cb));
  await settle((cb) => ctx.getAppInviteController().callByUserUuid('dan', cb));
  assert.deepEqual(s.journal('callByUserUuid').map((e) => [e.interface, e.args]),
    [['IQVRoomSIPController', ['dan']], ['IQVRoomAppInviteController', ['dan']]]);
  assert.deepEqual(uuids(ctx.getInSIPInvitingMembers()), ['dan']);
  assert.deepEqual(uuids(ctx.getInAppInvitingMembers()), ['dan']);
  // An answer for one interface's operation leaves the other's alone.
  s.answer('IQVRoomAppInviteController.removeCall', { code: 5, message: 'no' });
  assert.deepEqual(await settle((cb) => ctx.getSIPController().removeCall('dan', cb)), [0, '']);
  assert.deepEqual(await settle((cb) => ctx.getAppInviteController().removeCall('dan', cb)), [5, 'no']);
});

test('lists: an empty one passes an empty list; something else throws and the SDK is handed an empty list', async () => {
  const { s, ctx } = await joined();
  for (const getter of ['getSIPController', 'getAppInviteController']) {
    const controller = ctx[getter]();
    assert.deepEqual(await settle((cb) => controller.callByUserUuids([], cb)), [0, '']);
    assert.deepEqual(s.journal('callByUserUuids').at(-1).args, [[]], getter);
    s.clearJournal();
    assert.throws(() => controller.callByUserUuids('dan', () => {}), /array/i, getter);
    assert.deepEqual(s.journal('callByUserUuids').map((e) => e.args), [[[]]], `${getter}: the call proceeds`);
  }
});

test('SIP methods read their arguments before they find the controller, in-app methods after', async () => {
  const { s, uuid, ctx } = await joined();
  s.rooms.setLink(uuid, 'roomContext', false);
  // Both fail, but which error is first tells the order.
  assert.throws(() => ctx.getSIPController().callByUserUuid(42, () => assert.fail('called back')), (e) => e.message !== 'Null pointer exception');
  assert.throws(() => ctx.getAppInviteController().callByUserUuid(42, () => assert.fail('called back')), { name: 'TypeError', message: 'Null pointer exception' });
  assert.deepEqual(s.journal('callByUserUuid'), []);
  s.reset();
});

test('a call of as many people as a list may hold, some of them twice, invites each once and raises one event per callee', async () => {
  const { uuid, ctx, s } = await joined();
  const room = listen(ctx);
  const app = ctx.getAppInviteController();
  assert.deepEqual(await settle((cb) => app.callByUserUuids(['ann-2', 'ann-1'], cb)), [0, '']);
  // 100,000 callees (the module's limit for a list): 50,000 people, each called twice,
  // two of them already being called.
  const callees = Array.from({ length: 100000 }, (_, i) => `ann-${i % 50000}`);
  assert.deepEqual(await settle((cb) => app.callByUserUuids(callees, cb), 60000), [0, '']);
  const list = s.rooms.get(uuid).appInvitingMembers;
  assert.equal(list.length, 50000);
  assert.deepEqual(list.slice(0, 3).map((m) => [m.uuid, m.inviteState, m.isInAppInviting]), [['ann-2', 1, true], ['ann-1', 1, true], ['ann-0', 1, true]]);
  assert.equal(new Set(list.map((m) => m.uuid)).size, 50000, 'nobody is listed twice');
  assert.equal(ctx.getInAppInvitingMembers().length, 50000);
  const invitedEvents = () => room.calls.filter((c) => c[0] === 'onMemberAppInviteStateChanged');
  await waitUntil(() => invitedEvents().length >= 2 + 100000, { timeoutMs: 60000, what: 'the invite events' });
  const invited = invitedEvents();
  assert.equal(invited.length, 2 + 100000, 'one event per callee, in the order called');
  assert.deepEqual(invited.slice(2, 4).map((c) => c[1].uuid).concat(invited.at(-1)[1].uuid), ['ann-0', 'ann-1', 'ann-49999']);
  room.remove();
});
