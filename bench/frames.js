'use strict';
// The frame path: SDK thread -> frame hub -> script's own typed arrays.
//
// For 720p and 1080p at 1, 4 and 16 users, each figure is the median over --rounds
// alternating rounds (ABAB…) of:
//   path       time getVideoFrame spends per delivered frame, polling at twice the
//              frame rate while the simulated SDK's generator stores every user's
//              frame at --fps on its own thread (so each copy reads memory another
//              core has just written: cold);
//   baseline   TypedArray.prototype.set of the same bytes under the same conditions:
//              a worker thread writes every user's frame into shared memory at the
//              same rate, the way the SDK's generator does (a picture per user, a few
//              rows redrawn, the whole frame copied out), and script, polling on the
//              same schedule, copies each new frame out (equally cold).
// Polls that find nothing new count on both sides: a player polls faster than frames
// arrive. Also printed: frames delivered and dropped per second, pool blocks
// allocated after warm-up (steady state allocates none), and, at 16 users x 720p x
// --fps polled at 30 Hz, the script thread's time in getVideoFrame per second as a
// percentage of one core, against set() doing the same copies.
//
//   node bench/frames.js [--seconds 1.5] [--rounds 5] [--fps 30] [--users 1,4,16]

const brimo = require('..');
const sim = require('../sim');

const { arg, median, figure, row, writeResults, round, loadBaseline } = require('./lib');

// The script thread's own CPU time: a poll's work without its waits (for the hub's
// lock while an SDK thread stores, or for a core on a busy machine).
const { threadCpuNs } = loadBaseline();
const SECONDS = Number(arg('seconds', 1.5));
const ROUNDS = Math.max(5, Number(arg('rounds', 5)));
// A poll that takes longer than this, plus a generous bound per frame it copied,
// was stalled by the machine (scheduler, VM), not by its work; stalled polls are
// left out of both paths alike and counted.
const STALL_NS = 4e6;
const COPY_BOUND_NS = 2e6;
const FPS = Number(arg('fps', 30));
const USERS = String(arg('users', '1,4,16')).split(',').map(Number);
const RESOLUTIONS = [['720p', 1280, 720, 1.25], ['1080p', 1920, 1080, 1.1]];

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

async function joinRoom(kit, uuid) {
  const context = await new Promise((resolve, reject) => {
    kit.getRoomService().joinRoom({ roomUuid: uuid, userName: 'bench' }, {}, (code, message, ctx) => {
      if (code === 0) resolve(ctx);
      else reject(new Error(`join failed: ${code} ${message}`));
    });
  });
  const id = context.addRoomListener(() => {});
  return { context, id };
}

// The baseline under the frame path's own conditions: a worker writes each user's
// frame into shared memory at FPS; script polls on the same schedule as getVideoFrame
// and copies every new frame out with TypedArray.prototype.set. Answers ns per copy.
async function sharedCopy(size, users, pollMs = Math.max(1, Math.floor(500 / FPS))) {
  const { Worker } = require('node:worker_threads');
  const frames = Array.from({ length: users }, () => new SharedArrayBuffer(size));
  const seq = new Int32Array(new SharedArrayBuffer(4 * (users + 1)));
  const worker = new Worker(`
    const { workerData: { frames, seq, fps } } = require('node:worker_threads');
    const views = frames.map((f) => new Uint8Array(f));
    // As the SDK's generator does: each user's picture is kept in a buffer of its own,
    // a few rows of it redrawn, and the whole frame copied out, so the frames script
    // reads have been through the same memory traffic on the writer's side.
    const pictures = frames.map((f, i) => new Uint8Array(f.byteLength).fill(16 + i));
    let n = 0;
    const tick = () => {
      if (Atomics.load(seq, views.length) === 1) return;
      n++;
      views.forEach((v, i) => {
        const row = (2 * n * 1280) % pictures[i].length;
        pictures[i].fill(n & 0xff, row, Math.min(row + 4 * 1280, pictures[i].length));
        v.set(pictures[i]);
        Atomics.store(seq, i, n);
      });
      setTimeout(tick, 1000 / fps);
    };
    tick();
  `, { eval: true, workerData: { frames, seq, fps: FPS } });
  const targets = Array.from({ length: users }, () => new Uint8Array(size));
  const sources = frames.map((f) => new Uint8Array(f));
  const seen = new Array(users).fill(0);
  let ns = 0;
  let cpuNs = 0;
  let copyingNs = 0;
  let copies = 0;
  const warm = Date.now() + 500;
  const end = warm + SECONDS * 1000;
  while (Date.now() < end) {
    const measuring = Date.now() >= warm;
    const cpu = threadCpuNs();
    const t = process.hrtime.bigint();
    let copied = 0;
    for (let i = 0; i < users; i++) {
      const n = Atomics.load(seq, i);
      if (n !== seen[i]) {
        seen[i] = n;
        targets[i].set(sources[i]);
        copied++;
      }
    }
    const spent = Number(process.hrtime.bigint() - t);
    const spentCpu = threadCpuNs() - cpu;
    if (measuring && spent <= STALL_NS + copied * COPY_BOUND_NS) {
      ns += spent;
      cpuNs += spentCpu;
      copies += copied;
      if (copied > 0) copyingNs += spent;
    }
    await sleep(pollMs);
  }
  Atomics.store(seq, users, 1);
  await worker.terminate();
  return {
    perFrame: ns / Math.max(1, copies),
    perFrameCopying: copyingNs / Math.max(1, copies),
    cpuPerFrame: cpuNs / Math.max(1, copies),
    busyPercent: (100 * cpuNs) / (SECONDS * 1e9),
  };
}

// One round of the frame path: per delivered frame ns, and what the hub did.
async function framePath(kit, room, width, height, users, pollMs = Math.max(1, Math.floor(500 / FPS))) {
  const size = width * height * 1.5;
  const requests = Array.from({ length: users }, (_, i) => ({
    frame: { userUuid: `bench-${i + 1}`, bSubVideo: false, buffer: { bytes: new Uint8Array(size) } },
  }));
  kit.startListenVideoFrame();
  const generator = sim.frames.start({ room, users, width, height, fps: FPS, userPrefix: 'bench-' });

  const poll = () => kit.getVideoFrame(requests);
  // Warm-up: every user's frame has been stored and delivered at least once.
  const warmEnd = Date.now() + 500;
  while (Date.now() < warmEnd) {
    poll();
    await sleep(2);
  }
  const blocksBefore = sim.frames.hubStats().poolBlocksAllocated;
  const dropsBefore = requests.map((r) => r.drop ?? 0);

  let ns = 0;
  let cpuNs = 0;
  let deliveringNs = 0;
  let delivered = 0;
  let stalls = 0;
  const end = Date.now() + SECONDS * 1000;
  const began = process.hrtime.bigint();
  while (Date.now() < end) {
    const cpu = threadCpuNs();
    const t = process.hrtime.bigint();
    poll();
    const spent = Number(process.hrtime.bigint() - t);
    const spentCpu = threadCpuNs() - cpu;
    let copied = 0;
    for (const r of requests) if (r.code === 0) copied++;
    if (spent > STALL_NS + copied * COPY_BOUND_NS) {
      stalls++;
    } else {
      ns += spent;
      cpuNs += spentCpu;
      delivered += copied;
      if (copied > 0) deliveringNs += spent;
    }
    await sleep(pollMs);
  }
  const elapsed = Number(process.hrtime.bigint() - began) / 1e9;
  sim.frames.stop(generator);
  kit.stopListenVideoFrame();
  return {
    stalls,
    busyPercent: (100 * cpuNs) / (elapsed * 1e9),
    cpuPerFrame: cpuNs / Math.max(1, delivered),
    perFrame: ns / Math.max(1, delivered),
    perFrameDelivering: deliveringNs / Math.max(1, delivered),
    deliveredPerSecond: delivered / elapsed,
    droppedPerSecond: requests.reduce((sum, r, i) => sum + ((r.drop ?? 0) - dropsBefore[i]), 0) / elapsed,
    allocated: sim.frames.hubStats().poolBlocksAllocated - blocksBefore,
  };
}

// Rounds of the frame path and of its baseline alternate (which goes first flips each
// round), so drift on a shared machine touches both.
async function measure(kit, room, label, width, height, users, target) {
  const size = width * height * 1.5;
  const rounds = [];
  for (let i = 0; i < ROUNDS; i++) {
    let path;
    let baseline;
    if (i % 2 === 0) {
      path = await framePath(kit, room, width, height, users);
      baseline = await sharedCopy(size, users);
    } else {
      baseline = await sharedCopy(size, users);
      path = await framePath(kit, room, width, height, users);
    }
    rounds.push({
      ...path,
      baseline: baseline.perFrame,
      cpuBaseline: baseline.cpuPerFrame,
      deliveringRatio: path.perFrameDelivering / baseline.perFrameCopying,
    });
  }
  const fig = figure({
    paths: rounds.map((r) => r.perFrame),
    baselines: rounds.map((r) => r.baseline),
    ratios: rounds.map((r) => r.perFrame / r.baseline),
    target,
  });
  // The same rounds in the script thread's CPU time: what the poll itself costs.
  fig.cpu = figure({
    paths: rounds.map((r) => r.cpuPerFrame),
    baselines: rounds.map((r) => r.cpuBaseline),
    ratios: rounds.map((r) => r.cpuPerFrame / r.cpuBaseline),
    target,
  });
  fig.allocatedAfterWarmUp = Math.max(...rounds.map((r) => r.allocated));
  fig.deliveredPerSecond = round(median(rounds.map((r) => r.deliveredPerSecond)));
  fig.droppedPerSecond = round(median(rounds.map((r) => r.droppedPerSecond)));
  fig.ratioDeliveringPollsOnly = round(median(rounds.map((r) => r.deliveringRatio)), 3);
  fig.stalledPolls = rounds.reduce((sum, r) => sum + r.stalls, 0);
  fig.met = fig.met && fig.allocatedAfterWarmUp === 0;
  return fig;
}

// 16 users x 720p at FPS, polled at 30 Hz: the script thread's CPU time in
// getVideoFrame per second, as a percentage of one core, against set() doing the same
// copies.
async function cpuShare(kit, room) {
  const [width, height, users, pollMs] = [1280, 720, 16, Math.round(1000 / 30)];
  const paths = [];
  const baselines = [];
  for (let i = 0; i < ROUNDS; i++) {
    const path = await framePath(kit, room, width, height, users, pollMs);
    const baseline = await sharedCopy(width * height * 1.5, users, pollMs);
    paths.push(path.busyPercent);
    baselines.push(baseline.busyPercent);
  }
  const fig = figure({ paths, baselines, ratios: paths.map((p, i) => p / baselines[i]) });
  fig.unit = '% of one core';
  return fig;
}

async function run() {
  const kit = new brimo.IQVParloWrap();
  kit.initialize({ appKey: 'bench' }, () => {});
  const { context, id } = await joinRoom(kit, 'bench-room');
  const results = {};
  const rows = [];
  for (const [label, width, height, target] of RESOLUTIONS) {
    for (const users of USERS) {
      const name = `frame${label}x${users}`;
      const fig = await measure(kit, 'bench-room', label, width, height, users, target);
      results[name] = fig;
      rows.push(row(`${name}: getVideoFrame vs cold set(), ns/frame`, fig, {
        'script thread CPU: ratio (range)': `${fig.cpu.ratio} (${fig.cpu.range[0]}-${fig.cpu.range[1]}) ${fig.cpu.met ? 'met' : 'NOT met'}`,
        'allocated after warm-up': fig.allocatedAfterWarmUp,
        'delivered/s': fig.deliveredPerSecond,
        'dropped/s': fig.droppedPerSecond,
      }));
    }
  }
  results.frameCpu16x720p = await cpuShare(kit, 'bench-room');
  rows.push(row('frameCpu16x720p: % of one core in getVideoFrame, 16 users 720p 30fps polled 30Hz (vs set())',
    results.frameCpu16x720p));
  context.removeRoomListener(id);
  return { results, rows };
}

module.exports = { run };

if (require.main === module) {
  run().then(({ results, rows }) => {
    console.table(rows);
    writeResults(results);
  }).catch((e) => {
    console.error(e);
    process.exitCode = 1;
  });
}
