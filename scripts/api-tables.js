'use strict';
// Writes lib/api.js and lib/api.d.ts from the contract tables in test/contracts, so
// that the promise and event layers know exactly the asynchronous methods and listener
// kinds that the contract tests drive. Run `node scripts/api-tables.js` after changing
// a table; the test suite fails while the written files differ from the tables.

const fs = require('node:fs');
const path = require('node:path');

const root = path.join(__dirname, '..');
const files = { js: path.join(root, 'lib', 'api.js'), dts: path.join(root, 'lib', 'api.d.ts') };

// Argument lists that depend on a test's state only need their length and markers here.
const anyContext = new Proxy({}, { get: () => 'x' });

/** { asyncMethods: { className: { method: callbackIndex } }, listenerKinds: { kind: { className, add, remove } } } */
function collect() {
  const { tables, CB } = require(path.join(root, 'test', 'contracts'));
  const asyncMethods = {};
  const listenerKinds = {};
  for (const table of tables) {
    const methods = {};
    for (const row of table.methods) {
      if (row.async) {
        const args = typeof row.args === 'function' ? row.args(anyContext) : row.args;
        const at = args.indexOf(CB);
        if (at < 0) throw new Error(`${table.className}.${row.name}: an asynchronous row without its callback`);
        methods[row.name] = at;
      }
      if (row.listener) {
        const kind = (listenerKinds[row.kind] = listenerKinds[row.kind] || { className: table.className });
        kind[row.listener] = row.name;
      }
    }
    asyncMethods[table.className] = methods;
  }
  return { asyncMethods, listenerKinds };
}

const HEADER = '// Written by scripts/api-tables.js from the contract tables: do not edit by hand.\n';
const quote = (s) => `'${s}'`;

function render({ asyncMethods, listenerKinds } = collect()) {
  const js = [
    "'use strict';",
    HEADER.trimEnd(),
    '// Every class\'s asynchronous methods with the position of their callback, and every',
    '// listener kind with the class that takes it and its add and remove methods.',
    '',
    'module.exports = {',
    '  asyncMethods: {',
    ...Object.entries(asyncMethods).map(([name, methods]) => {
      const entries = Object.entries(methods).map(([m, at]) => `${m}: ${at}`);
      return `    ${name}: ${entries.length ? `{ ${entries.join(', ')} }` : '{}'},`;
    }),
    '  },',
    '  listenerKinds: {',
    ...Object.entries(listenerKinds).map(([kind, k]) =>
      `    ${kind}: { className: ${quote(k.className)}, add: ${quote(k.add)}, remove: ${quote(k.remove)} },`),
    '  },',
    '};',
    '',
  ].join('\n');
  const byClass = {};
  for (const [kind, k] of Object.entries(listenerKinds)) (byClass[k.className] = byClass[k.className] || []).push(kind);
  const dts = [
    HEADER.trimEnd(),
    '',
    '/** The asynchronous methods of every class, by class name. */',
    'export interface AsyncMethodNames {',
    ...Object.entries(asyncMethods).map(([name, methods]) =>
      `  ${name}: ${Object.keys(methods).map(quote).join(' | ') || 'never'};`),
    '}',
    '',
    '/** The listener kinds every class takes, by class name. */',
    'export interface ListenerKindNames {',
    ...Object.keys(asyncMethods).map((name) => `  ${name}: ${(byClass[name] || []).map(quote).join(' | ') || 'never'};`),
    '}',
    '',
    '/** The add and remove methods of every listener kind. */',
    'export interface ListenerMethods {',
    ...Object.entries(listenerKinds).map(([kind, k]) => `  ${kind}: { add: ${quote(k.add)}; remove: ${quote(k.remove)} };`),
    '}',
    '',
    'export declare const asyncMethods: { readonly [C in keyof AsyncMethodNames]: { readonly [M in AsyncMethodNames[C]]: number } };',
    'export declare const listenerKinds: {',
    '  readonly [K in keyof ListenerMethods]: { readonly className: string; readonly add: ListenerMethods[K][\'add\']; readonly remove: ListenerMethods[K][\'remove\'] };',
    '};',
    '',
  ].join('\n');
  return { js, dts };
}

if (require.main === module) {
  const out = render();
  fs.writeFileSync(files.js, out.js);
  fs.writeFileSync(files.dts, out.dts);
}

module.exports = { collect, render, files };
