'use strict';
// The simulated SDK as an app's own tests script it: scripts it cannot carry out are
// refused to the script that gave them, and nothing it is told stops the process.

const test = require('node:test');
const assert = require('node:assert/strict');
const { brimo, sim, runChild, nextCall } = require('./helpers');
const { settle, joined, listen, closeListeners } = require('./room-helpers');

test.afterEach(closeListeners);

test('answers and events that cannot be carried out are refused when scripted', () => {
  const s = sim();
  s.reset();
  for (const [answer, message] of [
    [{ mode: 'later' }, /mode must be 'async', 'sync', 'held', 'twice' or 'never', not 'later'/],
    [{ times: 0 }, /times must be at least 1, or -1/],
    [{ times: -2 }, /times must be at least 1, or -1/],
    [{ delayMs: 3e9 }, /delayMs must be 0 to a day/],
  ]) {
    assert.throws(() => s.answer('uploadLog', answer), message, JSON.stringify(answer));
  }
  for (const [options, message] of [
    [{ repeat: 0 }, /repeat must be 1 to 1000000/],
    [{ repeat: 2e9 }, /repeat must be 1 to 1000000/],
    [{ mode: 'hold' }, /mode must be 'async' or 'sync'/],
  ]) {
    assert.throws(() => s.emit('auth', 'onAuthEvent', [1], options), message, JSON.stringify(options));
  }
  assert.deepEqual(s.journal(), [], 'nothing reached the SDK');
});

test('a scripted result or return value of the wrong type fails the call, not the process', async () => {
  const s = sim();
  s.reset();
  const kit = new (brimo().IQVParloWrap)();
  const misread = s.counters().answersMisread ?? 0;
  s.answer('getNetworkType', { ret: 'three' });
  assert.equal(kit.getNetworkType(), 1, 'the default return value');
  assert.equal(s.counters().answersMisread, misread + 1);
  s.answer('uploadLog', { result: 5 });
  const { callback, promise } = nextCall();
  kit.uploadLog(callback);
  const [code, message, url] = (await promise).args;
  assert.equal(code, 400);
  assert.match(message, /^scripted result does not read/);
  assert.equal(typeof url, 'string');
});

test('a member change that cannot be made leaves the member as it was', async () => {
  const { s, ctx, uuid } = await joined();
  const heard = listen(ctx);
  s.rooms.addMember(uuid, { uuid: 'bob', name: 'Bob', role: 'member' });
  await heard.next('onMemberJoinRoom');
  assert.throws(() => s.rooms.updateMember(uuid, 'bob', { isAudioOn: true }, { by: 'nobody' }), /no member nobody/);
  assert.throws(() => s.rooms.updateMember(uuid, 'bob', { isVideoOn: true, properties: 5 }));
  const [bob] = ctx.getRemoteMembers();
  assert.deepEqual([bob.isAudioOn, bob.isVideoOn], [false, false]);
  heard.remove();
  await settle((cb) => ctx.leaveRoom(cb));
});

test('stopping a slow generator does not wait for its next frame; a worker cannot load the simulation the main thread has', () => {
  const { lines, status, stderr } = runChild(`
    const id = sim.frames.start({ room: 'none', users: 1, width: 64, height: 36, fps: 0.01 });
    setTimeout(() => {
      const began = Date.now();
      sim.frames.stop(id);
      console.log('stopped within a second', Date.now() - began < 1000);
      const { Worker } = require('node:worker_threads');
      const worker = new Worker("try { require(" + JSON.stringify(${JSON.stringify(require.resolve('../sim'))}) + "); }" +
        " catch (e) { require('node:worker_threads').parentPort.postMessage(e.message); }", { eval: true });
      worker.once('message', (m) => { console.log('worker:', m); worker.terminate(); });
    }, 50);
  `, { timeout: 20000 });
  assert.equal(status, 0, stderr);
  assert.deepEqual(lines.filter((l) => /^(stopped|worker)/.test(l)), [
    'stopped within a second true',
    'worker: brimo/sim is in use by another thread of this process; it can be loaded once that thread has ended',
  ]);
});
