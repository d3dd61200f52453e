'use strict';
// Control surface of the simulated parlo SDK.
//
//   const sim = require('brimo/sim');
//   sim.reset();                                     // forget journal, answers and links
//   sim.answer('login', { code: 401, message: 'bad token' });
//   sim.setLink('authService', false);               // the kit then has no auth service
//   sim.journal('login');                            // [{ op: 'login', args: ['ann', 'token'] }]
//   sim.counters();                                  // { destroyCalls, outstanding, held, ... }
//
// Every operation the SDK receives is journalled in call order with its arguments
// as JSON. By default every operation succeeds (code 0) and completes later on an
// SDK thread; answers change that for the next call(s) of one operation.

const path = require('node:path');
const buildDir = process.env.BRIMO_BUILD_DIR || path.join(__dirname, '..', 'build', 'Release');
const native = require(path.join(buildDir, 'parlo_sim.node'));

function control(command, args = null) {
  const answer = JSON.parse(native.control(command, JSON.stringify(args === undefined ? null : args)));
  if (answer && typeof answer === 'object' && !Array.isArray(answer) && typeof answer.error === 'string') {
    throw new Error(`parlo sim: ${answer.error}`);
  }
  return answer;
}

/** Forgets the journal, every scripted answer and every missing link. */
function reset() {
  control('reset');
}

/**
 * The operations received so far, oldest first: [{ op, args }].
 * @param {string} [op] only the entries of this operation
 */
function journal(op) {
  const entries = control('journal');
  return op === undefined ? entries : entries.filter((e) => e.op === op);
}

function clearJournal() {
  control('clearJournal');
}

/**
 * Scripts the answer of the next call(s) of `op`.
 * @param {string} op SDK operation name, e.g. 'login' or 'uploadLog'
 * @param {object} answer
 *   code, message: what the completion reports (default 0, '');
 *   result: the completion's result (JSON; default: the operation's own);
 *   ret: the operation's return value (JSON; default: the operation's own);
 *   mode: 'async' (on an SDK thread, default), 'sync' (inside the call) or
 *         'held' (kept until releaseHeld());
 *   delayMs: for 'async', how long the SDK takes;
 *   times: how many calls this answer serves (default 1; -1: every call).
 */
function answer(op, { code = 0, message = '', result = null, ret = null, mode = 'async', delayMs = 0, times = 1 } = {}) {
  control('answer', { op, code, message, result, ret, mode, delayMs, times });
}

/**
 * Makes a link of the SDK's object graph missing or present again: 'kit',
 * 'authService', 'roomService', 'messageChannelService', 'vornService'.
 */
function setLink(name, present) {
  control('setLink', { name, present: Boolean(present) });
}

/** The links set by setLink: { name: present }. */
function links() {
  return control('links');
}

/**
 * Counters: destroyCalls (destroyQVParlo), kitsCreated, outstanding (completions
 * accepted and not yet run), held (completions kept by mode 'held').
 */
function counters() {
  return control('counters');
}

/** Runs every held completion on the SDK thread; answers how many. */
function releaseHeld() {
  return control('releaseHeld');
}

/**
 * Raises an SDK event on every listener of one kind that is registered with the
 * simulated SDK, from the SDK thread (or, with mode 'sync', inside this call).
 * Answers how many listeners it reaches.
 *
 *   sim.emit('auth', 'onAuthEvent', [3]);
 *   sim.emit('global', 'onRtcEngineWarning', ['audio device busy']);
 *   sim.emit('room', 'onMemberJoinRoom', [[member]], { room: uuid });
 *
 * @param {string} kind 'auth', 'global', 'room', 'rtcStats', 'previewRoom',
 *   'waitingRoom', 'messageChannel', 'whiteboardView', 'annotationView'
 * @param {string} event the SDK listener operation, e.g. 'onAuthEvent'
 * @param {Array} args its arguments as JSON, records as objects with their fields
 * @param {{room?: string, mode?: 'async'|'sync', delayMs?: number}} [options]
 */
function emit(kind, event, args = [], { room = '', mode = 'async', delayMs = 0 } = {}) {
  return control('emit', { kind, event, args, room, mode, delayMs });
}

/** How many listeners of a kind (of one room, for room-level kinds) are registered. */
function listeners(kind, room = '') {
  return control('listeners', { kind, room });
}

// Stop the SDK thread before the runtime tears down, so nothing it runs can reach
// a torn-down environment.
process.once('exit', () => control('shutdown'));

module.exports = { reset, journal, clearJournal, answer, setLink, links, counters, releaseHeld, emit, listeners, control };
