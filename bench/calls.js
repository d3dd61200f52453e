'use strict';
// Per-call overhead, completions and events, each against its floor: the same work
// written in plain C over Node-API (bench/baseline), measured in the same process in
// alternating rounds (ABAB…); each figure is the median of the rounds, with the
// range of the per-round ratios.
//
//   sync      kit.getNetworkType(), room.isRoomLocked(): convert, resolve, call the
//             SDK, convert back; against a C function that does nothing. The
//             simulated SDK's share (the same SDK calls made from a native loop,
//             measured in the same round) is taken out of the module's figure; the
//             figure with it is printed beside ("with SDK").
//   async     kit.uploadLog(cb) to its callback, 10,000 in flight and one at a time;
//             against a C thread-safe function made per call, called once from a
//             native thread and released. The SDK's part on the calling thread (the
//             same calls made natively with a native completion, in the same round)
//             is taken out; its own thread's part runs beside script and is printed
//             ("SDK ns": calling, and the whole native round trip).
//   event     bursts of 10,000 onMemberJoinRoom events with one member record, SDK
//             thread to listener (blocking queue mode, as room events use); against a
//             C thread-safe function fed by a native thread, each call carrying a copy
//             of the same member record converted into the same object. Also a bare
//             event with no record (auth) against a bare thread-safe call.
// The simulated SDK's journal is off while measuring, and nothing is scripted, so its
// calls take its lock-free path.
//
//   node bench/calls.js [--rounds 7] [--n 200000]

const brimo = require('..');
const sim = require('../sim');
const { arg, alternate, perCall, row, writeResults, loadBaseline, nsSince, median, round } = require('./lib');


const N = Number(arg('n', 200000));
const BURST = 10000;
const SERIAL = 2000;

// The member record every event carries, and the baseline copies.
const MEMBER = {
  uuid: 'bench-member-0001',
  name: 'Bench Member',
  avatar: 'https://avatars.parlo.sim/bench-member-0001.png',
  role: {
    name: 'member', limit: 50, videoWidth: 1280, videoHeight: 720, videoFps: 30, audioProfile: 'speech',
    audioScenario: 'meeting', screenVideoProfile: 'hd', screenPreferMotion: false, screenPreferDetails: true,
  },
  isAudioOn: true,
  isVideoOn: true,
  properties: { team: 'blue', seat: '12' },
  clientType: 2,
};

const ROOM = 'bench-calls';

async function joinRoom(kit, uuid) {
  return new Promise((resolve, reject) => {
    kit.getRoomService().joinRoom({ roomUuid: uuid, userName: 'bench' }, {}, (code, message, ctx) => {
      if (code === 0) resolve(ctx);
      else reject(new Error(`join failed: ${code} ${message}`));
    });
  });
}

const sdkLoop = (settings) => sim.control('sdkLoop', settings).ns;

// Resolves with ns per delivery once `count` deliveries reached `done`.
function deliveries(count, startAll) {
  return new Promise((resolve) => {
    let left = count;
    const start = process.hrtime.bigint();
    startAll(() => {
      if (--left === 0) resolve(nsSince(start) / count);
    });
  });
}

// ns per call, one call at a time: each callback makes the next call.
function serial(count, call) {
  return new Promise((resolve) => {
    let left = count;
    const start = process.hrtime.bigint();
    const next = () => {
      if (left-- === 0) resolve(nsSince(start) / count);
      else call(next);
    };
    next();
  });
}

async function setup() {
  const kit = new brimo.IQVParloWrap();
  kit.initialize({ appKey: 'bench' }, () => {});
  const context = await joinRoom(kit, ROOM);
  sim.setJournaling(false);
  return { kit, context };
}

// Member events through the module: ns per event delivered to each of `listeners`
// listeners, registered with the counting function itself (as the baseline's
// thread-safe function is made around it) before the burst and removed after it.
let roomContext;
async function moduleEvents(count, listeners = 1) {
  const ids = [];
  const ns = await deliveries(count * listeners, (done) => {
    for (let i = 0; i < listeners; i++) ids.push(roomContext.addRoomListener(done));
    sim.emit('room', 'onMemberJoinRoom', [[MEMBER]], { room: ROOM, repeat: count });
  });
  for (const id of ids) roomContext.removeRoomListener(id);
  return ns;
}

async function measure({ kit, context }) {
  roomContext = context;
  const C = loadBaseline();
  const auth = kit.getAuthService();
  const figures = {};
  const notes = {};

  // --- synchronous ---
  const cppNoop = [];
  for (const [name, call, loop] of [
    ['sync', () => kit.getNetworkType(), { loop: 'getNetworkType', n: N }],
    ['syncRoom', () => context.isRoomLocked(), { loop: 'isRoomLocked', room: ROOM, n: N }],
  ]) {
    const totals = [];
    const sdk = [];
    const fig = await alternate({
      target: 4,
      path: () => {
        const total = perCall(call, N);
        const own = sdkLoop(loop);
        totals.push(total);
        sdk.push(own);
        return Math.max(0, total - own);
      },
      baseline: () => perCall(C.noop, N),
      extra: () => {
        cppNoop.push(perCall(sim.baseline.noop, N));
        return 0;
      },
    });
    delete fig.extra;
    fig.withSdk = round(median(totals));
    fig.sdk = round(median(sdk));
    figures[name] = fig;
    notes[name] = { 'with SDK': fig.withSdk, 'SDK ns': fig.sdk };
  }
  figures.cppNoop = { median: round(median(cppNoop)), note: 'the no-op of a C++ wrapper (node-addon-api)' };

  // --- asynchronous ---
  // The SDK's part of a call on the calling thread (taking the call, queuing its
  // completion) is measured natively in the same round and taken out; its thread's
  // part runs beside script and is only printed.
  for (const [name, pathRun, baseRun, loop] of [
    ['async',
      () => deliveries(BURST, (done) => {
        for (let i = 0; i < BURST; i++) kit.uploadLog(done);
      }),
      () => deliveries(BURST, (done) => {
        for (let i = 0; i < BURST; i++) C.roundTrip(done);
      }),
      { loop: 'uploadLog', n: BURST }],
    ['asyncSerial',
      () => serial(SERIAL, (next) => kit.uploadLog(next)),
      () => serial(SERIAL, (next) => C.roundTrip(next)),
      { loop: 'uploadLogSerial', n: SERIAL }],
  ]) {
    const totals = [];
    const sdk = [];
    const sdkCall = [];
    const fig = await alternate({
      target: 1.1,
      path: async () => {
        const total = await pathRun();
        const own = sim.control('sdkLoop', loop);
        totals.push(total);
        sdk.push(own.ns);
        sdkCall.push(own.callNs);
        return Math.max(0, total - own.callNs);
      },
      baseline: baseRun,
    });
    fig.withSdk = round(median(totals));
    fig.sdk = round(median(sdk));
    fig.sdkCall = round(median(sdkCall));
    figures[name] = fig;
    notes[name] = { 'with SDK': fig.withSdk, 'SDK ns': `${fig.sdkCall} calling, ${fig.sdk} in all` };
  }

  // --- events ---
  const sdkEvents = [];
  figures.event = await alternate({
    target: 1.1,
    path: () => moduleEvents(BURST),
    baseline: () => deliveries(BURST, (done) => C.memberEvents(BURST, MEMBER, done)),
    extra: () => {
      sdkEvents.push(sdkLoop({ loop: 'roomEvent', room: ROOM, event: 'onMemberJoinRoom', args: [[MEMBER]], n: BURST }));
      return 0;
    },
  });
  delete figures.event.extra;
  figures.event.sdk = round(median(sdkEvents));
  notes.event = { 'SDK ns': figures.event.sdk };

  let authId;
  figures.eventBare = await alternate({
    path: async () => {
      const ns = await deliveries(BURST, (done) => {
        authId = auth.addAuthListener(done);
        sim.emit('auth', 'onAuthEvent', [1], { repeat: BURST });
      });
      auth.removeAuthListener(authId);
      return ns;
    },
    baseline: () => deliveries(BURST, (done) => C.threadSafeCalls(BURST, done)),
  });

  return { figures, notes };
}

const LABELS = {
  sync: 'sync: getNetworkType vs C no-op (SDK share out)',
  syncRoom: 'sync: isRoomLocked vs C no-op (SDK share out)',
  async: 'async: uploadLog, 10k in flight vs C per-call round trip (SDK call share out)',
  asyncSerial: 'async: uploadLog, one at a time vs C per-call round trip (SDK call share out)',
  event: 'event: onMemberJoinRoom + member record, bursts of 10k vs C thread-safe call + same record',
  eventBare: 'event: bare auth event vs C bare thread-safe call',
};

function rows({ figures, notes }) {
  const out = Object.keys(LABELS).map((k) => row(LABELS[k], figures[k], notes[k]));
  out.push({ figure: 'for reference: a C++-wrapper (node-addon-api) no-op', 'path ns': figures.cppNoop.median });
  return out;
}

// --- scaling: per call, per event, per frame at 1/16/256 listeners and 1/16/64 users ---

const SCALE_FRAME = [320, 180];

async function perFrame(kit, users) {
  const [width, height] = SCALE_FRAME;
  const size = (width * height * 3) / 2;
  const requests = Array.from({ length: users }, (_, i) => ({
    frame: { userUuid: `scale-${i + 1}`, bSubVideo: false, buffer: { bytes: new Uint8Array(size) } },
  }));
  // Frames reach the hub through a room listener.
  const id = roomContext.addRoomListener(() => {});
  kit.startListenVideoFrame();
  let ns = 0;
  let delivered = 0;
  for (let r = 0; r < 60; r++) {
    for (let i = 0; i < users; i++) {
      sim.frames.push({ room: ROOM, user: `scale-${i + 1}`, width, height, frame: r, userIndex: i + 1, mode: 'sync' });
    }
    const start = process.hrtime.bigint();
    kit.getVideoFrame(requests);
    const spent = nsSince(start);
    if (r >= 10) {
      ns += spent;
      delivered += requests.filter((q) => q.code === 0).length;
    }
  }
  kit.stopListenVideoFrame();
  roomContext.removeRoomListener(id);
  if (delivered !== 50 * users) throw new Error(`frames lost: ${delivered} of ${50 * users}`);
  return ns / delivered;
}

// set() of the same bytes from `users` sources into `users` targets: the frame
// copy's floor with the same memory footprint.
function perSetCopy(users) {
  const [width, height] = SCALE_FRAME;
  const size = (width * height * 3) / 2;
  const sources = Array.from({ length: users }, (_, i) => new Uint8Array(size).fill(i + 1));
  const targets = Array.from({ length: users }, () => new Uint8Array(size));
  let ns = 0;
  for (let r = 0; r < 60; r++) {
    for (let i = 0; i < users; i++) sources[i].fill(r & 0xff); // as the SDK writes each frame anew
    const start = process.hrtime.bigint();
    for (let i = 0; i < users; i++) targets[i].set(sources[i]);
    if (r >= 10) ns += nsSince(start);
  }
  return ns / (50 * users);
}

// Each cell: the median over `rounds` rounds of the path, and of its ratio to its
// floor measured in the same round (the C no-op, the C member event, set()).
async function scaling(setupState, rounds = 5) {
  const { kit, context } = setupState;
  const C = loadBaseline();
  const out = [];
  const configs = [
    { listeners: 1, users: 1 }, { listeners: 16, users: 1 }, { listeners: 256, users: 1 },
    { listeners: 1, users: 16 }, { listeners: 1, users: 64 },
  ];
  let members = 1;
  for (const config of configs) {
    if (config.users > members) {
      const adding = [];
      for (let i = members; i < config.users; i++) adding.push({ uuid: `bench-user-${i + 1}`, name: `User ${i + 1}` });
      sim.rooms.addMember(ROOM, adding);
      members = config.users;
      await new Promise((r) => setTimeout(r, 200)); // their join events pass first
    }
    const cell = { call: [], callRatio: [], event: [], eventRatio: [], frame: [], frameRatio: [] };
    const burst = Math.max(100, Math.floor(BURST / config.listeners));
    for (let r = 0; r < rounds; r++) {
      const call = perCall(() => context.isRoomLocked(), N / 4) - sdkLoop({ loop: 'isRoomLocked', room: ROOM, n: N / 4 });
      const noop = perCall(C.noop, N / 4);
      const event = await moduleEvents(burst, config.listeners);
      const floor = await deliveries(burst, (done) => C.memberEvents(burst, MEMBER, done));
      const frame = await perFrame(kit, config.users);
      const copy = perSetCopy(config.users);
      cell.call.push(call);
      cell.callRatio.push(call / noop);
      cell.event.push(event);
      cell.eventRatio.push(event / floor);
      cell.frame.push(frame);
      cell.frameRatio.push(frame / copy);
    }
    const stat = (values) => ({ median: round(median(values), 2), range: [round(Math.min(...values), 2), round(Math.max(...values), 2)] });
    out.push({
      listeners: config.listeners,
      users: config.users,
      ...Object.fromEntries(Object.entries(cell).map(([k, v]) => [k, stat(v)])),
    });
  }
  return out;
}

function scalingRows(table) {
  const cell = (c, r) => `${round(c.median, 0)} ns, x${r.median} (${r.range[0]}-${r.range[1]})`;
  return table.map((s) => ({
    figure: `scaling: ${s.listeners} listener(s), ${s.users} user(s)`,
    'isRoomLocked (SDK share out) vs C no-op': cell(s.call, s.callRatio),
    'member event per listener vs C member event': cell(s.event, s.eventRatio),
    'frame 320x180 vs set(), same footprint': cell(s.frame, s.frameRatio),
  }));
}

async function run() {
  const state = await setup();
  const measured = await measure(state);
  const scale = await scaling(state);
  sim.setJournaling(true);
  const results = { ...measured.figures, scaling: scale };
  return { results, rows: [...rows(measured), ...scalingRows(scale)] };
}

module.exports = { run };

if (require.main === module) {
  run().then(({ results, rows: printed }) => {
    console.table(printed);
    writeResults(results);
  }).catch((e) => {
    console.error(e);
    process.exitCode = 1;
  });
}
