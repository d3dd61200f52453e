'use strict';
// Shared test helpers: loading the module and the simulated SDK, running a script in
// a child process (trace lines, exit behaviour), and waiting on callbacks.

const { spawnSync } = require('node:child_process');
const path = require('node:path');

const root = path.join(__dirname, '..');
const brimo = () => require(root);
const sim = () => require(path.join(root, 'sim'));

/**
 * Runs `source` in a fresh node process with `brimo` and `sim` already required.
 * Returns { status, signal, stdout, stderr, lines } where lines are stdout's lines.
 */
function runChild(source, { timeout = 30000, args = ['--expose-gc'], preload = true } = {}) {
  const prelude = preload
    ? `const brimo = require(${JSON.stringify(root)}); const sim = require(${JSON.stringify(path.join(root, 'sim'))});\n`
    : '';
  const result = spawnSync(process.execPath, [...args, '-e', prelude + source], {
    encoding: 'utf8',
    timeout,
    env: process.env,
  });
  return {
    status: result.status,
    signal: result.signal,
    stdout: result.stdout,
    stderr: result.stderr,
    lines: result.stdout.split('\n').filter((l) => l.length > 0),
  };
}

/** A promise of the next call of a callback, with its arguments, or a timeout. */
function nextCall(timeoutMs = 15000) {
  let resolve;
  let timer;
  const promise = new Promise((res, rej) => {
    resolve = res;
    timer = setTimeout(() => rej(new Error(`callback not called within ${timeoutMs} ms`)), timeoutMs);
  });
  const callback = (...args) => {
    clearTimeout(timer);
    resolve({ args, self: this });
  };
  return { callback, promise };
}

/** Waits until `predicate()` is true, polling on the event loop, or fails after a timeout. */
async function waitUntil(predicate, { timeoutMs = 15000, what = 'condition' } = {}) {
  const end = Date.now() + timeoutMs;
  while (!predicate()) {
    if (Date.now() > end) throw new Error(`timed out waiting for ${what}`);
    await new Promise((r) => setImmediate(r));
  }
}

/** Collects garbage until `ref` (a WeakRef) is cleared and finalisers have run. */
async function collect(ref, { rounds = 50 } = {}) {
  for (let i = 0; i < rounds && ref.deref() !== undefined; i++) {
    global.gc();
    await new Promise((r) => setImmediate(r));
  }
  // Finalisers of collected wrappers run after the collection itself.
  for (let i = 0; i < 5; i++) {
    global.gc();
    await new Promise((r) => setImmediate(r));
  }
  return ref.deref() === undefined;
}

/**
 * A listener that records every call as [eventName, ...payload] (or a note when
 * `this` is not undefined), added by `add(listener)`. remove() removes it through
 * `remove(id)`; a test that fails first has it removed when it ends.
 */
function recordingListener(t, add, remove) {
  const calls = [];
  const id = add(function (...args) {
    calls.push(this === undefined ? args : ['this is not undefined']);
  });
  let removed = false;
  const removeOnce = () => {
    removed = true;
    return remove(id);
  };
  t.after(() => removed || removeOnce());
  return { id, calls, remove: removeOnce };
}

module.exports = { root, brimo, sim, runChild, nextCall, waitUntil, collect, recordingListener };
