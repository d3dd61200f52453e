'use strict';
// The contract tables of the sixteen script classes, in the order the module sets
// them on its exports, with the markers and helpers they share.
//
// A table: { className, make(ctx) -> instance, links: [...], methods: [...] }.
//
// links, the class's resolution chain, each link as
//   link     the link's name ('kit', 'roomService', 'roomContext', 'rtcController', ...)
//   remove   (sim, ctx) => makes that link missing in the simulated SDK
//   message  the TypeError a resolving method then raises, or
//   prints   the line it prints instead, raising nothing (it then fails quietly)
//   trace    lines written before the error is raised
//
// methods, in registration order, each as
//   name        the script method
//   args        its arguments (or ctx => arguments); CB, LISTENER and ID stand for a
//               callback, a listener function and a listener id
//   sdk         { op, args }: the SDK operation the call reaches last and what it receives
//               (args may be ctx => args; partial() and ADAPTER as elements); absent:
//               the call reaches no SDK operation
//   answer      the SDK's scripted answer for that call (ret, result), so values show
//   returns     what the call returns: a value, or a predicate (value, ctx)
//   async       true: CB runs after the call returns; 'inside': before it returns
//   result      the callback's third argument (value or predicate), false: it gets
//               (code, message) only
//   fail        the value returned when resolution fails; only seen where nothing is
//               raised (the listener methods)
//   resolves    false: never resolves the chain, works whatever link is missing
//   listener    'add' or 'remove', with kind: the simulated SDK's listener kind; a
//               missing link makes them answer fail quietly
//   objectArgs  argument positions whose conversion reads properties (records, maps, lists)
//   trace       stdout lines the call writes, its completion included (or ctx => lines)
//   checks      [{ args, error }]: argument checks and the TypeError each raises
//   prepare     (object, ctx) => promise: state the call needs, made before it (a source list)

const common = require('./common');
const call = require('./call');

const CLASSES = [
  'IQVParloWrap',
  'IQVAuthServiceWrap',
  'IQVRoomServiceWrap',
  'IQVRoomRtcControllerWrap',
  'IQVRoomLiveControllerWrap',
  'IQVWaitingRoomControllerWrap',
  'IQVRoomSIPControllerWrap',
  'IQVRoomAppInviteControllerWrap',
  'IQVRoomWhiteboardControllerWrap',
  'IQVRoomAnnotationControllerWrap',
  'IQVRoomContextWrap',
  'IQVPreviewRoomContextWrap',
  'IQVPreviewRoomRtcController',
  'IQVVornServiceWrap',
  'IQVMessageChannelServiceWrap',
  'IQVRoomChatControllerWrap',
];

const tables = CLASSES.map((name) => require(`./${name}`));

module.exports = { ...common, ...call, tables };
