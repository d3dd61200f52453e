'use strict';
// brimo/promises: the promise form of every asynchronous method of every class, row by
// row from the contract tables: what the SDK receives, the result on code 0, a
// ParloError on any other code, a missing link's error; synchronous methods pass through.

const test = require('node:test');
const assert = require('node:assert/strict');
const { inspect } = require('node:util');
const { tables, withSetUp, argsOf, CB } = require('./contracts');
const { promised, ParloError } = require('../lib/promises');
const { asyncMethods } = require('../lib/api');

const asyncRows = tables.flatMap((table) => table.methods.filter((row) => row.async).map((row) => ({ table, row })));
const label = ({ table, row }) => `${table.className}.${row.name}`;

/** The row's arguments without its callback: what the promise form takes. */
function promiseArgs(row, setup) {
  const args = argsOf(row, setup.ctx, setup.values);
  const at = row.args === undefined ? -1 : (typeof row.args === 'function' ? row.args(setup.ctx) : row.args).indexOf(CB);
  assert.equal(at, args.length - 1, 'the callback comes last');
  return args.slice(0, at);
}

function expectResult(value, row, ctx) {
  if (row.result === false) assert.equal(value, undefined, 'no result');
  else if (typeof row.result === 'function') assert.ok(row.result(value, ctx), inspect(value, { depth: 3 }));
  else assert.deepEqual(value, row.result);
}

test('every asynchronous method resolves with its result on code 0, the SDK having received the call', async (t) => {
  for (const entry of asyncRows) {
    const { table, row } = entry;
    await t.test(label(entry), () => withSetUp(table, row, async (setup) => {
      const { sim } = setup.ctx;
      sim.answer(row.sdk.op, { code: 0, message: '', ...row.answer });
      const before = sim.journal(row.sdk.op).length;
      const value = await promised(setup.object)[row.name](...promiseArgs(row, setup));
      assert.equal(sim.journal(row.sdk.op).length, before + 1, `${row.sdk.op} reached the SDK once`);
      expectResult(value, row, setup.ctx);
    }));
  }
});

test('every asynchronous method rejects with a ParloError carrying the SDK\'s code and message', async (t) => {
  for (const entry of asyncRows) {
    const { table, row } = entry;
    await t.test(label(entry), () => withSetUp(table, row, async (setup) => {
      setup.ctx.sim.answer(row.sdk.op, { code: 7, message: 'refused here' });
      await assert.rejects(promised(setup.object)[row.name](...promiseArgs(row, setup)), (err) => {
        assert.ok(err instanceof ParloError && err instanceof Error);
        assert.deepEqual({ name: err.name, code: err.code, message: err.message, method: err.method },
          { name: 'ParloError', code: 7, message: 'refused here', method: row.name });
        return true;
      });
    }));
  }
});

test('a missing SDK object rejects: with the TypeError the method raises, or with the -1 it reports', async (t) => {
  for (const entry of asyncRows.filter(({ table, row }) => row.resolves !== false && table.links.length > 0)) {
    const { table, row } = entry;
    const link = table.links.at(-1);
    await t.test(label(entry), () => withSetUp(table, row, async (setup) => {
      link.remove(setup.ctx.sim, setup.ctx);
      const call = promised(setup.object)[row.name](...promiseArgs(row, setup));
      if (link.prints) await assert.rejects(call, { name: 'ParloError', code: -1, method: row.name });
      else await assert.rejects(call, { name: 'TypeError', message: link.message });
    }));
  }
});

test('an argument the method refuses rejects with its TypeError, the SDK not called', async (t) => {
  // Checks of a whole argument list: the promise form puts its callback where the row's CB is.
  const whole = (row, check) => check.args.at(-1) === CB && check.args.length === asyncMethods[row.className][row.name] + 1;
  const refused = asyncRows.flatMap((entry) => (entry.row.checks || [])
    .filter((check) => whole({ ...entry.row, className: entry.table.className }, check))
    .map((check) => ({ ...entry, check })));
  assert.ok(refused.length > 0);
  for (const { table, row, check } of refused) {
    await t.test(`${table.className}.${row.name}(${inspect(check.args.slice(0, -1))})`, () => withSetUp(table, row, async (setup) => {
      const before = setup.ctx.sim.journal(row.sdk.op).length;
      await assert.rejects(promised(setup.object)[row.name](...check.args.slice(0, -1)), { name: 'TypeError', message: check.error });
      assert.equal(setup.ctx.sim.journal(row.sdk.op).length, before);
    }));
  }
});

test('synchronous methods pass through to the wrapper; one form per wrapper; only wrappers have one', async () => {
  const table = tables.find((t) => t.className === 'IQVAuthServiceWrap');
  const row = table.methods.find((m) => m.name === 'isLoggedIn');
  await withSetUp(table, row, async (setup) => {
    const form = promised(setup.object);
    assert.equal(promised(setup.object), form);
    assert.equal(form.wrapper, setup.object);
    setup.ctx.sim.answer('isLoggedIn', { ret: true });
    assert.equal(form.isLoggedIn(), true);
    assert.equal(setup.ctx.sim.journal('isLoggedIn').length, 1);
    const id = form.addAuthListener(() => {});
    assert.equal(form.removeAuthListener(id), true);
    const names = Object.getOwnPropertyNames(Object.getPrototypeOf(setup.object)).filter((n) => n !== 'constructor');
    assert.deepEqual(Object.keys(form).sort(), names.sort());
  });
  for (const value of [null, {}, 'kit', 7]) assert.throws(() => promised(value), { name: 'TypeError' });
});

test('joinRoom resolves with the joined room\'s context', async () => {
  const table = tables.find((t) => t.className === 'IQVRoomServiceWrap');
  const row = table.methods.find((m) => m.name === 'joinRoom');
  await withSetUp(table, row, async (setup) => {
    const room = await promised(setup.object).joinRoom({ roomUuid: `promised-${process.pid}`, userName: 'Ann' }, {});
    assert.ok(room instanceof setup.ctx.brimo.IQVRoomContextWrap);
    assert.equal(room.getRoomUuid(), `promised-${process.pid}`);
    await promised(room).leaveRoom();
    assert.equal(setup.ctx.sim.journal('leaveRoom').length, 1);
  });
});
