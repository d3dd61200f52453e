'use strict';
// A long meeting against the simulated SDK, to show that nothing grows and nothing
// is lost. For --minutes minutes (default 10):
//   - 16 producers send 720p frames at 30 fps; script polls every user's newest frame;
//   - the SDK raises 10,000 room events a second on the room's listener;
//   - script makes 1,000 asynchronous calls a second;
//   - members join and leave the room, and other rooms are joined, listened to and left.
// At the end of every interval (a minute by default) the calls and events pause until
// everything in flight has landed, and one line is printed: resident memory, script
// heap after a collection, frame pool blocks, carriers alive, events raised against
// events received, completions owed against completions received, frames produced,
// delivered and dropped, and what was reached against the targets.
//
// Exits non-zero when, after the warm-up intervals, resident memory or the heap
// grows past its allowance, a pool block or a carrier is added, or at any point an
// event or completion is lost or a frame is neither delivered nor counted dropped.
//
//   node --expose-gc bench/soak.js [--minutes 10] [--warmup 2] [--interval 60]
//     [--producers 16] [--width 1280] [--height 720] [--fps 30] [--events 10000] [--calls 1000]
//     [--rss-mb 24] [--heap-mb 8]

const brimo = require('..');
const sim = require('../sim');

const arg = (name, fallback) => {
  const at = process.argv.indexOf(`--${name}`);
  return at > 0 ? Number(process.argv[at + 1]) : fallback;
};
const MINUTES = arg('minutes', 10);
const INTERVAL_S = arg('interval', 60);
const WARMUP = arg('warmup', Math.min(2, Math.max(1, Math.floor(MINUTES / 5))));
const PRODUCERS = arg('producers', 16);
const WIDTH = arg('width', 1280);
const HEIGHT = arg('height', 720);
const FPS = arg('fps', 30);
const EVENTS_PER_S = arg('events', 10000);
const CALLS_PER_S = arg('calls', 1000);
// Events and calls not yet delivered, at most: the load waits when script falls this
// far behind (on a busy machine), so the rates reached are printed rather than a
// backlog that only grows.
const MAX_BACKLOG_S = arg('backlog', 2);
// Allowed growth between the first interval after warm-up and the last.
const RSS_ALLOWANCE = arg('rss-mb', 24) * 1024 * 1024;
const HEAP_ALLOWANCE = arg('heap-mb', 8) * 1024 * 1024;

if (typeof global.gc !== 'function') {
  console.error('run with node --expose-gc (npm run soak does)');
  process.exit(2);
}

const ROOM = `soak-${process.pid}`;
// The module writes its trace lines to standard output; the run's figures go to standard error.
const say = (line) => process.stderr.write(`${line}\n`);
const turn = () => new Promise((resolve) => setImmediate(resolve));
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

/** Waits until `done()` or `ms` have passed; answers whether it became true. */
async function until(done, ms) {
  const end = Date.now() + ms;
  while (!done()) {
    if (Date.now() > end) return false;
    await sleep(5);
  }
  return true;
}

function join(kit, uuid) {
  return new Promise((resolve, reject) => {
    kit.getRoomService().joinRoom({ roomUuid: uuid, userName: 'soak' }, {}, (code, message, ctx) => {
      if (code === 0 && ctx) resolve(ctx);
      else reject(new Error(`join ${uuid}: ${code} ${message}`));
    });
  });
}

// The events the SDK raises, in the proportions it raises them: mostly small ones,
// some carrying member records.
const EVENTS = [
  { event: 'onRoomRemainingSecondsRenewed', args: [3600], share: 4 },
  { event: 'onRoomLockStateChanged', args: [true], share: 3 },
  { event: 'onMemberJoinRtcChannel', args: [[{ uuid: 'visitor', name: 'Visitor', role: 'member', properties: { seat: '12' } }]], share: 2 },
  { event: 'onRoomPropertiesChanged', args: [{ topic: 'soak', agenda: 'nothing lost' }], share: 1 },
];
const SHARES = EVENTS.reduce((n, e) => n + e.share, 0);

async function main() {
  sim.reset();
  sim.rooms.reset();
  // The journal would keep every call of the run: the SDK's memory, not the module's.
  sim.setJournaling(false);
  const kit = new brimo.IQVParloWrap();
  kit.initialize({ appKey: 'soak' }, () => {});
  const room = await join(kit, ROOM);

  const received = new Map();
  let receivedRaised = 0;
  const raisedNames = new Set(EVENTS.map((e) => e.event));
  const listenerId = room.addRoomListener((name) => {
    received.set(name, (received.get(name) || 0) + 1);
    if (raisedNames.has(name)) receivedRaised++;
  });

  // Frames: the producers, and script's polls into arrays of its own.
  kit.startListenVideoFrame();
  const users = Array.from({ length: PRODUCERS }, (_, i) => `producer-${i + 1}`);
  const size = WIDTH * HEIGHT * 1.5;
  const requests = users.map((userUuid) => ({ frame: { userUuid, bSubVideo: false, buffer: { bytes: new Uint8Array(size) } } }));
  const frames = { delivered: 0, small: 0, polls: 0 };
  const producedBase = sim.counters().framesDelivered || 0;
  const generator = sim.frames.start({ room: ROOM, userUuids: users, width: WIDTH, height: HEIGHT, fps: FPS, threads: 2 });
  const poll = () => {
    kit.getVideoFrame(requests);
    frames.polls++;
    for (const r of requests) {
      if (r.code === 0) frames.delivered++;
      else if (r.code === 1) frames.small++;
    }
  };
  const frameCounts = () => {
    let total = 0;
    let drop = 0;
    for (const r of requests) {
      total += r.total || 0;
      drop += r.drop || 0;
    }
    return { produced: (sim.counters().framesDelivered || 0) - producedBase, total, drop };
  };

  // Load: events, calls, members and rooms, each on a clock of its own that owes
  // what the elapsed time says, so a slow turn is made up on the next.
  const load = { paused: false, raised: 0, calls: 0, completions: 0, joins: 0, leaves: 0, roomsJoined: 0, roomsLeft: 0, sideEvents: 0 };
  const eventsRaisedBase = sim.counters().eventsRaised || 0;
  const raisedBySdk = () => (sim.counters().eventsRaised || 0) - eventsRaisedBase;
  let loadStart = Date.now();
  let owedBase = { events: 0, calls: 0 };
  const onCompletion = () => {
    load.completions++;
  };
  const CALLS = [
    () => kit.uploadLog(onCompletion),
    () => room.changeMyName('soak', onCompletion),
    () => kit.getAuthService().login('soak', 'token', onCompletion),
  ];
  const tick = () => {
    if (load.paused) return;
    const seconds = (Date.now() - loadStart) / 1000;
    // What the clock owes, but no more than script can take in without a backlog.
    let owedEvents = Math.floor(seconds * EVENTS_PER_S) + owedBase.events - load.raised;
    owedEvents = Math.min(owedEvents, Math.floor(EVENTS_PER_S * MAX_BACKLOG_S) - (load.raised - receivedRaised));
    if (owedEvents > 0) {
      for (const { event, args, share } of EVENTS) {
        const repeat = Math.max(1, Math.round((owedEvents * share) / SHARES));
        sim.emit('room', event, args, { room: ROOM, repeat });
        load.raised += repeat;
      }
    }
    let owedCalls = Math.floor(seconds * CALLS_PER_S) + owedBase.calls - load.calls;
    owedCalls = Math.min(owedCalls, Math.floor(CALLS_PER_S * MAX_BACKLOG_S) - (load.calls - load.completions));
    for (let i = 0; i < owedCalls; i++) {
      CALLS[load.calls % CALLS.length]();
      load.calls++;
    }
  };
  let member = 0;
  const members = () => {
    if (load.paused) return;
    member++;
    sim.rooms.addMember(ROOM, { uuid: `m${member}`, name: `Member ${member}`, role: 'member' });
    load.joins++;
    if (member > 20) {
      sim.rooms.removeMember(ROOM, `m${member - 20}`);
      load.leaves++;
    }
  };
  let side = 0;
  let sideBusy = false;
  const sideRoom = async () => {
    if (load.paused || sideBusy) return;
    sideBusy = true;
    try {
      side++;
      const uuid = `${ROOM}-side-${side}`;
      const ctx = await join(kit, uuid);
      load.roomsJoined++;
      let heard = 0;
      const id = ctx.addRoomListener(() => heard++);
      sim.rooms.addMember(uuid, { uuid: 'guest', name: 'Guest' });
      await until(() => heard > 0, 5000);
      load.sideEvents += heard;
      ctx.removeRoomListener(id);
      await new Promise((resolve) => ctx.leaveRoom(resolve));
      load.roomsLeft++;
    } finally {
      sideBusy = false;
    }
  };

  const timers = [setInterval(tick, 20), setInterval(poll, 10), setInterval(members, 200), setInterval(() => sideRoom().catch((e) => {
    console.error(e.message);
    process.exitCode = 1;
  }), 1000)];

  // The figures of one interval, taken with calls and events paused and drained.
  const samples = [];
  const failures = [];
  let last = { raised: 0, calls: 0, time: Date.now(), frames: frameCounts(), delivered: 0 };
  const sample = async (index) => {
    load.paused = true;
    await until(() => !sideBusy, 10000);
    const drainedEvents = await until(() => receivedRaised >= raisedBySdk() && raisedBySdk() >= load.raised, 120000);
    const drainedCalls = await until(() => load.completions >= load.calls, 120000);
    for (let i = 0; i < 3; i++) {
      global.gc();
      await turn();
    }
    const hub = sim.frames.hubStats();
    const carriers = sim.carriers();
    const memory = process.memoryUsage();
    const f = frameCounts();
    const seconds = (Date.now() - last.time) / 1000;
    const s = {
      minute: index + 1,
      rssMb: +(memory.rss / 1048576).toFixed(1),
      heapMb: +(memory.heapUsed / 1048576).toFixed(1),
      externalMb: +(memory.external / 1048576).toFixed(1),
      poolBlocks: hub.poolBlocksAllocated,
      carriersAlive: carriers.alive,
      eventsRaised: raisedBySdk(),
      eventsReceived: receivedRaised,
      eventsPerS: Math.round((load.raised - last.raised) / seconds),
      calls: load.calls,
      completions: load.completions,
      callsPerS: Math.round((load.calls - last.calls) / seconds),
      framesProduced: f.produced,
      framesDelivered: frames.delivered,
      framesDropped: f.drop,
      fps: +((f.produced - last.frames.produced) / seconds / PRODUCERS).toFixed(1),
      deliveredFps: +((frames.delivered - last.delivered) / seconds / PRODUCERS).toFixed(1),
      members: `${load.joins}/${load.leaves}`,
      rooms: `${load.roomsJoined}/${load.roomsLeft}`,
    };
    samples.push(s);
    say(Object.entries(s).map(([k, v]) => `${k} ${v}`).join('  '));
    if (!drainedEvents || s.eventsReceived !== s.eventsRaised || s.eventsRaised !== load.raised) {
      failures.push(`interval ${s.minute}: events lost (not all delivered within 2 minutes): raised ${load.raised}, by the SDK ${s.eventsRaised}, received ${s.eventsReceived}`);
    }
    if (!drainedCalls || s.completions !== s.calls) failures.push(`interval ${s.minute}: completions lost (not all delivered within 2 minutes): ${s.calls} calls, ${s.completions} completions`);
    // Every frame the hub counted was delivered, dropped, or is the one still waiting per user.
    const waiting = f.total - frames.delivered - f.drop;
    if (waiting < 0 || waiting > PRODUCERS) failures.push(`interval ${s.minute}: frames unaccounted: ${f.total} counted, ${frames.delivered} delivered, ${f.drop} dropped`);
    // Resume, owing nothing for the pause.
    owedBase = { events: load.raised, calls: load.calls };
    loadStart = Date.now();
    last = { raised: load.raised, calls: load.calls, time: Date.now(), frames: f, delivered: frames.delivered };
    load.paused = false;
  };

  for (let i = 0; i < MINUTES; i++) {
    await sleep(INTERVAL_S * 1000);
    await sample(i);
  }

  // The end: stop everything, let the last frames land, and check what was kept.
  for (const t of timers) clearInterval(t);
  sim.frames.stop(generator);
  await until(() => !sideBusy, 10000);
  await sleep(100);
  poll();
  const f = frameCounts();
  if (f.produced !== f.total) failures.push(`frames produced ${f.produced}, counted by the module ${f.total}`);
  const waiting = f.total - frames.delivered - f.drop;
  if (waiting < 0 || waiting > PRODUCERS) failures.push(`frames unaccounted at the end: ${waiting}`);
  room.removeRoomListener(listenerId);
  kit.stopListenVideoFrame();

  const steady = samples.slice(WARMUP);
  if (steady.length >= 2) {
    const first = steady[0];
    const end = steady[steady.length - 1];
    if ((end.rssMb - first.rssMb) * 1048576 > RSS_ALLOWANCE) failures.push(`resident memory grew ${(end.rssMb - first.rssMb).toFixed(1)} MB after warm-up`);
    if ((end.heapMb - first.heapMb) * 1048576 > HEAP_ALLOWANCE) failures.push(`script heap grew ${(end.heapMb - first.heapMb).toFixed(1)} MB after warm-up`);
    if (end.poolBlocks !== first.poolBlocks) failures.push(`pool blocks grew from ${first.poolBlocks} to ${end.poolBlocks} after warm-up`);
    if (end.carriersAlive > first.carriersAlive) failures.push(`carriers alive grew from ${first.carriersAlive} to ${end.carriersAlive} after warm-up`);
  } else {
    say(`(fewer than two intervals after ${WARMUP} of warm-up: growth not judged)`);
  }
  say(`frames: produced ${f.produced}, counted ${f.total}, delivered ${frames.delivered}, dropped ${f.drop}, waiting ${waiting}, too small ${frames.small}`);
  say(`load: ${load.raised} events raised (${receivedRaised} received), ${load.calls} calls (${load.completions} completed), ` +
    `members ${load.joins} joined ${load.leaves} left, rooms ${load.roomsJoined} joined ${load.roomsLeft} left (${load.sideEvents} events heard there)`);
  if (failures.length > 0) {
    say(`FAILED:\n  ${failures.join('\n  ')}`);
    process.exit(1);
  }
  say('soak passed: no growth after warm-up, nothing lost');
  process.exit(process.exitCode || 0);
}

main().catch((e) => {
  console.error(e);
  process.exit(2);
});
