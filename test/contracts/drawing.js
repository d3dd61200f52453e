'use strict';
// Rows the whiteboard and annotation tables share: the page's relayed steps, whose
// SDK code script never sees, the drawing permission, the canvases that hand the SDK
// a new view, and the shares that complete with (code, message).

const { CB, LISTENER, ADAPTER } = require('./common');

/** login, logout, auth: the SDK answers a code (3 here) that the method drops. */
const step = (name) => ({ name, args: [], sdk: { op: name, args: [] }, answer: { ret: 3 }, returns: undefined });
/** A getter of the SDK's value, scripted so that it shows. */
const getter = (name, value) => ({ name, args: [], sdk: { op: name, args: [] }, answer: { ret: value }, returns: value });
/** The permission is read as a boolean, as given. */
const draw = { name: 'setEnableDraw', args: [true], sdk: { op: 'setEnableDraw', args: [true] }, returns: undefined };
/** A canvas call: the SDK is handed a new view of the surface's kind. */
const canvas = (name, kind) => ({ name, args: [LISTENER], kind, sdk: { op: name, args: [ADAPTER] }, returns: undefined });
const share = (name, args = []) => ({
  name, args: [...args, CB], async: true, result: false, sdk: { op: name, args }, returns: undefined,
});

module.exports = { step, getter, draw, canvas, share };
