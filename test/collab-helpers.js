'use strict';
// Helpers of the collaboration tests: a function that records what it is called
// with, for canvas views and channel listeners, and waits for its next call.

/**
 * A listener function that records every call as [eventName, ...payload] in `calls`
 * (and notes a receiver other than undefined). `next(name)` waits for the next call
 * of that event not yet taken; `settled()` waits until the SDK thread has run
 * everything queued before it, so that a call that should not come would have.
 */
function recorder() {
  const calls = [];
  const waiting = [];
  let taken = 0;
  const fn = function (...args) {
    calls.push(this === undefined ? args : ['this is not undefined', ...args]);
    for (const w of waiting.splice(0)) w();
  };
  const next = (name, timeoutMs = 15000) =>
    new Promise((resolve, reject) => {
      const timer = setTimeout(() => reject(new Error(`no ${name} within ${timeoutMs} ms; had ${JSON.stringify(calls)}`)), timeoutMs);
      const look = () => {
        const index = calls.findIndex((c, i) => i >= taken && (name === undefined || c[0] === name));
        if (index < 0) return waiting.push(look);
        taken = index + 1;
        clearTimeout(timer);
        resolve(calls[index]);
      };
      look();
    });
  return { fn, calls, next };
}

/** Resolves once the SDK thread has run what was queued before, and script has had its turn. */
async function settled(kit) {
  await new Promise((resolve) => kit.uploadLog(() => resolve()));
  for (let i = 0; i < 3; i++) await new Promise((resolve) => setImmediate(resolve));
}

module.exports = { recorder, settled };
