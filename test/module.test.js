'use strict';
// Registration, construction and lifetime of the script classes.

const test = require('node:test');
const assert = require('node:assert/strict');
const { brimo, runChild } = require('./helpers');
const { tables } = require('./contracts');

// The classes in the order the module sets them on its exports: one contract table each.
const EXPORT_ORDER = tables.map((table) => table.className);

test('exports carry exactly the sixteen classes, in registration order, under their own names', () => {
  const mod = brimo();
  assert.deepEqual(Object.keys(mod), EXPORT_ORDER);
  for (const name of EXPORT_ORDER) {
    assert.equal(typeof mod[name], 'function', name);
    assert.equal(mod[name].name, name, `${name} is defined under its export name`);
  }
  assert.equal(require('..'), mod, "require('brimo') is the native module's exports");
});

test('a class constructor called without new throws the wrap TypeError', () => {
  const mod = brimo();
  for (const name of EXPORT_ORDER) {
    assert.throws(() => mod[name]('room-x'), {
      name: 'TypeError',
      message: "Class constructors cannot be invoked without 'new'",
    }, name);
  }
});

test('service getters return the same objects on every call, before and after initialize', () => {
  const { IQVParloWrap, IQVAuthServiceWrap, IQVRoomServiceWrap, IQVVornServiceWrap, IQVMessageChannelServiceWrap } = brimo();
  const kit = new IQVParloWrap();
  const first = [kit.getAuthService(), kit.getMessageChannelService(), kit.getVornService(), kit.getRoomService()];
  assert.ok(first[0] instanceof IQVAuthServiceWrap);
  assert.ok(first[1] instanceof IQVMessageChannelServiceWrap);
  assert.ok(first[2] instanceof IQVVornServiceWrap);
  assert.ok(first[3] instanceof IQVRoomServiceWrap);
  kit.initialize({}, () => {});
  const again = [kit.getAuthService(), kit.getMessageChannelService(), kit.getVornService(), kit.getRoomService()];
  again.forEach((service, i) => assert.equal(service, first[i]));
  assert.notEqual(new IQVParloWrap().getAuthService(), first[0], 'each kit wrapper makes its own services');
});

test('collecting the kit wrapper destroys the SDK once, after releasing its services', () => {
  const { lines, status, stderr } = runChild(`
    const collect = async (ref) => { for (let i = 0; i < 50 && ref.deref(); i++) { gc(); await new Promise((r) => setImmediate(r)); } gc(); await new Promise((r) => setImmediate(r)); return !ref.deref(); };
    (async () => {
      let kit = new brimo.IQVParloWrap();
      const auth = kit.getAuthService();
      const vornRef = new WeakRef(kit.getVornService());
      const kitRef = new WeakRef(kit);
      kit = null;
      console.log('kit collected', await collect(kitRef), 'destroyed', sim.counters().destroyCalls);
      console.log('unheld service collected', await collect(vornRef), 'destroyed', sim.counters().destroyCalls);
      console.log('held service works', auth.isLoggedIn(), 'destroyed', sim.counters().destroyCalls);
    })();
  `);
  assert.equal(status, 0, stderr);
  const report = lines.filter((l) => !l.endsWith(' '));
  assert.deepEqual(report, [
    'kit collected true destroyed 1',
    'unheld service collected true destroyed 1',
    'held service works false destroyed 1',
  ]);
  // The kit let go of its services before it destroyed the SDK: the journal's
  // destroy entry comes after nothing else the kit did, and the trace shows the
  // vorn service's destructor only once the kit was gone.
  assert.ok(lines.indexOf('~IQVVornServiceWrap ') > lines.indexOf('kit collected true destroyed 1'));
});

test('construction and destruction trace lines follow the order of the steps', () => {
  const { lines, status } = runChild(`
    let kit = new brimo.IQVParloWrap();
    kit.initialize({ appKey: 'k1' }, () => console.log('initialized'));
    console.log('constructed');
    kit = null;
    (async () => {
      for (let i = 0; i < 5; i++) { gc(); await new Promise((r) => setImmediate(r)); }
      console.log('end', sim.counters().destroyCalls);
    })();
  `);
  assert.equal(status, 0);
  assert.deepEqual(lines.slice(0, 7), [
    'IQVAuthServiceWrap ',
    'IQVMessageChannelServiceWrap ',
    'IQVVornServiceWrap ',
    'IQVRoomServiceWrap ',
    'initialize options:appKey:k1',
    'initialized',
    'constructed',
  ]);
  assert.deepEqual(lines.slice(7, 11).sort(), [
    '~IQVAuthServiceWrap ', '~IQVMessageChannelServiceWrap ', '~IQVRoomServiceWrap ', '~IQVVornServiceWrap ',
  ]);
  assert.deepEqual(lines.slice(11), ['end 1']);
});

test('a worker thread loads the module while no other thread has it, and is refused while the main thread has it', () => {
  // A child process without the module preloaded, so that the worker tries first.
  const root = JSON.stringify(require.resolve('..'));
  const { lines, status, stderr } = runChild(`
    const { Worker } = require('node:worker_threads');
    const inWorker = "try { require(${root.replace(/"/g, "'")}); require('node:worker_threads').parentPort.postMessage('loaded'); }" +
      " catch (e) { require('node:worker_threads').parentPort.postMessage('refused: ' + e.message); }";
    const tryInWorker = () => new Promise((resolve) => {
      const worker = new Worker(inWorker, { eval: true });
      worker.once('message', (m) => { console.log('worker', m); worker.terminate().then(resolve); });
    });
    (async () => {
      await tryInWorker();
      const kit = new (require(${root}).IQVParloWrap)();
      await tryInWorker();
      kit.uploadLog((code) => console.log('main thread works', code));
    })();
  `, { preload: false });
  assert.equal(status, 0, stderr);
  const refused = 'worker refused: brimo is in use by another thread of this process; it can be loaded once that thread has ended';
  assert.deepEqual(lines.filter((l) => /^(worker|main)/.test(l)), ['worker loaded', refused, 'main thread works 0']);
});

test('the module and the SDK library export exactly their C entry points', () => {
  const { execFileSync } = require('node:child_process');
  const path = require('node:path');
  // The build the module was loaded from (the sanitizer run loads its own).
  const dir = process.env.BRIMO_BUILD_DIR || path.join(__dirname, '..', 'build', 'Release');
  const exported = (file) => execFileSync('nm', ['-D', '--defined-only', path.join(dir, file)], { encoding: 'utf8' })
    .split('\n').map((l) => l.split(' ')[2]).filter((name) => name && !name.startsWith('_Z')).sort();
  assert.deepEqual(exported('brimo.node'), ['brimo_bridge_stats', 'brimo_carrier_stats', 'brimo_video_stats', 'napi_register_module_v1', 'node_api_module_get_api_version_v1']);
  assert.deepEqual(exported('libparlo.so'), ['createQVParlo', 'destroyQVParlo', 'parlo_sim_control', 'parlo_sim_free']);
});
