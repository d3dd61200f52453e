'use strict';
// The pieces the fuzzer and the soak are made of: the reader of the declarations,
// the hostile values (each is what it claims to be), the seeded generator, and a
// short soak that checks its own books.

const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { spawnSync } = require('node:child_process');
const { brimo } = require('./helpers');
const { parseDeclarations, categorise } = require('../fuzz/declarations');
const { helpers, rng, ACTIONS, FUZZ_ACTIONS, Trap, TRAP_VALUE } = require('../fuzz/values');

const root = path.join(__dirname, '..');

test('the declarations give every method of every class its parameter types', () => {
  const decl = parseDeclarations(fs.readFileSync(path.join(root, 'index.d.ts'), 'utf8'));
  for (const [name, Cls] of Object.entries(brimo())) {
    const methods = Object.getOwnPropertyNames(Cls.prototype).filter((m) => m !== 'constructor');
    assert.deepEqual(methods.filter((m) => !decl.classes[name] || !decl.classes[name][m]), [], `${name}: methods without declaration`);
  }
  const is = (type) => categorise(type, decl);
  assert.deepEqual(decl.classes.IQVParloWrap.initialize.map((t) => is(t).is), ['record', 'function']);
  assert.ok('appKey' in is('ParloOptions').keys);
  assert.deepEqual(is('VideoFrameRequest[]'), { is: 'array', of: 'VideoFrameRequest' });
  assert.ok('frame' in is('VideoFrameRequest').keys);
  assert.deepEqual([is('Record<string, string>'), is('string | null'), is("'a' | 'b'"), is('unknown'), is('object')],
    [{ is: 'map', of: 'string' }, { is: 'string' }, { is: 'string' }, { is: 'unknown' }, { is: 'record', keys: null }]);
  assert.equal(is('(code: number, message: string) => void').is, 'function');
});

test('each hostile value is what it claims to be', () => {
  const acted = [];
  const world = { kit: { release: () => acted.push('release') }, room: null, sim: { reset: () => acted.push('reset'), rooms: {} }, roomUuid: 'r' };
  const h = helpers(world);
  assert.equal(h.room, 'r');
  assert.equal(h.detached().byteLength, 0);
  assert.equal(h.detached('ArrayBuffer').byteLength, 0);
  assert.equal(h.shrunk().length, 0);
  assert.equal(h.sparse(1e8).length, 1e8);
  assert.equal(0 in h.sparse(3), false);
  assert.equal(h.lyingArray(100001).length, 100001);
  assert.equal(h.shared(8).buffer instanceof SharedArrayBuffer, true);
  assert.equal(h.str(1 << 20).length, 1 << 20);
  assert.equal(h.nul(3), '\0\0\0');
  assert.equal(h.self().self.self.a, 1);
  let depth = 0;
  for (let v = h.deep(50); v.a; v = v.a) depth++;
  assert.equal(depth, 50);
  assert.throws(() => h.trapProxy(0).x, Trap);
  assert.throws(() => h.trapProxy(1).x, (e) => e === TRAP_VALUE && !(e instanceof Error));
  assert.throws(() => h.revoked().x, TypeError);
  assert.throws(() => `${h.toPrim()}`, Trap);
  assert.throws(() => h.throwingAt({ a: 1, b: 2 }, 'b').b, Trap);
  assert.equal(h.throwingAt({ a: 1, b: 2 }, 'b').a, 1);
  assert.equal(Object.isFrozen(h.frozen({})), true);
  assert.equal(Object.getOwnPropertyDescriptor(h.lazy({ a: 1 }), 'a').get(), 1);
  // A getter action runs once however often the value is read, and the value reads as before.
  const released = FUZZ_ACTIONS.findIndex((a) => a.name === 'releases the kit');
  const value = h.act(released, { k: 'v' });
  assert.deepEqual([value.k, value.k, acted], ['v', 'v', ['release']]);
  assert.equal(FUZZ_ACTIONS.slice(0, ACTIONS.length).every((a, i) => a === ACTIONS[i]), true, 'the tests\' actions come first');
  const bytes = h.bytes(16);
  FUZZ_ACTIONS.find((a) => a.name === 'detaches the last array made').run(world);
  assert.equal(bytes.length, 0, 'the array made last was detached');
  // Callbacks tell completions from events, and count receivers.
  h.setStep(4);
  const cb = h.cb();
  cb(0, '');
  cb.call({}, 'onEvent');
  assert.deepEqual(h.callbacks.at(-1), { step: 4, calls: ['completion', 'event'], receivers: 1 });
  assert.equal(h.isTrap(TRAP_VALUE) && h.isTrap(new Trap('x')) && !h.isTrap(new Error('x')), true);
});

test('the generator is seeded: the same seed, the same numbers', () => {
  const draw = (seed) => Array.from({ length: 20 }, ((r) => () => r.int(1000))(rng(seed)));
  assert.deepEqual(draw(5), draw(5));
  assert.notDeepEqual(draw(5), draw(6));
  const r = rng(1);
  const values = Array.from({ length: 1000 }, () => r.next());
  assert.ok(values.every((v) => v >= 0 && v < 1) && new Set(values).size > 990);
});

test('a short soak keeps its books: every event and completion arrives, every frame is delivered or dropped', () => {
  const result = spawnSync(process.execPath, ['--expose-gc', path.join(root, 'bench', 'soak.js'),
    '--minutes', '3', '--interval', '1', '--warmup', '1', '--producers', '2', '--width', '64', '--height', '36',
    '--events', '2000', '--calls', '200', '--rss-mb', '256', '--heap-mb', '64'], { encoding: 'utf8', timeout: 120000, env: process.env });
  const lines = result.stderr.split('\n');
  assert.equal(result.status, 0, result.stderr);
  const minutes = lines.filter((l) => l.startsWith('minute '));
  assert.equal(minutes.length, 3, result.stderr);
  for (const line of minutes) {
    const figure = (name) => Number(new RegExp(`\\b${name} ([0-9.]+)`).exec(line)[1]);
    assert.equal(figure('eventsReceived'), figure('eventsRaised'), line);
    assert.equal(figure('completions'), figure('calls'), line);
    assert.equal(figure('carriersAlive'), 1, `only the room's listener holds a carrier: ${line}`);
    assert.ok(figure('eventsRaised') > 0 && figure('calls') > 0 && figure('framesProduced') > 0, line);
  }
  assert.ok(lines.includes('soak passed: no growth after warm-up, nothing lost'), result.stderr);
  assert.match(result.stderr, /frames: produced (\d+), counted \1,/);
});
