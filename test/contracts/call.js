'use strict';
// Calling one row of a contract table: a fresh simulation and instance, the row's
// arguments with their markers filled in, and recorders of what the callback and
// the listener receive. Listener registrations are kept so they can be undone: a
// registration keeps the process alive.

const { CB, LISTENER, ID, isId, fixture } = require('./common');

/** A row field that may be given as a function of the context. */
const valueOf = (field, ctx) => (typeof field === 'function' ? field(ctx) : field);

/** A function that records its calls: arguments, `this`, and whether the method it was given to had returned. */
function recorder() {
  const r = { calls: [], returned: false };
  let wake = () => {};
  r.fn = function (...args) {
    r.calls.push({ args, self: this, returned: r.returned });
    wake();
  };
  /** Its first call, or a failure after the timeout. */
  r.called = (timeoutMs = 15000) => new Promise((resolve, reject) => {
    if (r.calls.length > 0) return resolve(r.calls[0]);
    const timer = setTimeout(() => reject(new Error(`not called within ${timeoutMs} ms`)), timeoutMs);
    wake = () => {
      clearTimeout(timer);
      resolve(r.calls[0]);
    };
  });
  return r;
}

const rowOf = (table, role, kind) => table.methods.find((m) => m.listener === role && m.kind === kind);

/** Registers a listener through the table's add row of `kind`: { id, adapter } (the SDK's name for it). */
function register(table, object, kind, ctx) {
  const add = rowOf(table, 'add', kind);
  const id = object[add.name](() => {});
  ctx.registered.push({ object, remove: rowOf(table, 'remove', kind).name, id });
  return { id, adapter: ctx.sim.journal(add.name).at(-1).args[0] };
}

/** Puts every link back, runs held completions and removes every registration the row's test made. */
function unregister(ctx) {
  ctx.sim.reset();
  ctx.sim.releaseHeld();
  for (const { object, remove, id } of ctx.registered.splice(0)) {
    try {
      object[remove](id);
    } catch {
      // Already removed by the row itself.
    }
  }
}

/** Fresh recorders, and the id a remove row needs (registered now, while every link is there). */
function valuesFor(table, row, ctx, object) {
  const values = { callback: recorder(), listener: recorder(), id: undefined, adapter: undefined };
  if (row.listener === 'remove') Object.assign(values, register(table, object, row.kind, ctx));
  return values;
}

/** A fresh simulation, an instance of the table's class and the values the row's markers stand for. */
async function setUp(table, row) {
  const ctx = fixture();
  const object = await table.make(ctx);
  if (row.prepare) await row.prepare(object, ctx);
  return { ctx, object, values: valuesFor(table, row, ctx, object) };
}

/** Runs `body(setup)` on a fresh set-up and undoes what it left, whether it passed or failed. */
async function withSetUp(table, row, body) {
  const setup = await setUp(table, row);
  try {
    return await body(setup);
  } finally {
    unregister(setup.ctx);
  }
}

/** The row's arguments, markers filled in; `replace` puts other values at given positions. */
function argsOf(row, ctx, values, replace = {}) {
  const marked = { [CB]: values.callback.fn, [LISTENER]: values.listener.fn, [ID]: values.id };
  return valueOf(row.args, ctx).map((arg, i) => {
    if (i in replace) return replace[i];
    return typeof arg === 'symbol' && arg in marked ? marked[arg] : arg;
  });
}

/** Calls the row's method and answers what it returns; throws what it throws. */
function invoke(table, row, { ctx, object, values }, replace) {
  const args = argsOf(row, ctx, values, replace);
  let value;
  try {
    value = object[row.name](...args);
  } finally {
    values.callback.returned = true;
  }
  if (row.listener === 'add' && isId(value)) ctx.registered.push({ object, remove: rowOf(table, 'remove', row.kind).name, id: value });
  return value;
}

/** Rows that walk the resolution chain and raise (or print) its missing links. */
const resolving = (row) => row.resolves !== false && !row.listener;

/** The SDK's journal without destroyQVParlo, which the collection of any kit wrapper may add at any time. */
const sdkCalls = (s) => s.journal().filter((e) => e.op !== 'destroyQVParlo');

module.exports = { resolving, valueOf, recorder, register, unregister, valuesFor, setUp, withSetUp, argsOf, invoke, sdkCalls };
