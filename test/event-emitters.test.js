'use strict';
// brimo/events: one listener registration as an EventEmitter, for every listener kind
// of the contract tables; events under their names with their payloads, events.once
// and async iteration, and close() giving the registration back so the process ends.

const test = require('node:test');
const assert = require('node:assert/strict');
const { once, on } = require('node:events');
const { tables, fixture } = require('./contracts');
const { runChild, root } = require('./helpers');
const { listen, ListenerEmitter } = require('../lib/events');
const { listenerKinds } = require('../lib/api');

test('every listener kind registers through its add method and close() removes it', async (t) => {
  for (const [kind, { className, add, remove }] of Object.entries(listenerKinds)) {
    await t.test(kind, async () => {
      const ctx = fixture();
      const object = await tables.find((table) => table.className === className).make(ctx);
      const scope = ctx.uuid || '';
      const before = ctx.sim.listeners(kind, scope);
      const events = listen(object, kind);
      assert.ok(events instanceof ListenerEmitter);
      assert.equal(ctx.sim.listeners(kind, scope), before + 1);
      assert.equal(ctx.sim.journal(add).length, 1, `${add} reached the SDK`);
      assert.equal(events.close(), true);
      assert.equal(events.close(), false, 'closed once');
      assert.equal(ctx.sim.listeners(kind, scope), before);
      assert.deepEqual(ctx.sim.journal(remove).map((e) => e.args), ctx.sim.journal(add).map((e) => e.args));
      if (ctx.room) await new Promise((resolve) => ctx.room.leaveRoom(resolve));
    });
  }
});

test('events arrive under their names with their payloads, for once and for async iteration', async () => {
  const ctx = fixture();
  const events = listen(ctx.kit.getAuthService(), 'auth');
  try {
    ctx.sim.emit('auth', 'onAuthEvent', [41]);
    assert.deepEqual(await once(events, 'onAuthEvent'), [41]);
    for (const code of [1, 2, 3]) ctx.sim.emit('auth', 'onAuthEvent', [code]);
    const heard = [];
    for await (const [code] of on(events, 'onAuthEvent')) {
      heard.push(code);
      if (heard.length === 3) break;
    }
    assert.deepEqual(heard, [1, 2, 3]);
  } finally {
    events.close();
  }
});

test('a room\'s events carry their converted payloads, every argument', async () => {
  const ctx = fixture();
  const table = tables.find((t) => t.className === 'IQVRoomContextWrap');
  const room = await table.make(ctx);
  const events = listen(room, 'room');
  try {
    const heard = once(events, 'onMemberPropertiesChanged');
    ctx.sim.rooms.emit(ctx.uuid, 'onMemberPropertiesChanged', 'bob', { b: '2', a: '1' });
    assert.deepEqual(await heard, ['bob', { a: '1', b: '2' }]);
    const volume = once(events, 'onLocalAudioVolumeIndication');
    ctx.sim.rooms.emit(ctx.uuid, 'onLocalAudioVolumeIndication', 12, true);
    assert.deepEqual(await volume, [12, true]);
  } finally {
    events.close();
    await new Promise((resolve) => room.leaveRoom(resolve));
  }
});

test('a kind the object does not take, or no kind at all, is refused before anything registers', () => {
  const ctx = fixture();
  const auth = ctx.kit.getAuthService();
  assert.throws(() => listen(auth, 'room'), { name: 'TypeError', message: /IQVRoomContextWrap/ });
  assert.throws(() => listen(auth, 'toString'), { name: 'TypeError', message: /no listener kind toString/ });
  assert.throws(() => listen({}, 'auth'), { name: 'TypeError' });
  assert.equal(ctx.sim.journal('addAuthListener').length, 0);
});

test('a missing SDK object throws, registering nothing', () => {
  const ctx = fixture();
  const auth = ctx.kit.getAuthService();
  ctx.sim.setLink('authService', false);
  try {
    assert.throws(() => listen(auth, 'auth'), /addAuthListener did not register/);
  } finally {
    ctx.sim.reset();
  }
});

test('after close() nothing keeps the process alive', () => {
  const child = runChild(`
    const { listen } = require(${JSON.stringify(`${root}/lib/events`)});
    const events = listen(new brimo.IQVParloWrap().getAuthService(), 'auth');
    events.on('onAuthEvent', (code) => { console.log('heard', code); events.close(); });
    sim.emit('auth', 'onAuthEvent', [9]);
  `);
  assert.equal(child.status, 0, child.stderr);
  assert.ok(child.lines.includes('heard 9'), child.stdout);
});
