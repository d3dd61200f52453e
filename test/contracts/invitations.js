'use strict';
// What the SIP and in-app invitation tables share: the rows of the four operations
// both controllers have. A call can only be cancelled, removed or hung up once it is
// there: those rows call 'dan' first.

const { CB } = require('./common');

/** `prepare` of a row that ends a call: 'dan' is being called through the same controller. */
const danCalled = (controller) => new Promise((resolve) => controller.callByUserUuid('dan', resolve));

const call = (name, args, { sent = args, result = false, objectArgs, prepare } = {}) => ({
  name, args: [...args, CB], async: true, result, sdk: { op: name, args: sent }, returns: undefined,
  ...(objectArgs && { objectArgs }), ...(prepare && { prepare }),
});

/** Both controllers, in both classes' order. */
const calls = [
  call('callByUserUuids', [['eve', 'fay']], { objectArgs: [0] }),
  call('callByUserUuid', ['gus']),
  call('removeCall', ['dan'], { prepare: danCalled }),
  call('cancelCall', ['dan'], { prepare: danCalled }),
];

module.exports = { danCalled, call, calls };
