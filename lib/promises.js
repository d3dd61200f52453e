'use strict';
// Promise forms of the asynchronous methods: promised(wrapper) answers an object that
// has every method of the wrapper; the asynchronous ones (lib/api.js, written from
// the contract tables) return a promise instead of taking a callback, the others are
// the wrapper's own.
//
//   const { promised } = require('brimo/promises');
//   const room = await promised(kit.getRoomService()).joinRoom(params, options);
//   await promised(room).lockRoom();      // rejects with a ParloError on a non-zero code

const brimo = require('..');
const { asyncMethods } = require('./api');

/** An SDK call that completed with a non-zero code. */
class ParloError extends Error {
  constructor(method, code, message) {
    super(message || `${method} failed with code ${code}`);
    this.name = 'ParloError';
    this.code = code;
    this.method = method;
  }
}

/** The class name of a wrapper made by brimo, or undefined. */
function classOf(wrapper) {
  if (wrapper === null || typeof wrapper !== 'object') return undefined;
  return Object.keys(asyncMethods).find((name) => typeof brimo[name] === 'function' && wrapper instanceof brimo[name]);
}

/**
 * Calls `wrapper[method]` with `args` and its callback at `at`: resolves with the
 * callback's result on code 0, rejects with a ParloError on any other code or with
 * whatever the call throws (a missing link, a wrong argument).
 */
function callAsync(wrapper, method, at, args) {
  return new Promise((resolve, reject) => {
    const callArgs = args.slice(0, at);
    while (callArgs.length < at) callArgs.push(undefined);
    callArgs.push((code, message, result) => {
      if (code === 0) resolve(result);
      else reject(new ParloError(method, code, message));
    });
    try {
      wrapper[method](...callArgs);
    } catch (err) {
      reject(err);
    }
  });
}

const forms = new WeakMap();

/**
 * The promise form of a brimo wrapper (any of the sixteen classes): asynchronous
 * methods return promises, synchronous ones pass through to the wrapper. The same
 * wrapper always gives the same object.
 */
function promised(wrapper) {
  const className = classOf(wrapper);
  if (className === undefined) throw new TypeError('promised() takes an object made by brimo');
  let form = forms.get(wrapper);
  if (form) return form;
  const methods = asyncMethods[className];
  form = Object.create(null);
  for (let proto = Object.getPrototypeOf(wrapper); proto && proto !== Object.prototype; proto = Object.getPrototypeOf(proto)) {
    for (const name of Object.getOwnPropertyNames(proto)) {
      if (name === 'constructor' || name in form || typeof proto[name] !== 'function') continue;
      form[name] = Object.hasOwn(methods, name)
        ? (...args) => callAsync(wrapper, name, methods[name], args)
        : (...args) => wrapper[name](...args);
    }
  }
  Object.defineProperty(form, 'wrapper', { value: wrapper });
  forms.set(wrapper, Object.freeze(form));
  return form;
}

module.exports = { promised, ParloError };
