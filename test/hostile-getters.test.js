'use strict';
// Script that runs while an argument is read — a getter, a Proxy trap, a list
// element — may take the SDK object away before the SDK is called: it leaves or ends
// the room, removes the room's listener, forgets every room, resets the simulation,
// releases the kit. For every argument of every method whose conversion reads
// properties (the contract tables' objectArgs), each such getter leaves the process
// whole: no SDK call through a gone room, the callback at most once. The sanitizer
// run of the suite checks that no freed memory was touched on the way.

const test = require('node:test');
const assert = require('node:assert/strict');
const { tables, CB, setUp, invoke, unregister, argsOf } = require('./contracts');
const { ACTIONS, hostile } = require('../fuzz/values');

const cases = tables.flatMap((table) => table.methods
  .filter((row) => row.objectArgs?.length > 0 && row.resolves !== false && row.async !== 'inside')
  .flatMap((row) => row.objectArgs.map((position) => ({ table, row, position }))));

test('getters that take the SDK object away while an argument is read', async (t) => {
  assert.ok(cases.length >= 10, `arguments that run script: ${cases.length}`);
  for (const { table, row, position } of cases) {
    for (const action of ACTIONS) {
      await t.test(`${table.className}.${row.name} argument ${position}: a getter ${action.name}`, async () => {
        const setup = await setUp(table, row);
        const { ctx, values } = setup;
        if (ctx.room) ctx.listenerId = ctx.room.addRoomListener(() => {});
        const args = argsOf(row, ctx, values);
        ctx.sim.clearJournal();
        try {
          invoke(table, row, setup, { [position]: hostile(args[position], () => action.run(ctx)) });
        } catch {
          // A gone object raises its TypeError; that is the point.
        }
        const roomLevel = ctx.room !== undefined;
        if (roomLevel && action.gone && row.sdk) {
          assert.deepEqual(ctx.sim.journal(row.sdk.op), [], 'no SDK call through the gone room');
        }
        // Every completion the SDK owes arrives within a round trip and a few turns.
        await new Promise((resolve) => ctx.kit.uploadLog(() => resolve()));
        for (let i = 0; i < 3; i++) await new Promise((resolve) => setImmediate(resolve));
        if (row.args.includes?.(CB)) assert.ok(values.callback.calls.length <= 1, 'the callback ran at most once');
        if (ctx.room) {
          try {
            ctx.room.removeRoomListener(ctx.listenerId);
          } catch {
            // Already gone with its room.
          }
        }
        unregister(ctx);
        ctx.sim.rooms.reset();
      });
    }
  }
});
