'use strict';
// Bad input never aborts the process: every method of every class reachable from a
// joined room, called with arguments of every wrong kind (also values whose getters
// and traps throw), throws or answers, and the process goes on and exits normally.

const test = require('node:test');
const assert = require('node:assert/strict');
const { runChild } = require('./helpers');

test('every method survives arguments of every wrong kind', () => {
  const { status, signal, stderr, lines } = runChild(`
    const trap = () => { throw new Error('trap'); };
    const hostile = new Proxy({}, { get: trap, has: trap, ownKeys: trap, getOwnPropertyDescriptor: trap });
    const getters = Object.defineProperties({}, Object.fromEntries(
      ['roomUuid', 'userName', 'frame', 'buffer', 'bytes', 'userUuid', 'modeList', 'initialProperties', 'startTime', 'appKey']
        .map((k) => [k, { get: trap, enumerable: true }])));
    const argumentSets = [
      [],
      [undefined, undefined, undefined, undefined],
      [null, null, null, null],
      [5, 5, 5, 5, 5],
      [hostile, hostile, hostile, hostile],
      [getters, getters, getters, getters],
      ['x', getters, 'not a function', hostile],
      [[hostile, getters, 1], [null], [{}], 12.5],
      [Symbol('s'), 10n, true, () => {}],
    ];
    const kit = new brimo.IQVParloWrap();
    kit.initialize({}, () => {});
    kit.startListenVideoFrame();
    const service = kit.getRoomService();
    service.joinRoom({ roomUuid: 'robust-room', userName: 'me' }, {}, (code, message, room) => {
      const objects = [kit, kit.getAuthService(), kit.getVornService(), kit.getMessageChannelService(), service, room];
      for (const name of Object.getOwnPropertyNames(Object.getPrototypeOf(room))) {
        if (name.startsWith('get') && name.endsWith('Controller')) objects.push(room[name]());
      }
      let calls = 0;
      const skip = new Set(['constructor', 'release', 'leaveRoom', 'endRoom', 'stopListenVideoFrame']);
      for (const object of objects) {
        for (const name of Object.getOwnPropertyNames(Object.getPrototypeOf(object))) {
          if (skip.has(name)) continue;
          for (const args of argumentSets) {
            try { object[name](...args); } catch {}
            calls++;
          }
        }
      }
      console.log('survived', calls > 100);
      // Nothing registered with a function keeps the process alive: it exits by itself.
    });
  `, { timeout: 60000 });
  assert.equal(signal, null, stderr);
  assert.equal(status, 0, stderr);
  assert.ok(lines.includes('survived true'), lines.slice(-5).join('\\n'));
});
