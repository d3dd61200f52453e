'use strict';
// A method finds its wrapper from its receiver. The wrapper last found is remembered
// per class; the remembered one must never answer for another receiver, alive or
// collected, nor for an object that merely inherits from a wrapper.

const test = require('node:test');
const assert = require('node:assert/strict');
const { brimo } = require('./helpers');
const { joined, freshUuid, settle, closeListeners } = require('./room-helpers');

test.afterEach(closeListeners);

test('methods called in turn on two rooms each answer for their own room', async () => {
  const first = await joined();
  const second = await joined({ roomUuid: freshUuid('other') });
  for (let i = 0; i < 50; i++) {
    assert.equal(first.ctx.getRoomUuid(), first.uuid);
    assert.equal(second.ctx.getRoomUuid(), second.uuid);
    assert.equal(second.ctx.getRoomUuid(), second.uuid);
  }
  second.s.rooms.setLink(second.uuid, 'roomContext', false);
  assert.equal(first.ctx.getRoomUuid(), first.uuid, 'the room that is there still answers');
  assert.throws(() => second.ctx.isRoomLocked(), /Null pointer exception/);
  assert.equal(first.ctx.isRoomLocked(), false);
});

test('a receiver that is not the remembered wrapper is refused, even right after it', async () => {
  const { ctx } = await joined();
  const isRoomLocked = Object.getPrototypeOf(ctx).isRoomLocked;
  assert.equal(ctx.isRoomLocked(), false);
  for (const receiver of [{}, Object.create(ctx), 7, undefined]) {
    assert.throws(() => isRoomLocked.call(receiver), Error, String(receiver));
    assert.equal(ctx.isRoomLocked(), false);
  }
  const kit = new (brimo().IQVParloWrap)();
  assert.equal(kit.getNetworkType(), 1);
  assert.throws(() => Object.getPrototypeOf(kit).getNetworkType.call(ctx), Error, 'a wrapper of another class');
});

test('once the remembered receiver is collected, a new one is found afresh', { skip: typeof global.gc !== 'function' }, async () => {
  const { ctx, rooms, uuid } = await joined();
  let other = rooms.getRoomContext(uuid);
  assert.equal(other.getRoomUuid(), uuid);
  const gone = new WeakRef(other);
  other = null;
  for (let i = 0; i < 10 && gone.deref() !== undefined; i++) {
    await new Promise((r) => setImmediate(r));
    global.gc();
  }
  assert.equal(gone.deref(), undefined, 'the wrapper was collected');
  const fresh = rooms.getRoomContext(uuid);
  assert.equal(fresh.getRoomUuid(), uuid);
  assert.equal(ctx.getRoomUuid(), uuid);
  await settle((cb) => new (brimo().IQVParloWrap)().uploadLog(cb));
});
