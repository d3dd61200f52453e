'use strict';
// Arguments written by a hostile caller: strings where maps belong, lists that claim
// a huge length, typed arrays of millions of entries. Each returns at once, reads
// nothing it need not, and the SDK receives what the README says.

const test = require('node:test');
const assert = require('node:assert/strict');
const { joined, settle, service } = require('./room-helpers');

const last = (s, op) => s.journal(op).at(-1);

test('a value that is not an object, where a map is expected, reaches the SDK as an empty map', async () => {
  const { s, ctx, rooms } = await joined();
  const huge = 'x'.repeat(16 * 1024 * 1024);
  for (const value of ['abc', huge, 42, true, Symbol('s'), 10n]) {
    s.clearJournal();
    await settle((cb) => ctx.changeMembersRole(value, cb));
    assert.deepEqual(last(s, 'changeMembersRole').args, [{}], typeof value);
  }
  s.clearJournal();
  await settle((cb) => rooms.createRoom({ roomUuid: 'made', initialProperties: huge }, {}, cb));
  assert.deepEqual(last(s, 'createRoom').args[0].initialProperties, {});
  await settle((cb) => ctx.leaveRoom(cb));
});

test('null and undefined where a map is expected still raise the runtime error, and the SDK gets an empty map', async () => {
  const { s, ctx } = await joined();
  for (const value of [null, undefined]) {
    s.clearJournal();
    assert.throws(() => ctx.changeMembersRole(value, () => {}), (e) => e instanceof Error && !/Null pointer/.test(e.message));
    assert.deepEqual(last(s, 'changeMembersRole').args, [{}]);
  }
  await settle((cb) => ctx.leaveRoom(cb));
});

test('lists and maps over the entry limit fail like a value of the wrong type, before any entry is read', async () => {
  const { s, ctx } = await joined();
  let reads = 0;
  const sparse = [];
  sparse.length = 1e8;
  Object.defineProperty(sparse, 0, { get() { reads++; return { mode: 1 }; } });
  s.clearJournal();
  assert.throws(() => ctx.startCloudRecord({ rtcRecordType: 1, modeList: sparse }, () => {}), RangeError);
  assert.equal(reads, 0, 'no element of the over-long list was read');
  assert.deepEqual(last(s, 'startCloudRecord').args[0].modeList, []);

  const big = new Uint8Array(16 * 1024 * 1024);
  s.clearJournal();
  assert.throws(() => ctx.changeMembersRole(big, () => {}), RangeError);
  assert.deepEqual(last(s, 'changeMembersRole').args, [{}]);

  // A typed array where a list is expected is not an array: the runtime's error, no walk.
  s.clearJournal();
  assert.throws(() => ctx.startCloudRecord({ modeList: big }, () => {}), (e) => !(e instanceof RangeError));
  assert.deepEqual(last(s, 'startCloudRecord').args[0].modeList, []);

  // Right at the limit the list is read whole.
  const many = Array.from({ length: 100000 }, (_, i) => ({ mode: i % 3 }));
  s.clearJournal();
  ctx.startCloudRecord({ modeList: many }, () => {});
  assert.equal(last(s, 'startCloudRecord').args[0].modeList.length, 100000);
  await settle((cb) => ctx.leaveRoom(cb));
});

test('a getter that leaves the room before the SDK call makes the call fail as a gone room does', async () => {
  const { s, ctx } = await joined();
  const { rooms } = service();
  let called = 0;
  const roles = {};
  Object.defineProperty(roles, 'bob', {
    enumerable: true,
    get() {
      ctx.leaveRoom(() => {});
      // Joining many rooms reuses the memory of the room just left.
      for (let i = 0; i < 50; i++) rooms.joinRoom({ roomUuid: `refill-${process.pid}-${i}` }, {}, () => {});
      return 'member';
    },
  });
  s.clearJournal();
  assert.throws(() => ctx.changeMembersRole(roles, () => called++), {
    name: 'TypeError', message: 'IQVRoomContextWrap Null pointer exception',
  });
  assert.deepEqual(s.journal('changeMembersRole'), [], 'the SDK was not called through the gone room');
  assert.equal(s.journal('leaveRoom').length, 1);
  await new Promise((r) => setTimeout(r, 20));
  assert.equal(called, 0);
  s.rooms.reset();
});
