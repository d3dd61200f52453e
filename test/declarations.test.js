'use strict';
// index.d.ts against the module itself: every class it declares is exported, every
// exported class is declared, each with exactly the methods the module registers.

const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const ts = require('typescript');
const { brimo, root } = require('./helpers');

/** { className: [method names, overloads once] } of the classes a declaration file exports. */
function declaredClasses(file) {
  const source = ts.createSourceFile(file, fs.readFileSync(file, 'utf8'), ts.ScriptTarget.Latest, true);
  const classes = {};
  for (const statement of source.statements) {
    if (!ts.isClassDeclaration(statement) || !statement.name) continue;
    if (!ts.getModifiers(statement)?.some((m) => m.kind === ts.SyntaxKind.ExportKeyword)) continue;
    const methods = statement.members.filter(ts.isMethodDeclaration).map((m) => m.name.getText(source));
    classes[statement.name.text] = [...new Set(methods)];
  }
  return classes;
}

test('index.d.ts declares exactly the exported classes, each with exactly its registered methods', () => {
  const declared = declaredClasses(path.join(root, 'index.d.ts'));
  const mod = brimo();
  assert.deepEqual(Object.keys(declared).sort(), Object.keys(mod).sort(), 'declared classes');
  for (const [name, methods] of Object.entries(declared)) {
    const registered = Object.getOwnPropertyNames(mod[name].prototype).filter((n) => n !== 'constructor');
    assert.deepEqual(methods.sort(), registered.sort(), name);
  }
});
