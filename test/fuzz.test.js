'use strict';
// A short, seeded slice of the fuzzer (npm run fuzz runs the long one): every method
// of every class reached at run time, called with hostile argument lists in child
// processes, crashes nothing, aborts nothing, hangs nothing and throws nothing that
// is not an Error. The fuzzer's own judgement is checked too: a step that kills its
// process, throws a non-Error or never returns is caught, and cut down to itself.

const test = require('node:test');
const assert = require('node:assert/strict');
const { fuzz, runJob, minimise, program, environment, summary, render } = require('../fuzz/fuzz');

// The sanitizer run of the suite sets the build for its children through the environment.
const options = { env: environment('inherit').env, hangMs: 30000 };
const sanitized = /asan/.test(process.env.LD_PRELOAD || '');

test('a seeded slice of the fuzzer: no crash, abort, hang or bad throw', async () => {
  const report = await fuzz({ calls: 3000, seed: 20261206, batch: 1000, jobs: 2, build: 'inherit', hangMs: 30000 });
  const text = summary(report);
  assert.deepEqual(report.unreached, [], 'every class has an instance to call');
  assert.ok(report.methods >= 290, `methods enumerated: ${report.methods}`);
  assert.equal(report.steps, 3000, text);
  assert.deepEqual(report.failures.map((f) => `${f.kind} ${f.what} ${f.repro}`), [], text);
  assert.deepEqual(report.findings.map((f) => `${f.type}: ${f.value} at ${f.line}`), [], text);
  assert.ok(report.byKind.call > 2000 && report.byKind.receiver > 0 && report.byKind.construct > 0, text);
  // The arguments did reach the module: it refused some, and completions came back.
  assert.ok(report.throws.TypeError > 100, text);
  assert.ok(report.completions > 50, text);
});

test('the same seed makes the same steps', async () => {
  const surface = {
    keys: ['roomUuid', 'userName'],
    classes: { A: { reached: true, methods: { m: [1], n: [] } }, B: { reached: false, methods: { k: [] } } },
  };
  const a = program(surface, 7, 3, 300).map(render);
  assert.deepEqual(program(surface, 7, 3, 300).map(render), a);
  assert.notDeepEqual(program(surface, 7, 4, 300).map(render), a);
  assert.ok(a.some((line) => line.startsWith('o.A.m(')) && !a.some((line) => line.startsWith('o.B.')), 'only reached instances are called');
});

test('a step that kills its process is a crash, cut down to that step alone', async () => {
  const steps = [
    { kind: 'call', head: 'o.IQVParloWrap.getNetworkType', args: [] },
    { kind: 'call', head: 'o.IQVRoomContextWrap.getRoomUuid', args: ['1'] },
    { kind: 'call', head: 'process.kill', args: ['process.pid', "'SIGILL'"] },
    { kind: 'call', head: 'o.IQVParloWrap.getDeviceId', args: [] },
  ];
  const outcome = await runJob({ mode: 'run', lines: steps.map(render), progressEvery: 1 }, options);
  // A sanitizer that catches the signal reports it and aborts.
  assert.ok(outcome.kind === 'crash' || (sanitized && outcome.kind === 'abort'), outcome.kind);
  if (outcome.kind === 'crash') assert.equal(outcome.signal, 'SIGILL');
  assert.equal(outcome.step, 2);
  const cut = await minimise(steps, outcome, options);
  assert.equal(cut.reproduced, true);
  assert.deepEqual(cut.steps.map(render), ["process.kill(process.pid, 'SIGILL')"]);
});

test('an abort, a hang and a thrown non-Error are each told apart', async () => {
  const abort = await runJob({ mode: 'run', lines: ['o.IQVParloWrap.getSdkVersions()', 'process.abort()'] }, options);
  assert.equal(abort.kind, 'abort');
  const hang = await runJob({ mode: 'run', lines: ['for (;;) {}'], progressEvery: 1 }, { ...options, hangMs: 3000 });
  assert.equal(hang.kind, 'hang');
  assert.equal(hang.step, 0);
  const thrown = await runJob({ mode: 'run', lines: ["throw 'not an Error'", 'o.IQVRoomServiceWrap.joinRoom(h.trapProxy(1), {}, h.cb())', 'o.IQVParloWrap.getVideoFrame(null)'] }, options);
  assert.equal(thrown.kind, 'ok');
  // The string is a finding; the hostile value rethrown and the TypeError are not.
  assert.deepEqual(thrown.result.findings.map((f) => [f.type, f.step]), [['bad throw', 0]]);
  assert.equal(thrown.result.stats.trapThrows, 1);
});

test('a callback is judged by how it is called: a completion twice is a finding', async () => {
  const outcome = await runJob({
    mode: 'run',
    lines: ['const f = h.cb(); f(0, ""); f(0, "")', 'o.IQVParloWrap.uploadLog(h.cb())', 'const g = h.cb(); g.call({}, "onEvent")'],
  }, options);
  assert.equal(outcome.kind, 'ok');
  assert.deepEqual(outcome.result.findings.map((f) => [f.type, f.step]), [['callback called twice', 0], ['callback called with this', 2]]);
  assert.ok(outcome.result.stats.completions >= 3, 'the module\'s completion arrived before the child ended');
});
