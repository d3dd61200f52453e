'use strict';
// The tables the promise and event layers run on stay those of the contract tests, and
// the declared event maps name exactly the events the SDK's listeners have.

const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const ts = require('typescript');
const { sim, root } = require('./helpers');
const { render, files } = require('../scripts/api-tables');
const { listenerKinds } = require('../lib/api');

test('lib/api.js and lib/api.d.ts are what the contract tables give (node scripts/api-tables.js)', () => {
  const expected = render();
  assert.equal(fs.readFileSync(files.js, 'utf8'), expected.js);
  assert.equal(fs.readFileSync(files.dts, 'utf8'), expected.dts);
});

/** { kind: [event names] } of ListenerEvents in index.d.ts, inherited events included. */
function declaredEvents() {
  const file = path.join(root, 'index.d.ts');
  const program = ts.createProgram([file], { strict: true, noEmit: true, types: [] });
  const checker = program.getTypeChecker();
  const source = program.getSourceFile(file);
  const map = source.statements.find((s) => ts.isInterfaceDeclaration(s) && s.name.text === 'ListenerEvents');
  const kinds = {};
  for (const member of checker.getTypeAtLocation(map).getProperties()) {
    const type = checker.getTypeOfSymbolAtLocation(member, map);
    kinds[member.name] = type.getProperties().map((p) => p.name).sort();
  }
  return kinds;
}

// The global listener is the one whose SDK events reach script under another name: its
// three string events share one, the engine's lifecycle reaches script not at all.
const SCRIPT_NAMES = {
  global: {
    onRtcEngineEvent: 'Node_commonRtcEngineEvent',
    onRtcEngineMessage: 'Node_commonRtcEngineEvent',
    onRtcEngineWarning: 'Node_commonRtcEngineEvent',
    onBeforeRtcEngineInitialize: null,
    onAfterRtcEngineInitialize: null,
    onBeforeRtcEngineRelease: null,
  },
};

test('every listener kind\'s event map declares exactly the events its SDK listener brings to script', () => {
  const declared = declaredEvents();
  const raised = sim().events();
  assert.deepEqual(Object.keys(declared).sort(), Object.keys(raised).sort(), 'kinds');
  for (const [kind, names] of Object.entries(raised)) {
    const renamed = SCRIPT_NAMES[kind] || {};
    const reaching = names.map((name) => (name in renamed ? renamed[name] : name)).filter((name) => name !== null);
    assert.deepEqual(declared[kind], [...new Set(reaching)].sort(), kind);
  }
  for (const kind of Object.keys(listenerKinds)) assert.ok(kind in declared, `${kind} has an event map`);
});
