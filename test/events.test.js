'use strict';
// The listener bridge: ids, removal rules, delivery from SDK threads, lifetime; and
// the completions of the account and storage services.

const test = require('node:test');
const assert = require('node:assert/strict');
const { brimo, sim, runChild, waitUntil } = require('./helpers');

test('ids are unique across tables and start at 0 in a fresh process', () => {
  const { lines, status, stderr } = runChild(`
    const kit = new brimo.IQVParloWrap();
    const auth = kit.getAuthService();
    const ids = [auth.addAuthListener(() => {}), kit.addGlobalEventListener(() => {}), auth.addAuthListener(() => {}),
                 new brimo.IQVParloWrap().addGlobalEventListener(() => {})];
    console.log('ids', JSON.stringify(ids));
    process.exit(0);
  `);
  assert.equal(status, 0, stderr);
  assert.ok(lines.includes('ids [0,1,2,3]'), lines.join('\n'));
});

test('id-keyed removal: twice, or with another table\'s id, raises "Index out of bounds" and answers false', () => {
  const s = sim();
  s.reset();
  const kit = new (brimo().IQVParloWrap)();
  const auth = kit.getAuthService();
  const authId = auth.addAuthListener(() => {});
  const globalId = kit.addGlobalEventListener(() => {});
  assert.throws(() => kit.removeGlobalEventListener(authId), { name: 'TypeError', message: 'Index out of bounds' });
  assert.throws(() => auth.removeAuthListener(globalId), { name: 'TypeError', message: 'Index out of bounds' });
  assert.equal(auth.removeAuthListener(authId), true);
  assert.throws(() => auth.removeAuthListener(authId), { name: 'TypeError', message: 'Index out of bounds' });
  assert.equal(kit.removeGlobalEventListener(globalId), true);
  // The SDK saw each adapter added and removed once, as the same object.
  const ops = s.journal().filter((e) => /AuthListener|GlobalEventListener/.test(e.op));
  assert.deepEqual(ops.map((e) => e.op), ['addAuthListener', 'addGlobalEventListener', 'removeAuthListener', 'removeGlobalEventListener']);
  assert.equal(ops[0].args[0], ops[2].args[0]);
  assert.equal(ops[1].args[0], ops[3].args[0]);
});

test('events reach every registered listener with their payload, in the order raised', async () => {
  const s = sim();
  s.reset();
  const kit = new (brimo().IQVParloWrap)();
  const auth = kit.getAuthService();
  const a = [];
  const b = [];
  const g = [];
  const ids = [auth.addAuthListener(function (...args) { a.push([this, ...args]); }), auth.addAuthListener((...args) => b.push(args))];
  const gid = kit.addGlobalEventListener((...args) => g.push(args));
  for (let code = 0; code < 50; code++) s.emit('auth', 'onAuthEvent', [code - 10]);
  // The engine's lifecycle operations are not forwarded; the other three share one name.
  s.emit('global', 'onBeforeRtcEngineInitialize', ['not forwarded: before init']);
  s.emit('global', 'onRtcEngineEvent', ['event text']);
  s.emit('global', 'onAfterRtcEngineInitialize', ['not forwarded: after init']);
  s.emit('global', 'onBeforeRtcEngineRelease', ['not forwarded: before release']);
  s.emit('global', 'onRtcEngineMessage', ['message text']);
  s.emit('global', 'onRtcEngineWarning', ['ünïcode warning']);
  // One adapter delivers in order: once the last event is in, everything before it is too.
  await waitUntil(() => a.length === 50 && b.length === 50 && g.some(([, text]) => text === 'ünïcode warning'), { what: 'events' });
  assert.deepEqual(a.map(([self, name, code]) => [self, name, code]), Array.from({ length: 50 }, (_, i) => [undefined, 'onAuthEvent', i - 10]));
  assert.deepEqual(b, a.map(([, ...rest]) => rest));
  assert.deepEqual(g, [
    ['Node_commonRtcEngineEvent', 'event text'],
    ['Node_commonRtcEngineEvent', 'message text'],
    ['Node_commonRtcEngineEvent', 'ünïcode warning'],
  ]);
  ids.forEach((id) => auth.removeAuthListener(id));
  kit.removeGlobalEventListener(gid);
});

test('an event raised while script is busy arrives after script returns, as it was raised', async () => {
  const s = sim();
  s.reset();
  const auth = new (brimo().IQVParloWrap)().getAuthService();
  const seen = [];
  const id = auth.addAuthListener((...args) => seen.push(args));
  const before = s.counters().eventsRaised ?? 0;
  s.emit('auth', 'onAuthEvent', [7]);
  const start = Date.now();
  while ((s.counters().eventsRaised ?? 0) === before) {
    if (Date.now() - start > 15000) throw new Error('the SDK never raised the event');
  }
  assert.deepEqual(seen, [], 'not delivered while script runs');
  await waitUntil(() => seen.length === 1);
  assert.deepEqual(seen, [['onAuthEvent', 7]]);
  // A payload that does not read is refused to the script that raised it, not lost on the SDK thread.
  assert.throws(() => s.emit('auth', 'onAuthEvent', ['seven']), /onAuthEvent: .*must be number/);
  assert.throws(() => s.emit('auth', 'onAuthEvent', [1, 2]), /onAuthEvent: expected 1 arguments/);
  // Events of one adapter arrive in order: once the next good one is in, nothing else came.
  s.emit('auth', 'onAuthEvent', [8]);
  await waitUntil(() => seen.length === 2);
  assert.deepEqual(seen, [['onAuthEvent', 7], ['onAuthEvent', 8]]);
  auth.removeAuthListener(id);
});

test('events queued before removal are still delivered; none after', async () => {
  const s = sim();
  s.reset();
  const auth = new (brimo().IQVParloWrap)().getAuthService();
  const seen = [];
  const id = auth.addAuthListener((name, code) => seen.push(code));
  s.emit('auth', 'onAuthEvent', [1], { mode: 'sync' });
  assert.equal(auth.removeAuthListener(id), true);
  assert.equal(s.emit('auth', 'onAuthEvent', [2], { mode: 'sync' }), 0, 'the SDK no longer knows the listener');
  await waitUntil(() => seen.length === 1);
  await new Promise((r) => setImmediate(r));
  assert.deepEqual(seen, [1]);
});

test('a throwing listener surfaces as an uncaught exception and later events still arrive', () => {
  const { lines, status } = runChild(`
    process.on('uncaughtException', (e) => console.log('uncaught', e.message));
    const auth = new brimo.IQVParloWrap().getAuthService();
    let n = 0;
    const id = auth.addAuthListener((name, code) => { console.log('event', code); if (++n === 1) throw new Error('listener failed'); if (n === 3) auth.removeAuthListener(id); });
    for (const c of [1, 2, 3]) sim.emit('auth', 'onAuthEvent', [c]);
  `);
  assert.equal(status, 0);
  assert.deepEqual(lines.filter((l) => /^(event|uncaught)/.test(l)), ['event 1', 'uncaught listener failed', 'event 2', 'event 3']);
});

test('a registered listener keeps the process alive; removing every listener lets it exit', () => {
  const alive = runChild(`
    const auth = new brimo.IQVParloWrap().getAuthService();
    auth.addAuthListener(() => {});
  `, { timeout: 1500 });
  assert.equal(alive.signal, 'SIGTERM', 'still running while a listener is registered');

  const { status, signal, lines } = runChild(`
    const kit = new brimo.IQVParloWrap();
    const auth = kit.getAuthService();
    const ids = [auth.addAuthListener(() => {})];
    // A registration without a function has no carrier: it never holds the process.
    try { auth.addAuthListener(42); } catch {}
    const g = kit.addGlobalEventListener((name, text) => {
      console.log('got', text);
      ids.forEach((id) => auth.removeAuthListener(id));
      kit.removeGlobalEventListener(g);
    });
    sim.emit('global', 'onRtcEngineEvent', ['last']);
    process.on('exit', () => console.log('exited'));
  `, { timeout: 10000 });
  assert.equal(signal, null);
  assert.equal(status, 0);
  assert.deepEqual(lines.filter((l) => /^(got|exited)/.test(l)), ['got last', 'exited']);
});

test('a non-function listener raises the runtime error but is still registered and removable', () => {
  const s = sim();
  s.reset();
  const auth = new (brimo().IQVParloWrap)().getAuthService();
  assert.throws(() => auth.addAuthListener('not a function'));
  assert.equal(s.listeners('auth'), 1);
  const [{ args: [sdkId] }] = s.journal('addAuthListener');
  assert.match(sdkId, /^auth#/);
  // Events for it are dropped without harm.
  s.emit('auth', 'onAuthEvent', [1], { mode: 'sync' });
  // The throw hid its id; ids come from one counter, so it is the one before the next.
  const next = auth.addAuthListener(() => {});
  assert.equal(auth.removeAuthListener(next - 1), true, 'the registration without a carrier is removable');
  assert.equal(auth.removeAuthListener(next), true);
  assert.equal(s.listeners('auth'), 0);
  assert.deepEqual(s.journal('removeAuthListener').map((e) => e.args[0]), [sdkId, s.journal('addAuthListener')[1].args[0]]);
  assert.throws(() => auth.removeAuthListener(next - 1), { name: 'TypeError', message: 'Index out of bounds' });
  assert.equal(s.emit('auth', 'onAuthEvent', [2], { mode: 'sync' }), 0);
});

