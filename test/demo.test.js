'use strict';
// The demo meeting (npm start) runs to its end against the simulated SDK: every scene
// reaches the SDK and hears back, and the process exits on its own once script is done.

const test = require('node:test');
const assert = require('node:assert/strict');
const path = require('node:path');
const { spawnSync } = require('node:child_process');
const { root } = require('./helpers');

test('the demo meeting runs every scene and exits by itself', () => {
  const run = spawnSync(process.execPath, [path.join(root, 'examples', 'meeting.js')], { encoding: 'utf8', timeout: 120000 });
  assert.equal(run.signal, null, 'the demo was killed: it did not exit by itself');
  assert.equal(run.status, 0, run.stderr);
  const lines = run.stdout.split('\n').filter((l) => l.startsWith('[meeting]'));
  const expect = (pattern) => assert.ok(lines.some((l) => pattern.test(l)), `no line matches ${pattern}`);
  expect(/^\[meeting\] joined Daily stand-up 0/);
  expect(/^\[meeting\] promised changeMyName: the emitter heard \S+ now called Ann \(host\)$/);
  expect(/^\[meeting\] promised unlockRoom rejected: true unlockRoom 1013 the room is not locked by you$/);
  expect(/^\[meeting\] left the room: 0 rooms joined now: 0$/);
  expect(/^\[meeting\] released; initialized\? false$/);
  // The SDK heard the scenes in the order the demo runs them.
  const journal = lines.find((l) => l.startsWith('[meeting] the SDK received'));
  assert.ok(journal, 'the demo did not print the journal');
  const ops = journal.slice(journal.indexOf('calls:') + 'calls:'.length).trim().split(', ');
  const at = (op) => ops.indexOf(op);
  assert.ok(at('joinRoom') >= 0 && at('joinRoom') < at('changeMyName'));
  assert.ok(at('changeMyName') < at('unlockRoom') && at('unlockRoom') < at('leaveRoom'));
  assert.ok(at('leaveRoom') < ops.lastIndexOf('logout'));
});
