// The ES module entry points: named and default imports of brimo, brimo/sim,
// brimo/promises and brimo/events are the CommonJS modules' own exports.
import test from 'node:test';
import assert from 'node:assert/strict';
import { createRequire } from 'node:module';
import brimo, { IQVParloWrap, IQVRoomContextWrap } from 'brimo';
import * as brimoNamespace from 'brimo';
import sim, { reset, journal, events as simEvents } from 'brimo/sim';
import * as simNamespace from 'brimo/sim';
import promises, { promised, ParloError } from 'brimo/promises';
import * as promisesNamespace from 'brimo/promises';
import eventsModule, { listen } from 'brimo/events';
import * as eventsNamespace from 'brimo/events';

const require = createRequire(import.meta.url);

const named = (namespace) => Object.keys(namespace).filter((key) => key !== 'default').sort();

test('every entry point names exactly its CommonJS exports, and its default is that module', () => {
  for (const [id, namespace, defaults] of [
    ['brimo', brimoNamespace, brimo],
    ['brimo/sim', simNamespace, sim],
    ['brimo/promises', promisesNamespace, promises],
    ['brimo/events', eventsNamespace, eventsModule],
  ]) {
    const cjs = require(id);
    assert.equal(defaults, cjs, `${id}: default`);
    assert.deepEqual(named(namespace), Object.keys(cjs).sort(), `${id}: names`);
    for (const key of named(namespace)) assert.equal(namespace[key], cjs[key], `${id}: ${key}`);
  }
  assert.equal(named(brimoNamespace).length, 16);
});

test('a meeting through the ES module imports reaches the simulated SDK', async () => {
  reset();
  const kit = new IQVParloWrap();
  const room = await promised(kit.getRoomService()).joinRoom({ roomUuid: `esm-${process.pid}`, userName: 'Ann' }, {});
  assert.ok(room instanceof IQVRoomContextWrap);
  assert.deepEqual(journal('joinRoom').map((e) => e.args[0].roomUuid), [`esm-${process.pid}`]);
  const auth = listen(kit.getAuthService(), 'auth');
  sim.emit('auth', 'onAuthEvent', [3], { mode: 'sync' });
  auth.close();
  sim.answer('leaveRoom', { code: 5, message: 'no' });
  await assert.rejects(promised(room).leaveRoom(), (err) => err instanceof ParloError && err.code === 5);
  await promised(room).leaveRoom();
  assert.ok(simEvents().auth.includes('onAuthEvent'));
});
