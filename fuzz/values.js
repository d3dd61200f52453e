'use strict';
// Hostile argument values, shared by the fuzzer and the tests.
//
// Two halves: the runtime helpers (`helpers(world)`, reachable as `h` in a fuzz step)
// that make values no literal can — throwing getters, Proxies, detached buffers,
// callbacks that record how they are called — and the generator (`valueSource`)
// that writes a random argument as a line of JavaScript over those helpers, so
// that every call the fuzzer makes can be printed and run again as it was.

/** What a getter does (given the world), and whether a room-level object is gone after it. */
const ACTIONS = [
  { name: 'leaves the room', gone: true, run: (ctx) => ctx.room && ctx.room.leaveRoom(() => {}) },
  { name: 'ends the room', gone: true, run: (ctx) => ctx.room && ctx.room.endRoom(() => {}) },
  { name: 'forgets every room', gone: true, run: (ctx) => ctx.sim.rooms.reset() },
  { name: "removes the room's listener", gone: false, run: (ctx) => ctx.room && ctx.room.removeRoomListener(ctx.listenerId) },
  { name: 'resets the simulation', gone: false, run: (ctx) => ctx.sim.reset() },
  { name: 'releases the kit', gone: false, run: (ctx) => ctx.kit.release() },
];

/** More that a getter may do, for the fuzzer: re-enter the frame methods, detach an
 * array the module has already read, collect garbage, join another room. */
const FUZZ_ACTIONS = [
  ...ACTIONS,
  { name: 'stops and restarts the frames', run: (ctx) => { ctx.kit.stopListenVideoFrame(); ctx.kit.startListenVideoFrame(); } },
  { name: 'polls the frames', run: (ctx) => ctx.kit.getVideoFrame([{ frame: { userUuid: 'sim-user-1', buffer: { bytes: new Uint8Array(4096) } } }]) },
  { name: 'detaches the last array made', run: (ctx) => ctx.lastBytes && structuredClone(ctx.lastBytes.buffer, { transfer: [ctx.lastBytes.buffer] }) },
  { name: 'collects garbage', run: () => global.gc && global.gc() },
  { name: 'joins another room', run: (ctx) => ctx.kit.getRoomService().joinRoom({ roomUuid: 'fuzz-other' }, {}, () => {}) },
];

/** `value` with every read of it running `act` first (once): a Proxy for records and
 * maps, an array whose first element is a getter for lists. */
function hostile(value, act) {
  let done = false;
  const once = () => {
    if (!done) {
      done = true;
      act();
    }
  };
  if (Array.isArray(value)) {
    const copy = [...value];
    const first = copy[0];
    Object.defineProperty(copy, 0, { enumerable: true, get: () => { once(); return first; } });
    return copy;
  }
  const target = value !== null && typeof value === 'object' ? value : {};
  const trap = (name) => (...args) => { once(); return Reflect[name](...args); };
  return new Proxy(target, { get: trap('get'), has: trap('has'), ownKeys: trap('ownKeys'), getOwnPropertyDescriptor: trap('getOwnPropertyDescriptor') });
}

// ---- runtime helpers ----

/** What hostile script throws: an Error of its own, and a value that is no Error at all. */
class Trap extends Error {}
const TRAP_VALUE = Object.freeze({ trap: 'not an Error' });

/**
 * The helpers a fuzz step's expressions use as `h`. `world` is { kit, room, sim,
 * listenerId, roomUuid } (room-level actions act on world.room). Callbacks made by
 * h.cb() are kept in `callbacks` with every call they received.
 */
function helpers(world) {
  const callbacks = [];
  let step = -1;
  const throwers = [() => { throw new Trap('trap'); }, () => { throw TRAP_VALUE; }];
  const h = {
    callbacks,
    get room() {
      return world.roomUuid;
    },
    /** Which step is running, so that a finding names it. */
    setStep(i) {
      step = i;
    },
    isTrap: (e) => e === TRAP_VALUE || e instanceof Trap,
    /** A callback that records its calls: (code, message, result) twice is a finding. */
    cb() {
      const record = { step, calls: [], receivers: 0 };
      callbacks.push(record);
      return function fuzzCallback(...args) {
        record.calls.push(args.length > 0 && typeof args[0] === 'number' ? 'completion' : 'event');
        if (this !== undefined) record.receivers++;
      };
    },
    /** A callback that throws (an Error, or a value that is not one). */
    thrower: (which = 0) => throwers[which % 2],
    fnProxy: () => new Proxy(function proxied() {}, {}),
    str: (n) => 'x'.repeat(n),
    nul: (n) => '\0'.repeat(n),
    /** An object whose every trap throws. */
    trapProxy(which = 0) {
      const t = throwers[which % 2];
      return new Proxy({}, { get: t, has: t, ownKeys: t, getOwnPropertyDescriptor: t, getPrototypeOf: t, set: t });
    },
    revoked() {
      const { proxy, revoke } = Proxy.revocable({}, {});
      revoke();
      return proxy;
    },
    /** Conversion to a primitive throws. */
    toPrim: () => ({ [Symbol.toPrimitive]: throwers[0], valueOf: throwers[0], toString: throwers[1] }),
    /** `obj` with getters that throw at `keys` (every own key when none are given). */
    throwingAt(obj, ...keys) {
      const target = obj !== null && typeof obj === 'object' ? obj : {};
      for (const key of keys.length > 0 ? keys : Object.keys(target)) {
        Object.defineProperty(target, key, { enumerable: true, configurable: true, get: throwers[0] });
      }
      return target;
    },
    /** `obj` with every own property turned into a getter that answers it. */
    lazy(obj) {
      if (obj === null || typeof obj !== 'object') return obj;
      const out = Array.isArray(obj) ? [] : {};
      for (const key of Object.keys(obj)) Object.defineProperty(out, key, { enumerable: true, get: () => obj[key] });
      if (Array.isArray(obj)) out.length = obj.length;
      return out;
    },
    proxy: (obj) => new Proxy(obj !== null && typeof obj === 'object' ? obj : {}, {}),
    frozen: (obj) => Object.freeze(obj),
    /** A getter, Proxy or list element that runs FUZZ_ACTIONS[index] while read. */
    act(index, value) {
      const action = FUZZ_ACTIONS[index % FUZZ_ACTIONS.length];
      return hostile(value, () => action.run(world));
    },
    self() {
      const o = { a: 1 };
      o.self = o;
      o.list = [o];
      return o;
    },
    deep(n, array = false) {
      let v = {};
      for (let i = 0; i < n; i++) v = array ? [v] : { a: v, frame: v, buffer: v };
      return v;
    },
    sparse(n) {
      const a = [];
      a.length = n;
      return a;
    },
    detached(kind = 'Uint8Array') {
      const buffer = new ArrayBuffer(64);
      const view = kind === 'ArrayBuffer' ? buffer : new globalThis[kind](buffer);
      structuredClone(buffer, { transfer: [buffer] });
      return view;
    },
    shared: (n) => new Uint8Array(new SharedArrayBuffer(n)),
    /** A typed array that a later 'detaches the last array made' action can take away. */
    bytes(n) {
      world.lastBytes = new Uint8Array(n);
      return world.lastBytes;
    },
    /** A length-tracking view of a resizable buffer, shrunk to nothing after it was made. */
    shrunk() {
      try {
        const buffer = new ArrayBuffer(64, { maxByteLength: 128 });
        const view = new Uint8Array(buffer);
        buffer.resize(0);
        return view;
      } catch {
        return new Uint8Array(0);
      }
    },
    /** An array whose `length` getter throws, or claims more than it holds. */
    lyingArray(n) {
      return new Proxy([1, 2], { get: (t, k) => (k === 'length' ? n : Reflect.get(t, k)) });
    },
    /** A subclass instance and a bare object on the class's prototype. */
    subclass: (Cls, ...args) => new (class extends Cls {})(...args),
    bare: (Cls) => Object.create(Cls.prototype),
  };
  return h;
}

// ---- the generator: arguments as source text ----

/** A small, fast, seedable generator (sfc32); every figure of a run follows from its seed. */
function rng(seed) {
  let a = 0x9e3779b9 ^ seed;
  let b = 0x243f6a88 ^ Math.imul(seed, 0x85ebca6b);
  let c = 0xb7e15162 + seed;
  let d = 1;
  const next = () => {
    a >>>= 0; b >>>= 0; c >>>= 0; d >>>= 0;
    const t = (a + b + d) >>> 0;
    d = (d + 1) >>> 0;
    a = b ^ (b >>> 9);
    b = (c + (c << 3)) >>> 0;
    c = (c << 21) | (c >>> 11);
    c = (c + t) >>> 0;
    return t / 4294967296;
  };
  for (let i = 0; i < 12; i++) next();
  const int = (n) => Math.floor(next() * n);
  const pick = (list) => list[int(list.length)];
  return { next, int, pick, chance: (p) => next() < p };
}

const PRIMITIVES = [
  'undefined', 'null', 'true', 'false', '0', '-0', '1', '-1', 'NaN', 'Infinity', '-Infinity', '1.5', '-2.5e-300',
  '2**31', '2**31-1', '-(2**31)', '-(2**31)-1', '2**32', '2**32-1', '2**53', '2**53+2', '-(2**63)', '2**64',
  'Number.MAX_VALUE', 'Number.MIN_VALUE', '1e100', '-1e100',
  "''", "'x'", "'0'", "'-1'", "'\\0'", "'a\\0b\\0'", "'\\ud800'", "'\\udfff\\ud800'", "'\\u{1F600}'", "'é\\u0301'",
  "'\\n\\r\\t'", "'%s%n%d'", "'{\"a\":1}'", "'[object Object]'", 'h.room', "'sim-user-1'", "'sim-user-2'", "'nobody'",
  'h.nul(4096)', 'h.str(1 << 16)', 'h.str(1 << 20)',
  'Symbol()', "Symbol('s')", 'Symbol.iterator', '0n', '-1n', '2n**64n', '-(2n**63n)', '10n**40n',
];
// Rare, since each costs a big copy on every layer it crosses.
const HUGE = ['h.str(1 << 24)', "h.nul(1 << 22) + 'x'"];
const FUNCTIONS = [
  'h.cb()', 'h.cb()', 'h.cb()', 'h.thrower(0)', 'h.thrower(1)', 'h.fnProxy()', '() => {}', 'async () => {}',
  'function* () {}', 'class {}', 'Math.max', 'Function.prototype', 'h.cb', 'Symbol', 'gc',
];
const OBJECTS = [
  '{}', '[]', 'Object.create(null)', 'h.trapProxy(0)', 'h.trapProxy(1)', 'h.revoked()', 'h.toPrim()', 'h.self()',
  'h.deep(10000)', 'h.deep(10000, true)', 'h.deep(8)', 'h.sparse(1e8)', 'h.sparse(100001)', 'h.sparse(100000)',
  '[,,,]', '[undefined, null]', 'h.lyingArray(100001)', 'h.lyingArray(-1)', 'h.lyingArray(NaN)',
  'new Date(NaN)', '/x/g', 'new Map([[1, 2]])', 'new Set([1])', 'Promise.resolve(1)', 'new WeakRef({})',
  'globalThis', 'new Error("x")', 'new Number(1)', "new String('s')", 'new Boolean(false)', 'Object(1n)', 'Object(Symbol())',
  'h.bytes(3456)', 'h.bytes(8)', 'new Uint8Array(0)', 'new Uint8Array(1)', 'new Uint8Array(16)', 'new Uint8Array(3456)', 'new Uint8Array(1 << 20)',
  'new Uint8ClampedArray(7)', 'new Int8Array(3)', 'new Uint16Array(1728)', 'new Int16Array(5)', 'new Uint32Array(864)',
  'new Int32Array(1)', 'new Float32Array(9)', 'new Float64Array(432)', 'new BigInt64Array(2)', 'new BigUint64Array(2)',
  'new DataView(new ArrayBuffer(8))', 'new ArrayBuffer(16)', 'new ArrayBuffer(0)', 'Buffer.alloc(10)',
  "h.detached('Uint8Array')", "h.detached('Float64Array')", "h.detached('ArrayBuffer')", 'h.shared(64)', 'h.shrunk()',
  'new Uint8Array(new ArrayBuffer(16), 16)', 'new Float32Array(new ArrayBuffer(8), 4, 1)', 'new Uint16Array(new ArrayBuffer(9), 2, 3)',
];

/**
 * The generator of one run: `keys` are record keys the module reads (from its
 * declarations), `classes` the exported class names, `instances` the class names
 * that a step can reach as o.<name>.
 */
function valueSource(random, { keys, classes, instances, declarations }) {
  const { int, pick, chance } = random;
  const key = () => (chance(0.9) ? pick(keys) : pick(['', '0', '__proto__', 'constructor', 'length', 'then', 'toJSON']));
  // __proto__ as a computed key makes an own property, and may be given once per literal either way.
  const prop = (k) => (/^[A-Za-z_$][\w$]*$/.test(k) && k !== '__proto__' ? k : `[${JSON.stringify(k)}]`);
  const fieldsOf = (entries) => {
    const seen = new Set();
    return entries.filter(([k]) => !seen.has(k) && seen.add(k)).map(([k, v]) => `${prop(k)}: ${v}`);
  };

  function primitive() {
    return chance(0.004) ? pick(HUGE) : pick(PRIMITIVES);
  }

  function record(depth) {
    const n = int(6) + (chance(0.5) ? 1 : 0);
    const fields = [];
    for (let i = 0; i < n; i++) fields.push([key(), value(depth + 1)]);
    return `{ ${fieldsOf(fields).join(', ')} }`;
  }

  function list(depth) {
    const n = int(5);
    const items = [];
    for (let i = 0; i < n; i++) items.push(chance(0.15) ? '' : value(depth + 1));
    // A trailing hole needs its own comma.
    return `[${items.join(', ')}${items.length > 0 && items[items.length - 1] === '' ? ',' : ''}]`;
  }

  // A video frame request: the one argument whose shape is three objects deep.
  function frameRequest(depth) {
    const bytes = chance(0.6) ? pick(OBJECTS.filter((o) => /Array|Buffer|View|detached|shared|shrunk|bytes/.test(o))) : value(depth + 1);
    const user = chance(0.7) ? pick(["'sim-user-1'", "'sim-user-2'", "'nobody'"]) : value(depth + 1);
    const sub = chance(0.7) ? pick(['false', 'true']) : value(depth + 1);
    const buffer = chance(0.85) ? `{ bytes: ${bytes} }` : value(depth + 1);
    return `{ frame: { userUuid: ${user}, bSubVideo: ${sub}, buffer: ${buffer} } }`;
  }

  function composite(depth) {
    const roll = int(100);
    if (roll < 30) return record(depth);
    if (roll < 45) return list(depth);
    if (roll < 52) return `[${frameRequest(depth)}${chance(0.3) ? `, ${frameRequest(depth)}` : ''}]`;
    if (roll < 60) return `h.lazy(${chance(0.5) ? record(depth) : list(depth)})`;
    if (roll < 68) return `h.throwingAt(${record(depth)}${chance(0.5) ? `, ${JSON.stringify(key())}` : ''})`;
    if (roll < 74) return `h.frozen(${chance(0.5) ? record(depth) : list(depth)})`;
    if (roll < 80) return `h.proxy(${record(depth)})`;
    if (roll < 90) return `h.act(${int(FUZZ_ACTIONS.length)}, ${chance(0.5) ? record(depth) : list(depth)})`;
    if (roll < 95) return `[${Array.from({ length: 1 + int(3) }, () => primitive()).join(', ')}]`;
    return `{ ${prop(key())}: [${value(depth + 1)}] }`;
  }

  /** One argument. */
  function value(depth = 0) {
    const roll = int(100);
    if (roll < 38 || depth > 3) return primitive();
    if (roll < 52) return pick(FUNCTIONS);
    if (roll < 72) return pick(OBJECTS);
    if (roll < 76) return `o.${pick(instances)}`;
    if (roll < 78) return `brimo.${pick(classes)}`;
    return composite(depth);
  }

  // Values of the declared type, so that the module's type checks pass and its
  // conversions run: strings, numbers and records of the hostile kind that passes.
  const STRINGS = ["'x'", 'h.room', 'h.room', "'sim-user-1'", "''", "'\\0'", "'a\\0b'", "'\\ud800'", "'\\u{1F600}'", "'%s%n'",
    'h.nul(4096)', 'h.str(1 << 16)', "'fuzz-room\\0'", "new String('x')"];
  const NUMBERS = ['0', '1', '2', '-1', 'NaN', 'Infinity', '-Infinity', '-0', '1.5', '2**31', '2**32', '2**53+2', '-(2**31)-1', '1e100', '100001'];
  const FUNCTIONS_TYPED = ['h.cb()', 'h.cb()', 'h.cb()', 'h.cb()', 'h.thrower(0)', 'h.thrower(1)', 'h.fnProxy()'];
  const BYTES = OBJECTS.filter((o) => /Array\(|ArrayBuffer|View|detached|shared|shrunk|bytes\(|Buffer\./.test(o));
  function typed(type, depth = 0) {
    if (chance(depth === 0 ? 0.12 : 0.1) || depth > 4) return value(depth);
    const category = declarations.categorise(type);
    switch (category.is) {
      case 'string': return chance(0.003) ? pick(HUGE) : pick(STRINGS);
      case 'number': return pick(NUMBERS);
      case 'boolean': return pick(['true', 'false', 'true', 'false', '0', "''", 'null']);
      case 'bigint': return pick(['0n', '-1n', '2n**64n']);
      case 'function': return pick(FUNCTIONS_TYPED);
      case 'bytes': return pick(BYTES);
      case 'array': {
        if (/VideoFrameRequest/.test(category.of)) return `[${frameRequest(depth)}${chance(0.4) ? `, ${frameRequest(depth)}` : ''}]`;
        const n = chance(0.1) ? 0 : 1 + int(4);
        const items = Array.from({ length: n }, () => typed(category.of, depth + 1));
        const list = `[${items.join(', ')}]`;
        return chance(0.1) ? `h.lazy(${list})` : chance(0.05) ? `h.act(${int(FUZZ_ACTIONS.length)}, ${list})` : list;
      }
      case 'map': {
        const n = int(4);
        const entries = Array.from({ length: n }, () => [pick(["'k'", "'topic'", "''", "'\\0'", "'sim-user-1'", 'h.room', "'\\ud800'"]), typed(category.of, depth + 1)]);
        const seen = new Set();
        const body = entries.filter(([k]) => !seen.has(k) && seen.add(k)).map(([k, v]) => `[${k}]: ${v}`).join(', ');
        return chance(0.1) ? `h.act(${int(FUZZ_ACTIONS.length)}, { ${body} })` : `{ ${body} }`;
      }
      case 'record': {
        if (!category.keys) return record(depth);
        const names = Object.keys(category.keys).filter(() => chance(0.7));
        const body = `{ ${fieldsOf(names.map((k) => [k, typed(category.keys[k], depth + 1)])).join(', ')} }`;
        const roll = int(100);
        if (roll < 8) return `h.lazy(${body})`;
        if (roll < 14) return `h.act(${int(FUZZ_ACTIONS.length)}, ${body})`;
        if (roll < 18) return `h.frozen(${body})`;
        if (roll < 22 && names.length > 0) return `h.throwingAt(${body}, ${JSON.stringify(pick(names))})`;
        return body;
      }
      default: return value(depth);
    }
  }

  return { value, primitive, typed };
}

module.exports = { ACTIONS, FUZZ_ACTIONS, hostile, helpers, Trap, TRAP_VALUE, rng, valueSource };
