'use strict';
// The simulated SDK's quiet path: with its journal off and nothing scripted, calls
// answer its defaults without its lock; anything scripted, and the journal switched
// back on, takes the full path again. Bursts of an event decode their arguments once
// and still reach each listener complete, in order, as separate records.

const test = require('node:test');
const assert = require('node:assert/strict');
const { brimo, sim, nextCall } = require('./helpers');
const { joined, listen, closeListeners, settle } = require('./room-helpers');

test.afterEach(() => {
  sim().setJournaling(true);
  return closeListeners();
});

const MEMBER = {
  uuid: 'fast-path-member-0001',
  name: 'Fast Path',
  avatar: 'https://avatars.parlo.sim/fast.png',
  role: { name: 'member', limit: 9, videoWidth: 640, videoHeight: 360, videoFps: 15, audioProfile: 'speech',
    audioScenario: 'meeting', screenVideoProfile: 'hd', screenPreferMotion: true, screenPreferDetails: false },
  isAudioOn: true,
  properties: { team: 'red', ['__proto__']: 'kept' },
  clientType: 3,
};

test('with the journal off nothing is recorded, and switching it back on records again', () => {
  const s = sim();
  s.reset();
  const kit = new (brimo().IQVParloWrap)();
  s.setJournaling(false);
  assert.equal(kit.getNetworkType(), 1, 'the default answer');
  assert.deepEqual(s.journal(), []);
  s.setJournaling(true);
  assert.equal(kit.getNetworkType(), 1);
  assert.deepEqual(s.journal(), [{ op: 'getNetworkType', args: [] }], 'an operation without arguments journals []');
});

test('answers scripted while the journal is off are served, as many times as scripted', () => {
  const s = sim();
  s.reset();
  const kit = new (brimo().IQVParloWrap)();
  s.setJournaling(false);
  s.answer('getNetworkType', { ret: 3, times: 2 });
  assert.deepEqual([kit.getNetworkType(), kit.getNetworkType(), kit.getNetworkType()], [3, 3, 1]);
  s.answer('getNetworkType', { ret: 4 });
  assert.equal(kit.getNetworkType(), 4);
  assert.equal(kit.getNetworkType(), 1, 'once served, the default again');
  assert.deepEqual(s.journal(), []);
});

test('an asynchronous answer scripted while the journal is off reaches the callback', async () => {
  const s = sim();
  s.reset();
  const kit = new (brimo().IQVParloWrap)();
  s.setJournaling(false);
  s.answer('uploadLog', { code: 7, message: 'scripted', result: 'u' });
  const { callback, promise } = nextCall();
  kit.uploadLog(callback);
  assert.deepEqual((await promise).args, [7, 'scripted', 'u']);
  const [code, , url] = await settle((cb) => kit.uploadLog(cb));
  assert.equal(code, 0);
  assert.match(url, /^https:/);
});

test('a link removed while the journal is off is missing, and present again after a reset', async () => {
  const { s, kit, ctx, uuid } = await joined();
  s.setJournaling(false);
  assert.equal(ctx.isRoomLocked(), false);
  s.rooms.setLink(uuid, 'roomContext', false);
  assert.throws(() => ctx.isRoomLocked(), /IQVRoomContextWrap Null pointer exception/);
  s.setLink('kit', false);
  assert.throws(() => kit.getNetworkType(), /Null pointer exception/);
  s.reset();
  s.setJournaling(false);
  assert.equal(ctx.isRoomLocked(), false);
});

test('a burst of one event reaches every listener complete and in order, between the events around it', async () => {
  const { s, ctx, uuid } = await joined();
  const first = listen(ctx);
  const second = listen(ctx);
  s.setJournaling(false);
  s.emit('room', 'onRoomLockStateChanged', [true], { room: uuid });
  s.emit('room', 'onMemberJoinRoom', [[MEMBER]], { room: uuid, repeat: 300 });
  s.emit('room', 'onRoomLockStateChanged', [false], { room: uuid });
  for (const heard of [first, second]) {
    await heard.next('onRoomLockStateChanged');
    await heard.next('onRoomLockStateChanged');
    const names = heard.calls.map((c) => c[0]);
    assert.equal(names.length, 302);
    assert.equal(names[0], 'onRoomLockStateChanged');
    assert.equal(names[301], 'onRoomLockStateChanged');
    assert.deepEqual(heard.calls.map((c) => c[1]).filter((x) => typeof x === 'boolean'), [true, false]);
    const members = heard.calls.slice(1, 301);
    assert.ok(members.every((c) => c[0] === 'onMemberJoinRoom' && c[1].length === 1));
    const [record] = members[0][1];
    assert.equal(record.uuid, MEMBER.uuid);
    assert.deepEqual(record.role, {
      name: 'member', limit: 9, params: { video: { width: 640, height: 360, fps: 15 },
        audio: { profile: 'speech', scenario: 'meeting' }, screen: { videoProfile: 'hd', preferMotionFPS: 1, preferDetailsFPS: 0 } },
    });
    assert.equal(Object.getOwnPropertyDescriptor(record.properties, '__proto__').value, 'kept');
    for (const c of members) assert.deepEqual(c[1], members[0][1]);
    // Each delivery is a record of its own: changing one changes no other.
    members[0][1][0].name = 'changed by script';
    assert.equal(members[1][1][0].name, 'Fast Path');
  }
  first.remove();
  second.remove();
});

test('a burst of an event with two forms keeps the form its arguments read as', async () => {
  const { s, ctx, uuid } = await joined();
  const heard = listen(ctx);
  s.emit('room', 'onLocalAudioVolumeIndication', [40, true], { room: uuid, repeat: 3 });
  s.emit('room', 'onLocalAudioVolumeIndication', [41], { room: uuid, repeat: 2 });
  await heard.next('onLocalAudioVolumeIndication');
  while (heard.calls.length < 5) await heard.next('onLocalAudioVolumeIndication');
  assert.deepEqual(heard.calls, [
    ['onLocalAudioVolumeIndication', 40, true], ['onLocalAudioVolumeIndication', 40, true],
    ['onLocalAudioVolumeIndication', 40, true], ['onLocalAudioVolumeIndication', 41], ['onLocalAudioVolumeIndication', 41],
  ]);
  heard.remove();
});

test("the SDK's own loops run the module's calls natively and reach no script listener", async () => {
  const { s, ctx, uuid } = await joined();
  const heard = listen(ctx);
  s.setJournaling(false);
  const events = s.control('sdkLoop', { loop: 'roomEvent', room: uuid, args: [[MEMBER]], n: 50 });
  assert.equal(events.reached, 50, 'the native sink heard every member');
  assert.ok(events.ns > 0);
  assert.equal(s.control('sdkLoop', { loop: 'getNetworkType', n: 10 }).reached, 10);
  assert.equal(s.control('sdkLoop', { loop: 'isRoomLocked', room: uuid, n: 10 }).reached, 10);
  const completions = s.control('sdkLoop', { loop: 'uploadLog', n: 20 });
  assert.equal(completions.reached, 20);
  assert.ok(completions.callNs > 0 && completions.callNs <= completions.ns, 'the calls are part of the round trip');
  assert.equal(s.control('sdkLoop', { loop: 'uploadLogSerial', n: 5 }).reached, 5);
  assert.throws(() => s.control('sdkLoop', { loop: 'nothing' }), /no loop nothing/);
  assert.throws(() => s.control('sdkLoop', { loop: 'getNetworkType', n: 0 }), /n must be/);
  // The room's own listener heard none of it: a completion after the loops arrives first.
  await settle((cb) => new (brimo().IQVParloWrap)().uploadLog(cb));
  assert.deepEqual(heard.calls, []);
  heard.remove();
});
