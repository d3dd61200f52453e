'use strict';
// SDK events as a node:events EventEmitter: listen(wrapper, kind) registers one
// listener of that kind through the wrapper's add method (lib/api.js, written from
// the contract tables) and emits every event under its own name with its payload.
//
//   const { listen } = require('brimo/events');
//   const { once } = require('node:events');
//   const events = listen(room, 'room');
//   const [members] = await once(events, 'onMemberJoinRoom');
//   events.close();                       // removes the registration: the process may exit

const { EventEmitter } = require('node:events');
const brimo = require('..');
const { listenerKinds } = require('./api');

/** An emitter of one listener registration; close() removes it. */
class ListenerEmitter extends EventEmitter {
  #unregister;

  constructor(wrapper, kind) {
    super();
    const known = Object.hasOwn(listenerKinds, kind) ? listenerKinds[kind] : undefined;
    if (known === undefined) {
      throw new TypeError(`brimo/events: no listener kind ${String(kind)}; one of ${Object.keys(listenerKinds).join(', ')}`);
    }
    if (!(wrapper instanceof brimo[known.className])) {
      throw new TypeError(`brimo/events: listeners of kind ${kind} register with an ${known.className}`);
    }
    const { add, remove } = known;
    this.kind = kind;
    this.id = wrapper[add]((name, ...payload) => this.emit(name, ...payload));
    if (typeof this.id !== 'number' || this.id < 0) {
      throw new Error(`brimo/events: ${add} did not register the listener (the SDK object is missing)`);
    }
    this.closed = false;
    this.#unregister = () => wrapper[remove](this.id);
  }

  /**
   * Removes the registration, so that it no longer keeps the process alive; answers
   * what the remove method answers (false once the room is gone), false when closed already.
   */
  close() {
    if (this.closed) return false;
    this.closed = true;
    return this.#unregister();
  }
}

/**
 * Registers a listener of `kind` ('auth', 'global', 'room', 'rtcStats',
 * 'previewRoom', 'waitingRoom', 'messageChannel') with `wrapper`, the object that
 * takes that kind. Answers an EventEmitter that emits each event under its name.
 */
function listen(wrapper, kind) {
  return new ListenerEmitter(wrapper, kind);
}

module.exports = { listen, ListenerEmitter };
