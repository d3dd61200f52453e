'use strict';
// Generators of hostile argument values that change the SDK's state while they are
// read: shared by the getter tests and by anything that fuzzes the module's methods.

/** What a getter does (given the contract context), and whether a room-level object is gone after it. */
const ACTIONS = [
  { name: 'leaves the room', gone: true, run: (ctx) => ctx.room && ctx.room.leaveRoom(() => {}) },
  { name: 'ends the room', gone: true, run: (ctx) => ctx.room && ctx.room.endRoom(() => {}) },
  { name: 'forgets every room', gone: true, run: (ctx) => ctx.sim.rooms.reset() },
  { name: "removes the room's listener", gone: false, run: (ctx) => ctx.room && ctx.room.removeRoomListener(ctx.listenerId) },
  { name: 'resets the simulation', gone: false, run: (ctx) => ctx.sim.reset() },
  { name: 'releases the kit', gone: false, run: (ctx) => ctx.kit.release() },
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

module.exports = { ACTIONS, hostile };
