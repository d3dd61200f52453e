'use strict';
// Faults of the SDK and of script, injected through the simulated SDK: completions
// invoked twice or never, completions and events after the kit was released or the
// room left, events racing a removal, frames racing a stop, throwing listeners and
// an exit in the middle of a burst. Nothing crashes, nothing is left holding the
// process, and later calls still work.

const test = require('node:test');
const assert = require('node:assert/strict');
const { brimo, sim, runChild, nextCall, waitUntil, settled, collect } = require('./helpers');
const { joined, settle, listen } = require('./room-helpers');

test('a completion the SDK invokes twice calls back once, with the first result, and lets the process exit', () => {
  const { lines, status, stderr, signal } = runChild(`
    sim.answer('uploadLog', { mode: 'twice', result: 'https://logs/first', times: 3 });
    const kit = new brimo.IQVParloWrap();
    const calls = [];
    for (let i = 0; i < 3; i++) kit.uploadLog((...args) => calls.push([i, ...args]));
    // A later call's answer comes after the three doubled ones on the SDK thread; a
    // second delivery on the same carrier would run in the same turn as the first.
    kit.uploadLog(() => setImmediate(() => setImmediate(() => {
      console.log('calls', JSON.stringify(calls.sort()));
      console.log('bridge', JSON.stringify(sim.bridgeStats()));
    })));
  `);
  assert.equal(signal, null, 'the process ended on its own');
  assert.equal(status, 0, stderr);
  assert.deepEqual(lines.filter((l) => /^(calls|bridge)/.test(l)), [
    'calls [[0,0,"","https://logs/first"],[1,0,"","https://logs/first"],[2,0,"","https://logs/first"]]',
    'bridge {"adapters":0,"calls":0}',
  ]);
});

test('a completion the SDK lets go of without invoking it never calls back and does not keep the process alive', () => {
  const { lines, status, stderr, signal } = runChild(`
    sim.answer('login', { mode: 'never' });
    const kit = new brimo.IQVParloWrap();
    kit.getAuthService().login('ann', 'token', () => console.log('called back'));
    console.log('dropped', sim.counters().completionsDropped, 'held by the SDK', sim.bridgeStats().calls);
    kit.uploadLog((code) => console.log('later call', code));
  `);
  assert.equal(signal, null, 'the process ended on its own');
  assert.equal(status, 0, stderr);
  assert.deepEqual(lines.filter((l) => /^(dropped|called|later)/.test(l)), ['dropped 1 held by the SDK 0', 'later call 0']);
});

test('completions and events that arrive after the kit was released still reach script; a new kit works', async () => {
  const s = sim();
  s.reset();
  const destroyed = s.counters().destroyCalls || 0;
  s.answer('uploadLog', { mode: 'held', result: 'https://logs/late' });
  let kit = new (brimo().IQVParloWrap)();
  const auth = kit.getAuthService();
  const heard = [];
  const id = auth.addAuthListener((...args) => heard.push(args));
  const late = nextCall();
  kit.uploadLog(late.callback);
  const gone = new WeakRef(kit);
  kit = null;
  assert.ok(await collect(gone), 'the kit wrapper was collected');
  assert.ok(s.counters().destroyCalls > destroyed, 'the SDK was destroyed');
  assert.equal(s.bridgeStats().calls, 1, 'the SDK still holds the call');
  assert.equal(s.releaseHeld(), 1);
  assert.deepEqual((await late.promise).args, [0, '', 'https://logs/late']);
  s.emit('auth', 'onAuthEvent', [9]);
  await waitUntil(() => heard.length === 1, { what: 'the late event' });
  assert.deepEqual(heard, [['onAuthEvent', 9]]);
  // The auth wrapper finds the SDK's new kit; the registration goes with it.
  assert.equal(auth.removeAuthListener(id), true);
  const fresh = new (brimo().IQVParloWrap)();
  assert.deepEqual((await settle((cb) => fresh.uploadLog(cb))).slice(0, 2), [0, '']);
  assert.deepEqual(s.bridgeStats(), { calls: 0, adapters: 0 });
});

test('events and completions that arrive after the room was left reach script; the room can be joined again', async () => {
  const room = await joined();
  const heard = listen(room.ctx);
  const rtc = room.ctx.getRtcController();
  room.s.answer('muteMyAudio', { mode: 'held' });
  const muted = nextCall();
  rtc.muteMyAudio(muted.callback);
  // A burst raised on the SDK thread just before the leave: script sees the leave's
  // answer and the burst in any order, and every event of the burst.
  room.s.emit('room', 'onRoomLockStateChanged', [true], { room: room.uuid, repeat: 500 });
  assert.deepEqual((await settle((cb) => room.ctx.leaveRoom(cb))).slice(0, 1), [0]);
  await waitUntil(() => heard.calls.filter(([e]) => e === 'onRoomLockStateChanged').length === 500, { what: 'the burst' });
  assert.equal(room.s.releaseHeld(), 1);
  assert.deepEqual((await muted.promise).args.slice(0, 1), [0]);
  // Gone with its room: the removal answers false and no longer keeps the process alive.
  assert.equal(heard.remove(), false);
  const again = await settle((cb) => room.rooms.joinRoom({ roomUuid: room.uuid, userName: 'Ann' }, {}, cb));
  assert.equal(again[0], 0);
  const calls = heard.calls.length;
  assert.equal(again[2].removeRoomListener(heard.id), true, 'the kept registration is removed after the rejoin');
  await settle((cb) => again[2].leaveRoom(cb));
  await settled(room.kit);
  assert.equal(heard.calls.length, calls, 'nothing more reached the removed listener');
});

test('events raised on a listener while it is being removed: every call the SDK made reaches script once, none after', async () => {
  const s = sim();
  s.reset();
  const kit = new (brimo().IQVParloWrap)();
  const auth = kit.getAuthService();
  for (let round = 0; round < 5; round++) {
    const seen = [];
    const id = auth.addAuthListener((event, n) => seen.push(n));
    const before = s.counters().listenerCalls || 0;
    s.emit('auth', 'onAuthEvent', [round], { repeat: 20000 });
    await waitUntil(() => seen.length > 0, { what: 'the burst to start' });
    assert.equal(auth.removeAuthListener(id), true);
    assert.equal(s.listeners('auth'), 0);
    // Once the SDK thread has finished the burst, it says how often it called the
    // listener: each of those calls reaches script once, also after the removal.
    await settled(kit);
    const reached = s.counters().listenerCalls - before;
    assert.ok(reached >= 1 && reached <= 20000, `round ${round}: ${reached} calls`);
    await waitUntil(() => seen.length >= reached, { what: 'the calls made before the removal' });
    assert.equal(s.emit('auth', 'onAuthEvent', [99]), 0, 'nobody is registered');
    await settled(kit);
    assert.equal(seen.length, reached);
    assert.ok(seen.every((n) => n === round));
  }
  assert.equal(s.bridgeStats().adapters, 0);
});

test('a frame producer racing stopListenVideoFrame leaves no frame held and every delivered frame whole', async () => {
  const { s, kit, ctx, uuid } = await joined();
  const frameListener = listen(ctx);
  const width = 64;
  const height = 36;
  const id = s.frames.start({ room: uuid, users: 4, width, height, fps: 0, threads: 4 });
  const bytes = new Uint8Array(width * height * 3 / 2);
  const request = (user) => ({ frame: { userUuid: user, bSubVideo: false, buffer: { bytes } } });
  let delivered = 0;
  const poll = () => {
    for (let u = 1; u <= 4; u++) {
      const r = request(`sim-user-${u}`);
      kit.getVideoFrame([r]);
      if (r.code !== 0) continue;
      delivered++;
      const pattern = s.frames.inspect(bytes, width, height);
      assert.ok(pattern && pattern.whole && pattern.user === u, 'a whole frame of its own user');
    }
  };
  for (let i = 0; i < 100; i++) {
    kit.startListenVideoFrame();
    const before = delivered;
    await waitUntil(() => { poll(); return delivered > before; }, { what: 'a frame after the start' });
    kit.stopListenVideoFrame();
    poll();
  }
  s.frames.stop(id);
  // A frame stored just after a stop is released by the next poll that does not ask for it.
  kit.getVideoFrame([request('nobody')]);
  assert.equal(s.frames.hubStats().held, 0);
  assert.ok(delivered > 0, 'frames were delivered between the stops');
  // Later frames still arrive.
  kit.startListenVideoFrame();
  s.frames.push({ room: uuid, user: 'late', width, height, mode: 'sync' });
  const late = request('late');
  kit.getVideoFrame([late]);
  kit.stopListenVideoFrame();
  assert.equal(late.code, 0);
  assert.equal(frameListener.remove(), true);
  await settle((cb) => ctx.leaveRoom(cb));
});

test('listeners and callbacks that throw during a burst: every event and completion still arrives', () => {
  const { lines, status, stderr, signal } = runChild(`
    let thrown = 0;
    process.on('uncaughtException', () => { thrown++; });
    const kit = new brimo.IQVParloWrap();
    const auth = kit.getAuthService();
    let events = 0;
    const id = auth.addAuthListener(() => { if (++events % 10 === 0) throw new Error('listener'); });
    sim.emit('auth', 'onAuthEvent', [1], { repeat: 1000 });
    let completions = 0;
    for (let i = 0; i < 100; i++) kit.uploadLog(() => { if (++completions % 2 === 0) throw new Error('callback'); });
    const check = () => {
      if (events < 1000 || completions < 100) return setImmediate(check);
      auth.removeAuthListener(id);
      kit.uploadLog((code) => console.log('after', events, completions, thrown, 'a later call', code));
    };
    check();
  `);
  assert.equal(signal, null, 'the process ended on its own');
  assert.equal(status, 0, stderr);
  assert.ok(lines.includes('after 1000 100 150 a later call 0'), lines.join('\n'));
});

test('process.exit() in the middle of a burst of events, frames and completions ends the process cleanly', () => {
  for (const where of ['listener', 'callback']) {
    const { lines, status, signal, stderr } = runChild(`
      const kit = new brimo.IQVParloWrap();
      kit.getRoomService().joinRoom({ roomUuid: 'exit', userName: 'Ann' }, {}, (code, message, room) => {
        kit.startListenVideoFrame();
        sim.frames.start({ room: 'exit', users: 4, width: 64, height: 36, fps: 0, threads: 2 });
        sim.answer('uploadLog', { mode: 'held' });
        kit.uploadLog(() => {});
        let events = 0;
        room.addRoomListener(() => {
          if (++events === 500 && ${JSON.stringify(where)} === 'listener') { console.log('exiting'); process.exit(3); }
        });
        sim.emit('room', 'onRoomLockStateChanged', [true], { room: 'exit', repeat: 100000 });
        let completions = 0;
        for (let i = 0; i < 1000; i++) {
          kit.uploadLog(() => {
            if (++completions === 500 && ${JSON.stringify(where)} === 'callback') { console.log('exiting'); process.exit(3); }
          });
        }
      });
    `);
    assert.deepEqual([status, signal], [3, null], `${where}: ${stderr}`);
    assert.equal(lines.filter((l) => l === 'exiting').length, 1, where);
    assert.doesNotMatch(stderr, /Sanitizer|runtime error|Assertion|FATAL/, where);
  }
});
