'use strict';
// What the module's TypeScript declarations say each method takes, read at run time
// so that the fuzzer can make argument lists that pass the module's type checks and
// reach the conversions behind them: for each class, each method's parameter types;
// for each interface, its keys and their types; and the type aliases.

/** Splits `text` at top-level `separator`s (outside (), [], {} and <>; `=>` is no bracket). */
function splitTop(text, separator) {
  const parts = [];
  let depth = 0;
  let start = 0;
  for (let i = 0; i < text.length; i++) {
    const c = text[i];
    if ('([{<'.includes(c)) depth++;
    else if (')]}'.includes(c) || (c === '>' && text[i - 1] !== '=')) depth--;
    else if (depth === 0 && text.startsWith(separator, i)) {
      parts.push(text.slice(start, i));
      start = i + separator.length;
    }
  }
  parts.push(text.slice(start));
  return parts.map((p) => p.trim()).filter(Boolean);
}

/** The parameter types of a method's declaration line, or null when the line is no method. */
function parameters(line) {
  const match = /^\s+([A-Za-z_]\w*)\((.*)\):\s*[^;]+;\s*$/.exec(line);
  if (!match) return null;
  const types = splitTop(match[2], ',').map((param) => {
    const at = param.indexOf(':');
    return at < 0 ? 'unknown' : param.slice(at + 1).trim();
  });
  return { name: match[1], types };
}

/** { classes: { C: { m: [type, ...] } }, interfaces: { I: { key: type } }, aliases: { A: type } } */
function parseDeclarations(source) {
  const classes = {};
  const interfaces = {};
  const aliases = {};
  let block = null;
  let pending = '';
  const balance = (text) => [...text].reduce((n, c) => n + (c === '(' ? 1 : c === ')' ? -1 : 0), 0);
  for (const raw of source.split('\n')) {
    // A declaration written over several lines is read as one.
    const line = pending ? `${pending} ${raw.trim()}` : raw;
    if (block && block.kind === 'class' && balance(line) > 0) {
      pending = line;
      continue;
    }
    pending = '';
    const opened = /^export (?:declare )?(class|interface) (\w+)[^{]*\{\s*$/.exec(line);
    if (opened) {
      block = { kind: opened[1], members: {} };
      (opened[1] === 'class' ? classes : interfaces)[opened[2]] = block.members;
      continue;
    }
    if (block && /^\}/.test(line)) {
      block = null;
      continue;
    }
    const alias = /^export type (\w+)(?:<[^=]*>)?\s*=\s*(.+);\s*$/.exec(line);
    if (alias) aliases[alias[1]] = alias[2].trim();
    if (!block) continue;
    if (block.kind === 'class') {
      const method = parameters(line);
      // Overloads: the first declaration of a name is its main form.
      if (method && !block.members[method.name]) block.members[method.name] = method.types;
    } else {
      const field = /^\s+(?:readonly\s+)?([A-Za-z_]\w*)\??:\s*(.+?);?\s*$/.exec(line);
      if (field) block.members[field[1]] = field[2];
    }
  }
  return { classes, interfaces, aliases };
}

const TYPED_ARRAYS = /^(ArrayBufferView|ArrayBuffer|Uint8Array|Uint8ClampedArray|Int8Array|Uint16Array|Int16Array|Uint32Array|Int32Array|Float32Array|Float64Array|TypedArray|Buffer)$/;

/**
 * The category of a type: { is: 'string' | 'number' | 'boolean' | 'bigint' | 'function'
 * | 'bytes' | 'array' | 'map' | 'record' | 'unknown', of?, keys? }.
 */
function categorise(type, decl, depth = 0) {
  const t = type.trim();
  if (depth > 8) return { is: 'unknown' };
  if (t.includes('=>')) return { is: 'function' };
  const union = splitTop(t, '|').filter((p) => p !== 'null' && p !== 'undefined');
  if (union.length > 1) return categorise(union[0], decl, depth + 1);
  if (union.length === 1 && union[0] !== t) return categorise(union[0], decl, depth + 1);
  if (/^'.*'$/.test(t) || /^`.*`$/.test(t) || t === 'string') return { is: 'string' };
  if (t === 'number' || /^-?\d/.test(t)) return { is: 'number' };
  if (t === 'boolean' || t === 'true' || t === 'false') return { is: 'boolean' };
  if (t === 'bigint') return { is: 'bigint' };
  if (t === 'object') return { is: 'record', keys: null };
  if (TYPED_ARRAYS.test(t)) return { is: 'bytes' };
  if (t.endsWith('[]')) return { is: 'array', of: t.slice(0, -2).replace(/^\((.*)\)$/, '$1') };
  const generic = /^(\w+)<(.*)>$/.exec(t);
  if (generic && /^(ReadonlyArray|Array)$/.test(generic[1])) return { is: 'array', of: generic[2] };
  if (generic && generic[1] === 'Record') return { is: 'map', of: splitTop(generic[2], ',')[1] || 'string' };
  if (generic && generic[1] === 'Partial') return categorise(generic[2], decl, depth + 1);
  if (/^\{.*\}$/.test(t)) {
    const keys = {};
    for (const field of splitTop(t.slice(1, -1), ';').flatMap((f) => splitTop(f, ','))) {
      const m = /^(?:readonly\s+)?(\w+)\??:\s*(.+)$/.exec(field);
      if (m) keys[m[1]] = m[2];
    }
    return { is: 'record', keys };
  }
  const name = generic ? generic[1] : t;
  if (decl.interfaces[name]) return { is: 'record', keys: decl.interfaces[name] };
  if (decl.aliases[name]) return categorise(decl.aliases[name], decl, depth + 1);
  if (/Callback|Listener/.test(name)) return { is: 'function' };
  return { is: 'unknown' };
}

module.exports = { parseDeclarations, categorise, splitTop };
