'use strict';
// The leak run's workload (scripts/leaks.sh runs it under valgrind): asynchronous
// calls, events on a listener, and join/leave cycles of a room with its listeners,
// each in batches so that the process's own memory stays flat, then everything let
// go of so that what is still allocated at exit is either kept on purpose
// (reachable) or lost. Sizes from the environment: LEAK_CALLS, LEAK_EVENTS, LEAK_CYCLES.

const brimo = require('..');
const sim = require('../sim');

const count = (name, fallback) => {
  const value = Number(process.env[name] || fallback);
  if (!Number.isInteger(value) || value < 0) throw new Error(`${name} must be a whole number`);
  return value;
};
const CALLS = count('LEAK_CALLS', 100000);
const EVENTS = count('LEAK_EVENTS', 100000);
const CYCLES = count('LEAK_CYCLES', 10000);
const BATCH = 1000;

const call = (start) => new Promise((resolve) => start((...args) => resolve(args)));

async function calls(kit) {
  for (let done = 0; done < CALLS; done += BATCH) {
    const batch = [];
    for (let i = 0; i < Math.min(BATCH, CALLS - done); i++) {
      // Every fourth call carries a result record, every tenth fails.
      if (i % 10 === 0) sim.answer('logout', { code: 500, message: 'scripted failure' });
      batch.push(i % 4 === 0 ? call((cb) => kit.uploadLog(cb)) : call((cb) => kit.getAuthService().logout(cb)));
    }
    await Promise.all(batch);
  }
}

async function events(kit) {
  const auth = kit.getAuthService();
  let heard = 0;
  let done;
  const all = new Promise((resolve) => { done = resolve; });
  const id = auth.addAuthListener(() => { if (++heard === EVENTS) done(); });
  for (let raised = 0; raised < EVENTS; raised += 10000) {
    sim.emit('auth', 'onAuthEvent', [raised], { repeat: Math.min(10000, EVENTS - raised) });
  }
  if (EVENTS > 0) await all;
  auth.removeAuthListener(id);
}

async function cycles(kit) {
  const rooms = kit.getRoomService();
  for (let i = 0; i < CYCLES; i++) {
    const [code, message, room] = await call((cb) => rooms.joinRoom({ roomUuid: `leak-${i % 100}`, userName: 'Ann' }, {}, cb));
    if (code !== 0) throw new Error(`join ${i}: ${code} ${message}`);
    let joinedHeard;
    const heard = new Promise((resolve) => { joinedHeard = resolve; });
    const id = room.addRoomListener((event) => { if (event === 'onMemberJoinRoom') joinedHeard(); });
    const stats = room.addRtcStatsListener(() => {});
    sim.emit('room', 'onMemberJoinRoom', [[{ uuid: `guest-${i}` }]], { room: room.getRoomUuid() });
    await heard;
    room.removeRtcStatsListener(stats);
    room.removeRoomListener(id);
    await call((cb) => room.leaveRoom(cb));
    if (i % 500 === 0) global.gc?.();
  }
}

(async () => {
  // The journal keeps every call; this run is about what the module keeps.
  sim.setJournaling(false);
  let kit = new brimo.IQVParloWrap();
  const started = Date.now();
  await calls(kit);
  await events(kit);
  await cycles(kit);
  kit = null;
  for (let i = 0; i < 10; i++) {
    global.gc?.();
    await new Promise((resolve) => setImmediate(resolve));
  }
  const bridge = sim.bridgeStats();
  console.log(`leak run: ${CALLS} calls, ${EVENTS} events, ${CYCLES} join/leave cycles in ${((Date.now() - started) / 1000).toFixed(0)} s;` +
    ` calls held by the SDK ${bridge.calls}, adapters alive ${bridge.adapters}, kits destroyed ${sim.counters().destroyCalls || 0}`);
})();
