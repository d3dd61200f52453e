'use strict';
// Makes renderer/index.cjs, the CommonJS form of renderer/index.mjs (for require() in
// an Electron renderer or a bundler that wants CommonJS): the same code, its exports
// gathered into module.exports. Run by scripts/setup.sh, so by every build and test.

const fs = require('node:fs');
const path = require('node:path');

const dir = path.join(__dirname, '..', 'renderer');
const source = fs.readFileSync(path.join(dir, 'index.mjs'), 'utf8');
const names = [];
const body = source.replace(/^export (class|function|const) ([A-Za-z_$][\w$]*)/gm, (_, kind, name) => {
  names.push(name);
  return `${kind} ${name}`;
});
// Anything else of module syntax would not survive the change: say so rather than
// write a file that cannot load.
const left = body.match(/^\s*(import|export)\b.*$/m);
if (left) throw new Error(`renderer/index.mjs: cannot make CommonJS of the line "${left[0].trim()}"`);
if (names.length === 0) throw new Error('renderer/index.mjs exports nothing');
const out = `'use strict';\n// Made from index.mjs by scripts/renderer-cjs.js: edit that file, not this one.\n\n${body}\nmodule.exports = { ${names.join(', ')} };\n`;
const target = path.join(dir, 'index.cjs');
if (!fs.existsSync(target) || fs.readFileSync(target, 'utf8') !== out) fs.writeFileSync(target, out);
