'use strict';
// Every method of every class as its contract table states it: its name and place,
// the SDK operation it reaches and with what, what it returns, how it calls back,
// what a missing link of its chain does to it, which arguments run script while
// they are converted, and the lines it writes.

const test = require('node:test');
const assert = require('node:assert/strict');
const path = require('node:path');
const { inspect } = require('node:util');
const { brimo, runChild } = require('./helpers');
const {
  tables, fixture, ADAPTER, Partial, resolving, valueOf, withSetUp, valuesFor, argsOf, invoke, unregister, sdkCalls,
} = require('./contracts');

const methodsOf = (cls) => Object.getOwnPropertyNames(cls.prototype).filter((n) => n !== 'constructor');
/** The rows of every table that pass `filter`, with their table. */
const rows = (filter) => tables.flatMap((table) => table.methods.filter(filter).map((row) => ({ table, row })));
const label = ({ table, row }) => `${table.className}.${row.name}`;

/** `expected` is a value (deep-equal) or a predicate (value, ctx). */
function expectValue(actual, expected, ctx, what) {
  if (typeof expected === 'function') assert.ok(expected(actual, ctx), `${what}: ${inspect(actual, { depth: 4 })}`);
  else assert.deepEqual(actual, expected, what);
}

/** What the SDK received against the row's `sdk.args`. */
function expectSdkArgs(actual, expected, row, values) {
  assert.equal(actual.length, expected.length, `argument count of ${inspect(actual)}`);
  expected.forEach((arg, i) => {
    if (arg === ADAPTER && row.listener === 'remove') {
      assert.equal(actual[i], values.adapter, 'the adapter its add registered');
    } else if (arg === ADAPTER) {
      assert.match(String(actual[i]), new RegExp(`^${row.kind}#\\d+$`), `a new adapter of kind ${row.kind}`);
    } else if (arg instanceof Partial) {
      const picked = Object.fromEntries(Object.keys(arg.fields).map((key) => [key, actual[i][key]]));
      assert.deepEqual(picked, arg.fields, `argument ${i}`);
    } else {
      assert.deepEqual(actual[i], arg, `argument ${i}`);
    }
  });
}

/** Puts the links back, then one completion of the SDK thread and a few turns of the
 * event loop: a callback queued by an earlier call would have run by then. */
async function settleDown(ctx) {
  unregister(ctx);
  await new Promise((resolve) => ctx.kit.uploadLog(() => resolve()));
  for (let i = 0; i < 3; i++) await new Promise((resolve) => setImmediate(resolve));
}

test('every class registers exactly the methods of its table, in order', () => {
  const mod = brimo();
  for (const table of tables) {
    assert.deepEqual(methodsOf(mod[table.className]), table.methods.map((m) => m.name), table.className);
  }
});

// How many methods each class documents; every class is whole, none a stub.
const DOCUMENTED = {
  IQVParloWrap: 18, IQVAuthServiceWrap: 6, IQVRoomServiceWrap: 11, IQVRoomRtcControllerWrap: 84,
  IQVRoomLiveControllerWrap: 10, IQVWaitingRoomControllerWrap: 14, IQVRoomSIPControllerWrap: 7,
  IQVRoomAppInviteControllerWrap: 4, IQVRoomWhiteboardControllerWrap: 11, IQVRoomAnnotationControllerWrap: 10,
  IQVRoomContextWrap: 48, IQVPreviewRoomContextWrap: 3, IQVPreviewRoomRtcController: 47, IQVVornServiceWrap: 2,
  IQVMessageChannelServiceWrap: 9, IQVRoomChatControllerWrap: 16,
};

test('the sixteen classes carry every documented method, each once', () => {
  const mod = brimo();
  assert.deepEqual(Object.keys(mod).sort(), Object.keys(DOCUMENTED).sort());
  for (const [className, count] of Object.entries(DOCUMENTED)) {
    const names = methodsOf(mod[className]);
    assert.equal(names.length, count, className);
    assert.equal(new Set(names).size, count, `${className}: no name twice`);
  }
});

test('each table makes an instance of its class in a fresh simulation', async () => {
  for (const table of tables) {
    const ctx = fixture();
    assert.ok((await table.make(ctx)) instanceof ctx.brimo[table.className], table.className);
  }
});

test('a missing link: resolving methods raise its message, reach nothing and never call back; listener methods answer quietly; the others keep working', async (t) => {
  for (const table of tables) {
    for (const link of table.links) {
      const skip = table.methods.length === 0 && 'the class has no methods yet';
      await t.test(`${table.className} without ${link.link}`, { skip }, async () => {
        await withSetUp(table, table.methods[0], async ({ ctx, object }) => {
          // Registrations to remove are made while the link is still there.
          const values = table.methods.map((row) => valuesFor(table, row, ctx, object));
          link.remove(ctx.sim, ctx);
          table.methods.forEach((row, i) => {
            const what = `${table.className}.${row.name} without ${link.link}`;
            ctx.sim.clearJournal();
            const call = () => invoke(table, row, { ctx, object, values: values[i] });
            if (row.listener) assert.equal(call(), row.fail, what);
            else if (row.resolves === false) expectValue(call(), row.returns, ctx, what);
            else if (link.message) assert.throws(call, { name: 'TypeError', message: link.message }, what);
            else assert.equal(call(), row.fail, `${what}: nothing raised`);
            assert.deepEqual(sdkCalls(ctx.sim), [], `${what} reached the SDK`);
          });
          // A removal that failed kept its registration: with the link back, it succeeds.
          ctx.sim.reset();
          table.methods.forEach((row, i) => {
            if (row.listener === 'remove') assert.equal(object[row.name](values[i].id), true, `${row.name} once the link is back`);
          });
          await settleDown(ctx);
          table.methods.forEach((row, i) => {
            // Where nothing is raised the failure's (-1, '') reaches the callback, inside the call.
            const failed = row.async && resolving(row) && link.prints ? [{ args: [-1, ''], self: undefined, returned: false }] : [];
            assert.deepEqual(values[i].callback.calls, failed, `${row.name}: callback`);
            assert.deepEqual(values[i].listener.calls, [], `${row.name}: listener`);
          });
        });
      });
    }
  }
});

test('each call reaches its SDK operation last, with its arguments in order, and returns its value', async (t) => {
  for (const entry of rows(() => true)) {
    const { table, row } = entry;
    await t.test(label(entry), () => withSetUp(table, row, async (setup) => {
      const { ctx, values } = setup;
      // A completion held until the journal is read: some (a join's) make SDK calls of their own.
      if (row.answer || row.async) ctx.sim.answer(row.sdk.op, { ...row.answer, ...(row.async && { mode: 'held' }) });
      const registered = row.listener && ctx.sim.listeners(row.kind, ctx.uuid || '');
      ctx.sim.clearJournal();
      expectValue(invoke(table, row, setup), row.returns, ctx, 'returns');
      const journal = sdkCalls(ctx.sim);
      if (row.sdk) {
        assert.equal(journal.at(-1)?.op, row.sdk.op, 'the SDK operation');
        expectSdkArgs(journal.at(-1).args, valueOf(row.sdk.args, ctx), row, values);
      } else {
        assert.deepEqual(journal, [], 'reaches no SDK operation');
      }
      if (row.listener) {
        const change = row.listener === 'add' ? 1 : -1;
        assert.equal(ctx.sim.listeners(row.kind, ctx.uuid || ''), registered + change, `${row.kind} listeners`);
      }
      if (row.async) {
        ctx.sim.releaseHeld();
        await values.callback.called();
      }
    }));
  }
});

test('asynchronous methods call back once, after returning, with this undefined: (0, "" [, result]), and an SDK failure unchanged', async (t) => {
  for (const entry of rows((row) => row.async)) {
    const { table, row } = entry;
    await t.test(label(entry), async () => {
      const inside = row.async === 'inside';
      // A failure completed on the SDK thread and one completed inside the SDK call.
      const failures = (inside ? [{}] : [{ mode: 'async' }, { mode: 'sync' }]).map((mode) => ({ code: 7, message: 'x', ...mode }));
      for (const answer of [{ code: 0, message: '', ...row.answer }, ...failures]) {
        const what = JSON.stringify(answer);
        await withSetUp(table, row, async (setup) => {
          setup.ctx.sim.answer(row.sdk.op, answer);
          invoke(table, row, setup);
          const { args, self, returned } = await setup.values.callback.called();
          assert.equal(returned, !inside, `${what}: ${inside ? 'before' : 'after'} the call returned`);
          assert.equal(self, undefined, `${what}: this`);
          assert.deepEqual(args.slice(0, 2), [answer.code, answer.message], what);
          if (row.result === false) assert.equal(args.length, 2, `${what}: (code, message) only`);
          else if (answer.code === 0) expectValue(args[2], row.result, setup.ctx, `${what}: result`);
          await settleDown(setup.ctx);
          assert.equal(setup.values.callback.calls.length, 1, `${what}: called once`);
        });
      }
    });
  }
});

const checked = rows((row) => row.checks?.length > 0);
test('argument checks raise their messages, reach no SDK operation and never call back',
  { skip: checked.length === 0 && 'no method checks its arguments yet' }, async (t) => {
    for (const entry of checked) {
      const { table, row } = entry;
      await t.test(label(entry), async () => {
        for (const check of row.checks) {
          const what = inspect(check.args);
          await withSetUp(table, row, async (setup) => {
            setup.ctx.sim.clearJournal();
            assert.throws(() => invoke(table, { ...row, args: check.args }, setup), { name: 'TypeError', message: check.error }, what);
            assert.deepEqual(sdkCalls(setup.ctx.sim), [], `${what} reached the SDK`);
            await settleDown(setup.ctx);
            assert.deepEqual(setup.values.callback.calls, [], `${what}: callback`);
          });
        }
      });
    }
  });

/**
 * An argument that notes every piece of script its conversion runs: an array (so
 * that list conversions take it) whose element is a getter and whose prototype is a
 * Proxy, so reading a key, testing one or listing them all runs a trap.
 */
function probe() {
  const ran = [];
  const note = (trap) => (...args) => {
    ran.push(trap);
    return Reflect[trap](...args);
  };
  const traps = Object.fromEntries(['get', 'has', 'ownKeys', 'getOwnPropertyDescriptor'].map((trap) => [trap, note(trap)]));
  const value = [];
  Object.defineProperty(value, 0, { get: () => ran.push('element') && {}, enumerable: true });
  Object.setPrototypeOf(value, new Proxy({}, traps));
  return { value, ran };
}

test('objectArgs name exactly the arguments whose conversion reads properties', async (t) => {
  for (const entry of rows((row) => typeof row.args === 'function' || row.args.length > 0)) {
    const { table, row } = entry;
    await t.test(label(entry), async () => {
      for (let i = 0, count = 1; i < count; i++) {
        await withSetUp(table, row, (setup) => {
          count = argsOf(row, setup.ctx, setup.values).length;
          const { value, ran } = probe();
          try {
            invoke(table, row, setup, { [i]: value });
          } catch {
            // A value of the wrong kind raises the runtime's error; only what ran matters here.
          }
          assert.equal(ran.length > 0, (row.objectArgs || []).includes(i), `argument ${i}: ${ran.join(', ') || 'nothing ran'}`);
        });
      }
    });
  }
});

// With a link missing, a resolving row writes the link's lines, the others their own; a
// resolving row with lines of its own is left out there, as the two interleave.
const tracedWithout = (link, row) => !(link && resolving(row) && row.trace);

test('each call writes exactly its trace lines, with every link and with each one missing', () => {
  const contracts = JSON.stringify(path.join(__dirname, 'contracts'));
  const { status, stderr, stdout } = runChild(`
    const C = require(${contracts});
    const tracedWithout = ${tracedWithout.toString()};
    const resolving = C.resolving;
    // The markers go straight to the descriptor, as the trace lines do: a stream write
    // waits in a queue when the pipe is full, and the lines would pass it.
    const out = (text) => require('fs').writeSync(1, text);
    const section = (what, lines) => out('\\n@@' + JSON.stringify({ what, lines: lines || [] }) + '\\n');
    const end = () => out('\\n@@end\\n');
    (async () => {
      for (const table of C.tables) {
        for (const link of [undefined, ...table.links]) {
          for (const row of table.methods.filter((row) => tracedWithout(link, row))) {
            const setup = await C.setUp(table, row);
            let lines = C.valueOf(row.trace, setup.ctx);
            if (link) {
              link.remove(setup.ctx.sim, setup.ctx);
              if (resolving(row)) lines = [...(link.trace || []), ...(link.prints ? [link.prints] : [])];
            }
            section(table.className + '.' + row.name + (link ? ' without ' + link.link : ''), lines);
            try { C.invoke(table, row, setup); } catch {}
            if (row.async && !link) await setup.values.callback.called();
            end();
            C.unregister(setup.ctx);
          }
        }
      }
      process.exit(0);
    })();
  `, { timeout: 120000 });
  assert.equal(status, 0, stderr);
  const sections = [];
  let open = null;
  for (const line of stdout.split('\n')) {
    if (line === '@@end') {
      sections.push(open);
      open = null;
    } else if (line.startsWith('@@')) {
      open = { ...JSON.parse(line.slice(2)), written: [] };
    } else if (open && line !== '' && !line.startsWith('~')) {
      // Lines of wrappers collected meanwhile begin with '~'.
      open.written.push(line);
    }
  }
  const expected = tables.reduce((n, table) => n + [undefined, ...table.links]
    .reduce((m, link) => m + table.methods.filter((row) => tracedWithout(link, row)).length, 0), 0);
  assert.equal(sections.length, expected, 'every row ran with every link and without each');
  for (const { what, lines, written } of sections) assert.deepEqual(written, lines, what);
});
