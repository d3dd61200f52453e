'use strict';
// What every contract table shares: the markers that stand for values only a test
// run has (the callback, a listener, a listener id, the SDK's adapter), the fresh
// simulation each row runs in, and the resolution chains of the classes.

const { brimo, sim } = require('../helpers');

/** Argument: the row's callback function. In a row without `async` it must never run. */
const CB = Symbol('callback');
/** Argument: a listener function. */
const LISTENER = Symbol('listener');
/** Argument: an id that the add row of the same listener kind returned. */
const ID = Symbol('listener id');
/** In `sdk.args`: the identifier the SDK was handed for the adapter of the row's listener kind. */
const ADAPTER = Symbol('adapter');

/** In `sdk.args`: a record of which only these fields are compared (the others keep defaults). */
class Partial {
  constructor(fields) {
    this.fields = fields;
  }
}
const partial = (fields) => new Partial(fields);

/** `returns` of an add row: a listener id. */
const isId = (value) => Number.isInteger(value) && value >= 0;
/** `returns` or `result`: an instance of the named class. */
const instanceOf = (className) => (value, ctx) => value instanceof ctx.brimo[className];

// One kit for the process: collecting a kit wrapper destroys the SDK, which would
// pull it from under the rows still running.
let kit;

/**
 * A fresh simulation: no answers, links or rooms left by an earlier row. The
 * returned context is what `make`, `args`, `sdk.args`, `remove` and predicates get;
 * `registered` collects the listener registrations a test must undo.
 */
function fixture() {
  const s = sim();
  s.reset();
  s.rooms.reset();
  s.preview.reset();
  const mod = brimo();
  kit = kit || new mod.IQVParloWrap();
  return { sim: s, brimo: mod, kit, rooms: kit.getRoomService(), uuid: undefined, room: undefined, registered: [] };
}

let joins = 0;
/** Members besides the local one, so that member operations name someone in the room. */
const MEMBERS = [{ uuid: 'bob', name: 'Bob', role: 'member' }, { uuid: 'cy', name: 'Cy', role: 'member' }];

/** Joins a room of its own as 'Ann' (host), with bob and cy in it; sets ctx.uuid and ctx.room. */
function join(ctx) {
  const uuid = `contract-room-${process.pid}-${++joins}`;
  return new Promise((resolve, reject) => {
    ctx.rooms.joinRoom({ roomUuid: uuid, userName: 'Ann', role: 'host' }, {}, (code, message, room) => {
      if (code !== 0 || !room) return reject(new Error(`join failed: ${code} ${message}`));
      ctx.sim.rooms.addMember(uuid, MEMBERS);
      Object.assign(ctx, { uuid, room });
      resolve(room);
    });
  });
}

/** `make` of a room controller: a joined room's controller, from its getter on the room context. */
const controllerOf = (getter) => async (ctx) => (await join(ctx))[getter]();

// --- resolution chains: each link, how a test removes it, what script then sees ---

const removeLink = (name) => (s) => s.setLink(name, false);
const removeRoomLink = (name) => (s, ctx) => s.rooms.setLink(ctx.uuid, name, false);

/** The chain of a kit service: the kit, then the service. */
const serviceChain = (service) => [
  { link: 'kit', missing: 'parlo', remove: removeLink('kit') },
  { link: service, missing: service, remove: removeLink(service) },
];

/** The chain of a room-level class: kit, room service, the room, then its controller if any. */
const roomChain = (controller) => [
  ...serviceChain('roomService'),
  { link: 'roomContext', missing: 'roomContext', remove: removeRoomLink('roomContext') },
  ...(controller ? [{ link: controller, missing: controller, remove: removeRoomLink(controller) }] : []),
];

/** The chain of the preview room: kit, room service, the preview room, then its controller if any. */
const previewChain = (controller) => [
  ...serviceChain('roomService'),
  { link: 'previewRoomContext', missing: 'previewRoomContext', remove: removeLink('previewRoomContext') },
  ...(controller ? [{ link: controller, missing: controller, remove: removeLink(controller) }] : []),
];

// How a class words a missing link. `missing` is the link's name in the message.
const strip = ({ missing, ...link }) => link;
/**
 * "<prefix> <link> Null pointer exception" for every link; with `kitNamed` false a
 * missing kit is "<prefix> Null pointer exception".
 */
const named = (prefix, chain, { kitNamed = true } = {}) => chain.map((l) => {
  const missing = l.link === 'kit' && !kitNamed ? '' : l.missing;
  return { ...strip(l), message: [prefix, missing, 'Null pointer exception'].filter(Boolean).join(' ') };
});
/** The bare "Null pointer exception" for every link. */
const bare = (chain) => chain.map((l) => ({ ...strip(l), message: 'Null pointer exception' }));
/** Nothing raised: a line "<prefix> <link> is null" is printed and the method fails quietly. */
const printed = (prefix, chain) => chain.map((l) => ({ ...strip(l), prints: `${prefix} ${l.missing} is null` }));

/** The lines a new room context wrapper writes: its own, then its nine controllers'. */
const roomContextTrace = (uuid) => [
  `IQVRoomContextWrap ${uuid} `,
  'IQVRoomAppInviteControllerWrap ',
  'IQVRoomAnnotationControllerWrap ',
  'IQVRoomLiveControllerWrap ',
  'IQVRoomChatControllerWrap ',
  'IQVWaitingRoomControllerWrap ',
  'IQVRoomChatControllerWrap ',
  'IQVRoomSIPControllerWrap ',
  'IQVRoomWhiteboardControllerWrap ',
  'IQVRoomRtcControllerWrap ',
];

module.exports = {
  CB, LISTENER, ID, ADAPTER, Partial, partial, isId, instanceOf,
  fixture, join, controllerOf, serviceChain, roomChain, previewChain, named, bare, printed, roomContextTrace,
};
