'use strict';
// Helpers of the room tests: joining fresh rooms, waiting on completions, and
// recording what a room listener hears. Every listener added here must be removed
// before its test ends: a registered listener keeps the process alive.

const { brimo, sim, nextCall, recorder } = require('./helpers');

let rooms = 0;
/** A room UUID no other test of this process uses. */
const freshUuid = (prefix = 'room') => `${prefix}-${process.pid}-${++rooms}`;

/** Starts an asynchronous call with a callback and resolves with its arguments. */
async function settle(start, timeoutMs = 15000) {
  const { callback, promise } = nextCall(timeoutMs);
  start(callback);
  return (await promise).args;
}

/** A kit, its room service and the simulated SDK, reset. */
function service() {
  const s = sim();
  s.reset();
  const kit = new (brimo().IQVParloWrap)();
  return { s, kit, rooms: kit.getRoomService() };
}

/** Joins a fresh room (or `params.roomUuid`) and answers its context wrapper too. */
async function joined(params = {}, options = {}) {
  const env = service();
  const uuid = params.roomUuid || freshUuid();
  const [code, message, ctx] = await settle((cb) =>
    env.rooms.joinRoom({ roomUuid: uuid, userName: 'Ann', role: 'host', ...params }, options, cb));
  if (code !== 0 || !ctx) throw new Error(`join failed: ${code} ${message}`);
  return { ...env, uuid, ctx };
}

/**
 * Joins a fresh room, as joined() does, with remote `members` (SimMember) in it.
 * Their joining has been raised when it resolves: listeners added then do not hear it.
 */
async function joinedWith(members, params = {}) {
  const room = await joined(params);
  room.s.rooms.addMember(room.uuid, members);
  // The room's events go out before a later completion.
  await settle((cb) => room.kit.uploadLog(cb));
  return room;
}

// Listeners added by listen() and not removed yet.
const open = new Set();

/**
 * A listener function that records every call: `calls` holds [eventName, ...payload].
 * `next(name)` waits for the next call of that event not yet taken.
 */
/** A room listener that records every call, as recorder() does. */
function listen(ctx) {
  const { fn, calls, next } = recorder();
  const id = ctx.addRoomListener(fn);
  const entry = { ctx, id, uuid: ctx.getRoomUuid() };
  open.add(entry);
  const remove = () => {
    open.delete(entry);
    return ctx.removeRoomListener(id);
  };
  return { id, calls, next, remove };
}

/**
 * Removes the listeners a failed test left behind, joining their room again where
 * it is gone, so that the process can still end. Meant for afterEach.
 */
async function closeListeners() {
  for (const { ctx, id, uuid } of [...open]) {
    open.clear();
    if (ctx.removeRoomListener(id)) continue;
    await settle((cb) => service().rooms.joinRoom({ roomUuid: uuid }, {}, cb));
    ctx.removeRoomListener(id);
  }
}

module.exports = { freshUuid, settle, service, joined, joinedWith, recorder, listen, closeListeners };
