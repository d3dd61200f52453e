'use strict';
// What the SIP and in-app invitation tables share: a joined room in which 'dan' is
// being called already (so that a call can be cancelled, removed or hung up), and
// the rows of the four operations both controllers have.

const { CB, controllerOf } = require('./common');

/** `make` of an invitation controller: its room, with 'dan' called through it. */
const withCall = (getter) => async (ctx) => {
  const controller = await controllerOf(getter)(ctx);
  await new Promise((resolve) => controller.callByUserUuid('dan', resolve));
  return controller;
};

const call = (name, args, { sent = args, result = false, objectArgs } = {}) => ({
  name, args: [...args, CB], async: true, result, sdk: { op: name, args: sent }, returns: undefined,
  ...(objectArgs && { objectArgs }),
});

/** Both controllers, in both classes' order. */
const calls = [
  call('callByUserUuids', [['eve', 'fay']], { objectArgs: [0] }),
  call('callByUserUuid', ['gus']),
  call('removeCall', ['dan']),
  call('cancelCall', ['dan']),
];

module.exports = { withCall, call, calls };
