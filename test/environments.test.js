'use strict';
// One environment at a time: a worker thread that loaded the module and the
// simulated SDK ends, with listeners registered, completions held and frames
// flowing; the next worker, then the main thread, load them afresh and work. Two
// environments at once are refused.

const test = require('node:test');
const assert = require('node:assert/strict');
const path = require('node:path');
const { root, runChild } = require('./helpers');

const simPath = path.join(root, 'sim');

// Runs in the child process: `run(source)` starts a worker from a function's source,
// collecting its messages until it exits; `tryLoad(file)` loads a module in a worker
// and answers 'loaded' or its error.
const prelude = `
  const { Worker } = require('node:worker_threads');
  const ROOT = ${JSON.stringify(root)};
  const SIM = ${JSON.stringify(simPath)};
  const say = (...words) => console.log('> ' + words.join(' '));
  function start(fn, data) {
    const worker = new Worker('(' + fn.toString() + ')(' + JSON.stringify({ ROOT, SIM, ...data }) + ')', { eval: true });
    const messages = [];
    const waiting = [];
    worker.on('message', (m) => { messages.push(m); for (const w of waiting.splice(0)) w(); });
    worker.on('error', (e) => say('worker error', e.message));
    const exited = new Promise((resolve) => worker.once('exit', resolve));
    const next = (text) => new Promise((resolve) => {
      const look = () => (messages.includes(text) ? resolve() : waiting.push(look));
      look();
    });
    return { worker, messages, next, exited };
  }
  async function tryLoad(file) {
    const w = start(({ file }) => {
      const { parentPort } = require('node:worker_threads');
      try { require(file); parentPort.postMessage('loaded'); } catch (e) { parentPort.postMessage(e.message); }
    }, { file });
    await w.exited;
    return w.messages[0];
  }
  const waitFor = async (predicate) => { while (!predicate()) await new Promise((r) => setTimeout(r, 5)); };
`;

// Worker A: the module only (the main thread scripts the simulated SDK). It registers
// a listener of every id-keyed and room-level kind it can, leaves a login and a log
// upload held, listens to the frames of its room, and says when frames arrive.
function workerA({ ROOT }) {
  const { parentPort } = require('node:worker_threads');
  const brimo = require(ROOT);
  const kit = new brimo.IQVParloWrap();
  const auth = kit.getAuthService();
  auth.addAuthListener(() => {});
  kit.addGlobalEventListener(() => {});
  kit.getMessageChannelService().addMessageChannelListener(() => {});
  auth.login('ann', 'token', () => parentPort.postMessage('A login completed'));
  kit.uploadLog(() => parentPort.postMessage('A upload completed'));
  kit.getRoomService().joinRoom({ roomUuid: 'room-a', userName: 'Ann', role: 'host' }, {}, (code, message, room) => {
    room.addRoomListener(() => {});
    room.addRtcStatsListener(() => {});
    kit.startListenVideoFrame();
    const bytes = new Uint8Array(64 * 36 * 3 / 2);
    const poll = () => {
      const request = { frame: { userUuid: 'sim-user-1', bSubVideo: false, buffer: { bytes } } };
      kit.getVideoFrame([request]);
      if (request.code === 0) parentPort.postMessage('A frames flowing');
      else setImmediate(poll);
    };
    poll();
  });
}

// Worker B: loads the module after A has gone, and uses it end to end.
function workerB({ ROOT }) {
  const { parentPort } = require('node:worker_threads');
  const brimo = require(ROOT);
  const kit = new brimo.IQVParloWrap();
  const got = new Set();
  const report = (text) => { if (!got.has(text)) { got.add(text); parentPort.postMessage(text); } };
  kit.getAuthService().login('bob', 'token', (code) => report(`B login ${code}`));
  kit.getRoomService().joinRoom({ roomUuid: 'room-b', userName: 'Bob', role: 'host' }, {}, (code, message, room) => {
    report(`B joined ${code} ${room.getRoomUuid()}`);
    const id = room.addRoomListener((event, members) => {
      if (event === 'onMemberJoinRoom') report(`B heard ${event} ${members.map((m) => m.uuid).join()}`);
    });
    kit.startListenVideoFrame();
    const bytes = new Uint8Array(64 * 36 * 3 / 2);
    const poll = () => {
      const request = { frame: { userUuid: 'sim-user-1', bSubVideo: false, buffer: { bytes } } };
      kit.getVideoFrame([request]);
      if (request.code === 0) {
        report(`B frame ${request.frame.width}x${request.frame.height} total>0 ${request.total > 0}`);
        room.removeRoomListener(id);
        kit.stopListenVideoFrame();
        room.leaveRoom((left) => report(`B left ${left}`));
      } else {
        setImmediate(poll);
      }
    };
    poll();
    report('B listening');
  });
}

test('a worker that ends lets go of the module and the simulated SDK: the next worker, then the main thread, use them', () => {
  const { lines, status, stderr } = runChild(prelude + `
    const workerA = ${workerA};
    const workerB = ${workerB};
    (async () => {
      // The simulated SDK: a worker has it, the main thread is refused, the worker ends.
      const scripter = start(({ SIM }) => {
        const sim = require(SIM);
        sim.answer('login', { code: 7, times: -1 });
        const id = sim.frames.start({ room: 'nobody', users: 2, width: 64, height: 36, fps: 200 });
        const { parentPort } = require('node:worker_threads');
        parentPort.on('message', () => {});  // stays until terminated
        parentPort.postMessage(String(id));
      });
      await waitFor(() => scripter.messages.length === 1);
      try { require(SIM); say('main loaded the sim beside a worker'); } catch (e) { say('main refused:', e.message); }
      say('worker refused:', await tryLoad(SIM));
      await scripter.worker.terminate();
      const sim = require(SIM);
      say('the worker\\'s generator', JSON.stringify(sim.frames.status(Number(scripter.messages[0]))));
      say('scripted answers forgotten', JSON.stringify(sim.journal()), sim.counters().held);

      // Worker A leaves registrations, held completions and flowing frames behind.
      sim.answer('login', { mode: 'held' });
      sim.answer('uploadLog', { mode: 'held' });
      const frames = sim.frames.start({ room: 'room-a', users: 1, width: 64, height: 36, fps: 200, userUuids: ['sim-user-1'] });
      const a = start(workerA);
      await a.next('A frames flowing');
      say('while A runs, main:', (() => { try { require(ROOT); return 'loaded'; } catch (e) { return e.message; } })());
      say('while A runs, a worker:', await tryLoad(ROOT));
      sim.emit('room', 'onMemberJoinRoom', [[{ uuid: 'late' }]], { room: 'room-a', repeat: 1000 });
      sim.emit('auth', 'onAuthEvent', [1], { repeat: 1000 });
      say('held before A ends', sim.counters().held);
      await a.worker.terminate();
      const kinds = [['auth'], ['global'], ['messageChannel'], ['room', 'room-a'], ['rtcStats', 'room-a']];
      say('after A, listeners', kinds.map(([kind, room]) => sim.listeners(kind, room)).join());
      const removed = sim.journal().map((e) => e.op).filter((op) => /^remove.*Listener$/.test(op)).sort();
      say('A withdrew', removed.join());
      say('A destroyed its kit', sim.counters().destroyCalls);
      // The SDK answers A's calls after A has gone: nothing may reach A's environment.
      say('released into a gone environment', sim.releaseHeld());
      await waitFor(() => sim.counters().outstanding === 0);
      say('A heard after it ended', a.messages.filter((m) => /completed/.test(m)).length);
      say('what the module still holds for A', JSON.stringify(sim.bridgeStats()));
      sim.frames.stop(frames);

      // Worker B loads the module afresh and uses it end to end.
      const b = start(workerB);
      await b.next('B listening');
      sim.emit('room', 'onMemberJoinRoom', [[{ uuid: 'carl' }]], { room: 'room-b' });
      sim.frames.push({ room: 'room-b', user: 'sim-user-1', width: 64, height: 36 });
      await b.next('B left 0');
      await b.worker.terminate();
      for (const m of [...b.messages].sort()) say(m);

      // The main thread last.
      const brimo = require(ROOT);
      say('while main has it, a worker:', await tryLoad(ROOT));
      const kit = new brimo.IQVParloWrap();
      kit.getAuthService().login('cy', 'token', (code) => {
        say('main login', code);
        const id = kit.getAuthService().addAuthListener((event, value) => {
          say('main heard', event, value);
          kit.getAuthService().removeAuthListener(id);
        });
        sim.emit('auth', 'onAuthEvent', [5]);
      });
    })();
  `, { preload: false, timeout: 30000 });
  assert.equal(status, 0, `${stderr}\n${lines.join('\n')}`);
  const busy = (what) => `${what} is in use by another thread of this process; it can be loaded once that thread has ended`;
  assert.deepEqual(lines.filter((l) => l.startsWith('> ')).map((l) => l.slice(2)), [
    `main refused: ${busy('brimo/sim')}`,
    `worker refused: ${busy('brimo/sim')}`,
    'the worker\'s generator null',
    'scripted answers forgotten [] 0',
    `while A runs, main: ${busy('brimo')}`,
    `while A runs, a worker: ${busy('brimo')}`,
    'held before A ends 2',
    'after A, listeners 0,0,0,0,0',
    'A withdrew removeAuthListener,removeGlobalEventListener,removeMessageChannelListener,removeRoomListener,removeRtcStatsListener',
    'A destroyed its kit 1',
    'released into a gone environment 2',
    'A heard after it ended 0',
    'what the module still holds for A {"adapters":0,"calls":0}',
    'B frame 64x36 total>0 true',
    'B heard onMemberJoinRoom carl',
    'B joined 0 room-b',
    'B left 0',
    'B listening',
    'B login 0',
    `while main has it, a worker: ${busy('brimo')}`,
    'main login 0',
    'main heard onAuthEvent 5',
  ]);
});
