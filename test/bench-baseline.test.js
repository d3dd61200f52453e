'use strict';
// The C floors of bench/ must do the same work as the paths they are measured
// against, or the ratios mean nothing: the member event floor hands its function the
// same arguments a room listener gets for the same member.

const test = require('node:test');
const assert = require('node:assert/strict');
const path = require('node:path');
const { sim } = require('./helpers');
const { joined, listen, closeListeners } = require('./room-helpers');

test.afterEach(closeListeners);

const floor = () => require(path.join(__dirname, '..', 'build', 'Release', 'bench_baseline.node'));

const MEMBER = {
  uuid: 'floor-member-0001',
  name: 'Floor',
  avatar: 'https://avatars.parlo.sim/floor.png',
  role: { name: 'member', limit: 50, videoWidth: 1280, videoHeight: 720, videoFps: 30, audioProfile: 'speech',
    audioScenario: 'meeting', screenVideoProfile: 'hd', screenPreferMotion: false, screenPreferDetails: true },
  isAudioOn: true,
  isVideoOn: true,
  isSharingScreen: true,
  properties: { team: 'blue', seat: '12' },
  clientType: 2,
  inviteState: 1,
  inviteType: 2,
};

test('the member event floor hands over the record a room listener gets, key order included', async () => {
  const { ctx, uuid } = await joined();
  const heard = listen(ctx);
  sim().emit('room', 'onMemberJoinRoom', [[MEMBER]], { room: uuid });
  const fromModule = await heard.next('onMemberJoinRoom');
  heard.remove();

  const fromFloor = await new Promise((resolve) => {
    const calls = [];
    floor().memberEvents(2, MEMBER, (...args) => {
      calls.push(args);
      if (calls.length === 2) resolve(calls);
    });
  });
  for (const args of fromFloor) {
    assert.deepEqual(args, fromModule);
    assert.deepEqual(Object.keys(args[1][0]), Object.keys(fromModule[1][0]));
    assert.deepEqual(Object.keys(args[1][0].role.params.screen), Object.keys(fromModule[1][0].role.params.screen));
  }
});

test('the call floors call their function once per call, with a completion\'s arguments for a round trip', async () => {
  const f = floor();
  assert.equal(f.noop(), undefined);
  const bare = await new Promise((resolve) => {
    let n = 0;
    f.threadSafeCalls(3, (...args) => {
      assert.deepEqual(args, []);
      if (++n === 3) resolve(n);
    });
  });
  assert.equal(bare, 3);
  const trips = await Promise.all([1, 2, 3].map(() => new Promise((resolve) => f.roundTrip((...args) => resolve(args)))));
  assert.deepEqual(trips, [[0, ''], [0, ''], [0, '']]);
});
