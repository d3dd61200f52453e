'use strict';
// The call conventions every method shares: completions carried to the script
// thread, callbacks never run inside the call, carriers released; the auth service's
// lines around a failed resolution. Each method's own contract is in contracts/.

const test = require('node:test');
const assert = require('node:assert/strict');
const { brimo, sim, runChild, nextCall, waitUntil } = require('./helpers');

const kitWithSim = () => {
  const s = sim();
  s.reset();
  const kit = new (brimo().IQVParloWrap)();
  return { s, kit };
};

test('a completion is never delivered inside the call, also when the SDK completes synchronously', async () => {
  const { s, kit } = kitWithSim();
  for (const mode of ['async', 'sync']) {
    s.answer('uploadLog', { code: 7, message: `m-${mode}`, result: `text-${mode}`, mode });
    const { callback, promise } = nextCall();
    let returned = false;
    const seen = [];
    const wrapped = function (...args) {
      seen.push({ returnedBefore: returned, self: this });
      callback(...args);
    };
    assert.equal(kit.uploadLog(wrapped), 0);
    returned = true;
    const { args } = await promise;
    assert.deepEqual(args, [7, `m-${mode}`, `text-${mode}`], mode);
    assert.equal(seen[0].returnedBefore, true, `${mode}: callback ran after the method returned`);
    assert.equal(seen[0].self, undefined, `${mode}: this is undefined`);
  }
});

test('initialize calls back inside the call, before it returns', () => {
  const { kit } = kitWithSim();
  const order = [];
  const result = kit.initialize({}, function (code, message) {
    order.push(['callback', code, message, this]);
  });
  order.push(['returned', result]);
  assert.deepEqual(order, [['callback', 0, '', undefined], ['returned', 1]]);
});

test('initialize with a non-function callback still initialises the SDK, then throws', () => {
  const { s, kit } = kitWithSim();
  kit.release();
  assert.throws(() => kit.initialize({ appKey: 'x' }, 'not a function'));
  assert.equal(kit.isInitialized(), true);
  assert.equal(s.journal('initialize').length, 1);
});

test('a non-function callback raises the runtime error, the SDK call still happens, the completion is dropped', async () => {
  const { s, kit } = kitWithSim();
  const auth = kit.getAuthService();
  assert.throws(() => kit.uploadLog(42), (e) => e instanceof Error && !(e instanceof TypeError && /Null pointer/.test(e.message)));
  assert.throws(() => auth.logout(undefined));
  assert.deepEqual(s.journal().map((e) => e.op), ['uploadLog', 'logout']);
  // The dropped completions still ran on the SDK side; nothing is left outstanding.
  const { callback, promise } = nextCall();
  kit.uploadLog(callback);
  await promise;
  // The SDK thread counts a completion done once it has returned from it, which may
  // be after script has already been called back.
  await waitUntil(() => s.counters().outstanding === 0, { what: 'nothing outstanding' });
});

test('auth resolution writes its own trace lines, and loginByDynamicToken writes both of its lines when it throws', () => {
  const { lines, status, stderr } = runChild(`
    const kit = new brimo.IQVParloWrap();
    const auth = kit.getAuthService();
    sim.setLink('authService', false);
    try { auth.isLoggedIn(); } catch (e) { console.log('threw', e.message); }
    try { auth.loginByDynamicToken('u', 't', 'oauth', () => console.log('never')); } catch (e) { console.log('threw', e.message); }
    sim.setLink('kit', false);
    try { auth.logout(() => console.log('never')); } catch (e) { console.log('|threw', e.message); }
    sim.reset();
    auth.loginByDynamicToken('u', 't', 'sso', (code) => console.log('logged in', code, auth.isLoggedIn()));
  `);
  assert.equal(status, 0, stderr);
  assert.deepEqual(lines.slice(4).filter((l) => !l.startsWith('~')), [
    'authService is null ',
    'threw authService Null pointer exception',
    'loginByDynamicToken start authType: oauth ',
    'authService is null ',
    'loginByDynamicToken end authType: oauth ',
    'threw authService Null pointer exception',
    'parlo is  null|threw parlo Null pointer exception',
    'loginByDynamicToken start authType: sso ',
    'loginByDynamicToken end authType: sso ',
    'logged in 0 true',
  ]);
});

test('unchecked string arguments raise the runtime error and reach the SDK empty', () => {
  const { s, kit } = kitWithSim();
  assert.throws(() => kit.getVornService().setVornDownloadFilePath(17), /string/i);
  assert.deepEqual(s.journal('setVornDownloadFilePath'), [{ op: 'setVornDownloadFilePath', args: [''] }]);
});

test('a throwing callback does not stop later completions', () => {
  const { lines, status } = runChild(`
    process.on('uncaughtException', (e) => console.log('uncaught', e.message));
    const kit = new brimo.IQVParloWrap();
    kit.uploadLog(() => { throw new Error('boom'); });
    kit.uploadLog((code) => console.log('second', code));
    kit.getAuthService().login('a', 'b', (code) => console.log('third', code));
  `);
  assert.equal(status, 0);
  assert.deepEqual(lines.filter((l) => !l.startsWith('IQV') && !l.startsWith('~')), ['uncaught boom', 'second 0', 'third 0']);
});

test('10,000 asynchronous calls all complete, leave no carrier alive, and the process exits on its own', () => {
  const { lines, status, signal } = runChild(`
    const kit = new brimo.IQVParloWrap();
    const auth = kit.getAuthService();
    let done = 0;
    const N = 10000;
    for (let i = 0; i < N; i++) {
      const cb = (code) => { if (code === 0 && ++done === N) console.log('all', done, sim.counters().outstanding); };
      if (i % 2) kit.uploadLog(cb); else auth.login('u' + i, 'p', cb);
    }
    process.on('exit', () => console.log('exit', done));
  `, { timeout: 60000 });
  assert.equal(signal, null, 'the process ended by itself');
  assert.equal(status, 0);
  assert.deepEqual(lines.filter((l) => /^(all|exit)/.test(l)), ['all 10000 0', 'exit 10000']);
});

test('a held completion keeps the process alive until the SDK completes it', () => {
  const { lines, status } = runChild(`
    sim.answer('uploadLog', { mode: 'held' });
    const kit = new brimo.IQVParloWrap();
    kit.uploadLog((code, msg, text) => console.log('completed', code, text));
    setTimeout(() => { console.log('releasing', sim.counters().held); sim.releaseHeld(); }, 100);
  `);
  assert.equal(status, 0);
  assert.deepEqual(lines.filter((l) => /^(completed|releasing)/.test(l)), [
    'releasing 1', 'completed 0 https://logs.parlo.sim/upload/sim-device',
  ]);
});

test('kit methods hand SDK values through unchanged, signed, with the versions in their script order', async () => {
  const { s, kit } = kitWithSim();
  s.answer('getSdkVersions', { result: { imVersion: 'im', rtcVersion: 'rtc', whiteboardVersion: 'wb', parloVersion: 'p' } });
  assert.equal(JSON.stringify(kit.getSdkVersions()), '{"imVersion":"im","parloVersion":"p","rtcVersion":"rtc","whiteboardVersion":"wb"}');
  s.answer('switchLanguage', { ret: -3 });
  assert.equal(kit.switchLanguage(-1), -3);
  assert.deepEqual(s.journal('switchLanguage').map((e) => e.args), [[-1]]);
  s.answer('getNetworkType', { ret: -2 });
  s.answer('getDeviceId', { result: 'dev-9' });
  s.answer('getCurrentLogPath', { result: '/var/log/p' });
  assert.deepEqual([kit.getNetworkType(), kit.getDeviceId(), kit.getCurrentLogPath()], [-2, 'dev-9', '/var/log/p']);

  s.answer('initialize', { code: -7, message: 'no' });
  let init;
  assert.equal(kit.initialize({}, (...args) => { init = args; }), 1);
  assert.deepEqual(init, [-7, 'no']);
  s.answer('uploadLog', { code: -2147483648, message: 'low', result: 't' });
  const { callback, promise } = nextCall();
  assert.equal(kit.uploadLog(callback), 0);
  assert.deepEqual((await promise).args, [-2147483648, 'low', 't']);

  // release stops the SDK but never destroys it: a later initialize works.
  kit.initialize({}, () => {});
  assert.equal(kit.isInitialized(), true);
  const destroyed = s.counters().destroyCalls ?? 0;
  assert.equal(kit.release(), 1);
  assert.equal(kit.isInitialized(), false);
  assert.equal(s.counters().destroyCalls ?? 0, destroyed);
  kit.initialize({}, () => {});
  assert.equal(kit.isInitialized(), true);
});

test('every carrier is counted, and given back after its completion or its removal', async () => {
  const { s, kit } = kitWithSim();
  const waitFor = async (predicate) => {
    for (let i = 0; i < 200 && !predicate(); i++) await new Promise((r) => setTimeout(r, 5));
  };
  // Carriers of earlier tests may still be on their way out.
  await waitFor(() => s.carriers().alive === 0);
  const before = s.carriers();
  assert.equal(before.alive, before.made - before.finalised);
  const done = [];
  for (let i = 0; i < 5; i++) kit.uploadLog(() => done.push(i));
  const id = kit.getAuthService().addAuthListener(() => {});
  assert.deepEqual([s.carriers().made - before.made, s.carriers().alive - before.alive], [6, 6]);
  await waitFor(() => done.length === 5 && s.carriers().alive === before.alive + 1);
  assert.equal(s.carriers().alive, before.alive + 1, 'the five completions gave theirs back; the listener keeps its own');
  assert.equal(kit.getAuthService().removeAuthListener(id), true);
  await waitFor(() => s.carriers().alive === before.alive);
  assert.deepEqual(s.carriers(), { made: before.made + 6, finalised: before.finalised + 6, alive: before.alive });
  // A callback that is no function makes no carrier.
  assert.throws(() => kit.uploadLog(5));
  assert.equal(s.carriers().made, before.made + 6);
});
