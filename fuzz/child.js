'use strict';
// One fuzz process: sets up a meeting against the simulated SDK (a kit, a joined
// room with a listener, frames flowing), then either surveys what script can reach
// or runs a program of steps, one line of JavaScript each, reporting on fd 3.
//
//   node --expose-gc fuzz/child.js <job.json>
//   job: { mode: 'survey' } | { mode: 'run', lines: [...], progressEvery }
//
// A step sees `o` (one reached instance per class, by class name), `h` (the hostile
// value helpers), `sim` and `brimo`. A step that throws is fine when the throw is an
// Error or the step's own hostile value; anything else thrown is a finding, and so is
// a callback called with `this` or given two completions.

const fs = require('node:fs');
const path = require('node:path');
const { helpers } = require('./values');

const root = path.join(__dirname, '..');
const brimo = require(root);
const sim = require(path.join(root, 'sim'));

const ROOM = 'fuzz-room';
const report = (message) => fs.writeSync(3, `${JSON.stringify(message)}\n`);
const turn = () => new Promise((resolve) => setImmediate(resolve));

/** Waits for `start(callback)` to call back, or `ms`; answers the callback's arguments or null. */
function within(ms, start) {
  return new Promise((resolve) => {
    const timer = setTimeout(() => resolve(null), ms);
    try {
      start((...args) => {
        clearTimeout(timer);
        resolve(args);
      });
    } catch {
      clearTimeout(timer);
      resolve(null);
    }
  });
}

const world = { kit: null, room: null, sim, listenerId: -1, roomUuid: ROOM, events: 0 };
const h = helpers(world);
const o = {};

/** Puts the meeting back: links present, kit initialised, the room joined and listened to. */
async function restore() {
  sim.reset();
  sim.setJournaling(false);
  const { kit } = world;
  if (!kit.isInitialized()) kit.initialize({ appKey: 'fuzz' }, () => {});
  kit.startListenVideoFrame();
  if (!sim.rooms.list().includes(ROOM)) {
    const joined = await within(5000, (cb) => kit.getRoomService().joinRoom({ roomUuid: ROOM, userName: 'fuzz' }, {}, cb));
    if (joined && joined[2]) world.room = world.room || joined[2];
    // The listener of the room's earlier life went with it.
    world.listenerId = -1;
  }
  if (sim.rooms.list().includes(ROOM)) {
    for (const link of ['roomContext', 'rtcController', 'chatController', 'waitingRoomChatController', 'whiteboardController',
      'annotationController', 'liveController', 'waitingRoomController', 'sipController', 'appInviteController']) {
      sim.rooms.setLink(ROOM, link, true);
    }
    if (world.listenerId < 0 && world.room) {
      world.listenerId = world.room.addRoomListener(() => world.events++);
      // Frames reach the hub through the room's listener: a small pair of users, main and sub.
      sim.frames.stop();
      sim.frames.start({ room: ROOM, users: 2, width: 64, height: 36, fps: 60, sub: true });
    }
  }
}
h.restore = restore;

const isWrap = (value, classes) => classes.some((Cls) => value instanceof Cls);

/** Every instance script can reach from the kit and a joined room, one per class. */
function reach() {
  const classes = Object.values(brimo);
  const found = new Map();
  const queue = [world.kit, world.room];
  while (queue.length > 0) {
    const object = queue.shift();
    const name = object.constructor.name;
    if (found.has(name)) continue;
    found.set(name, object);
    for (const method of Object.getOwnPropertyNames(Object.getPrototypeOf(object))) {
      if (!method.startsWith('get') || method === 'getVideoFrame') continue;
      try {
        const value = object[method]();
        if (value !== null && typeof value === 'object' && isWrap(value, classes)) queue.push(value);
      } catch {
        // A getter that wants arguments reaches nothing here.
      }
    }
  }
  return found;
}

/** How a method answers argument counts 0 to 6 of undefined: counts it refuses as "Wrong number of arguments". */
function arities(object, method) {
  const accepted = [];
  for (let n = 0; n <= 6; n++) {
    try {
      object[method](...new Array(n).fill(undefined));
      accepted.push(n);
    } catch (e) {
      if (!(e instanceof Error && e.message === 'Wrong number of arguments')) accepted.push(n);
    }
  }
  return accepted;
}

// Steps that would take the survey's world away before every method was seen.
const SURVEY_SKIP = new Set(['constructor', 'release', 'leaveRoom', 'endRoom', 'stopListenVideoFrame', 'removeRoomListener']);

async function survey() {
  const found = reach();
  const classes = {};
  for (const [name, Cls] of Object.entries(brimo)) {
    const object = found.get(name);
    const methods = {};
    for (const method of Object.getOwnPropertyNames(Cls.prototype)) {
      if (method === 'constructor' || typeof Cls.prototype[method] !== 'function') continue;
      methods[method] = object && !SURVEY_SKIP.has(method) ? arities(object, method) : [];
    }
    const statics = Object.getOwnPropertyNames(Cls).filter((n) => typeof Cls[n] === 'function');
    classes[name] = { reached: Boolean(object), methods, statics };
  }
  await within(5000, (cb) => world.kit.uploadLog(cb));
  return { classes };
}

function describe(value) {
  try {
    if (typeof value === 'symbol') return value.toString();
    if (typeof value === 'bigint') return `${value}n`;
    return `${typeof value}: ${String(value).slice(0, 200)}`;
  } catch {
    return typeof value;
  }
}

/** Sorts a thrown value: the step's own hostile value, an Error (by constructor), or a finding. */
function classify(thrown, stats) {
  if (h.isTrap(thrown)) {
    stats.trapThrows++;
    return null;
  }
  let isError = false;
  let kind = 'unknown';
  try {
    isError = thrown instanceof Error;
    kind = isError ? thrown.constructor.name : typeof thrown;
  } catch {
    isError = false;
  }
  if (!isError) return describe(thrown);
  stats.throws[kind] = (stats.throws[kind] || 0) + 1;
  let message = '';
  try {
    message = `${kind}: ${String(thrown.message).slice(0, 80)}`;
  } catch {
    message = kind;
  }
  stats.messages[message] = (stats.messages[message] || 0) + 1;
  return null;
}

async function run({ lines, progressEvery = 64 }) {
  const stats = { calls: 0, trapThrows: 0, throws: {}, messages: {}, uncaught: 0, completions: 0, events: 0 };
  const findings = [];
  let current = -1;
  process.on('uncaughtException', (e) => {
    stats.uncaught++;
    const bad = classify(e, stats);
    if (bad !== null) findings.push({ type: 'bad throw (uncaught)', step: current, value: bad });
  });
  process.on('unhandledRejection', () => {});
  const AsyncFunction = (async () => {}).constructor;
  for (let i = 0; i < lines.length; i++) {
    current = i;
    h.setStep(i);
    if (progressEvery > 0 && i % progressEvery === 0) report({ type: 'progress', step: i });
    const line = lines[i];
    try {
      const awaits = /\bawait\b/.test(line);
      const step = awaits
        ? new AsyncFunction('o', 'h', 'sim', 'brimo', line)
        : new Function('o', 'h', 'sim', 'brimo', line);
      const result = step(o, h, sim, brimo);
      if (awaits) await result;
      stats.calls++;
    } catch (e) {
      stats.calls++;
      const bad = classify(e, stats);
      if (bad !== null) findings.push({ type: 'bad throw', step: i, value: bad });
    }
    // Completions and events arrive while the program runs, as in an application.
    if (i % 50 === 49) await turn();
  }
  current = lines.length;
  report({ type: 'progress', step: lines.length });
  // Let every completion the SDK owes arrive: held ones are released, then one round trip.
  sim.releaseHeld();
  await restore();
  sim.releaseHeld();
  await within(10000, (cb) => world.kit.uploadLog(cb));
  for (let i = 0; i < 5; i++) await turn();
  for (const record of h.callbacks) {
    const completions = record.calls.filter((c) => c === 'completion').length;
    stats.completions += completions;
    if (completions > 1 && record.calls.every((c) => c === 'completion')) {
      findings.push({ type: 'callback called twice', step: record.step, value: `${completions} completions` });
    }
    if (record.receivers > 0) findings.push({ type: 'callback called with this', step: record.step, value: `${record.receivers} calls` });
  }
  stats.events = world.events;
  return { stats, findings };
}

async function main() {
  const job = JSON.parse(fs.readFileSync(process.argv[2], 'utf8'));
  world.kit = new brimo.IQVParloWrap();
  world.kit.initialize({ appKey: 'fuzz' }, () => {});
  const joined = await within(10000, (cb) => world.kit.getRoomService().joinRoom({ roomUuid: ROOM, userName: 'fuzz' }, {}, cb));
  if (!joined || joined[0] !== 0 || !joined[2]) throw new Error(`the fuzz room could not be joined: ${JSON.stringify(joined)}`);
  world.room = joined[2];
  await restore();
  for (const [name, object] of reach()) o[name] = object;
  const result = job.mode === 'survey' ? await survey() : await run(job);
  report({ type: 'done', ...result });
  // Registered listeners would keep the process alive; the program is over.
  process.exit(0);
}

main().catch((e) => {
  report({ type: 'setup failed', message: String(e && e.stack) });
  process.exit(3);
});
