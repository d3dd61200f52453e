'use strict';
// The whiteboard and the annotation: the drawing page's view, the handshake script
// relays, the strings the SDK pushes, views replaced, drawing permission and sharing.

const { test, afterEach } = require('node:test');
const assert = require('node:assert/strict');
const { runChild, recorder, settled } = require('./helpers');
const { settle, joined, listen, closeListeners } = require('./room-helpers');

afterEach(closeListeners);

const parsed = (call) => [call[0], JSON.parse(call[1])];

// Both surfaces speak the same protocol; each case runs on both.
const SURFACES = [
  { name: 'whiteboard', get: 'getWhiteboardController', setup: 'setupWhiteboardCanvas', reset: 'resetWhiteboardCanvas', kind: 'whiteboardView' },
  { name: 'annotation', get: 'getAnnotationController', setup: 'setupAnnotationCanvas', reset: 'resetAnnotationCanvas', kind: 'annotationView' },
];

/** Runs `body(surface, env)` for each surface, in a room joined for it, with its `controller`. */
async function eachSurface(t, body) {
  for (const surface of SURFACES) {
    await t.test(surface.name, async () => {
      const env = await joined();
      await body(surface, { ...env, controller: env.ctx[surface.get]() });
    });
  }
}

test('the handshake completes only as script relays the page\'s login, then its authentication', (t) =>
  eachSurface(t, async (surface, { s, kit, uuid, ctx, controller }) => {
    const view = recorder();
    assert.equal(controller[surface.setup](view.fn), undefined);
    const sim = s[surface.name];
    assert.equal(sim.get(uuid).handshake, 'idle');

    // Out of order: authentication before login is refused to the page, and nothing moves.
    assert.equal(controller.auth(), undefined);
    const refused = parsed(await view.next('onAuth'));
    assert.deepEqual(refused, ['onAuth', { step: 'auth', code: 401, message: 'log in first' }]);
    assert.equal(sim.get(uuid).handshake, 'idle');

    controller.setEnableDraw(true);  // remembered until the page is in
    controller.login();
    const [, login] = parsed(await view.next('onLogin'));
    assert.deepEqual(login, { step: 'login', code: 0, roomUuid: uuid, userUuid: ctx.getLocalMember().uuid, url: sim.get(uuid).url });
    assert.equal(sim.get(uuid).handshake, 'loggedIn');

    controller.auth();
    const [, auth] = parsed(await view.next('onAuth'));
    assert.equal(auth.code, 0);
    assert.ok(auth.checksum && auth.nonce && auth.curTime > 0, JSON.stringify(auth));
    assert.deepEqual(parsed(await view.next()), ['onDrawEnableChanged', { enable: true }], 'the permission follows');
    assert.equal(sim.get(uuid).handshake, 'ready');

    controller.logout();
    assert.deepEqual(parsed(await view.next()), ['onLogout', { step: 'logout', code: 0 }]);
    assert.equal(sim.get(uuid).handshake, 'idle');
    await settled(kit);
    assert.deepEqual(view.calls.map((c) => c[0]), ['onAuth', 'onLogin', 'onAuth', 'onDrawEnableChanged', 'onLogout'],
      'each event once, in order, with this undefined');
    // Each step is the surface controller's: the auth service's login was not called.
    assert.deepEqual(s.journal('login').map((e) => e.interface), [`IQVRoom${surface.name[0].toUpperCase()}${surface.name.slice(1)}Controller`]);
  }));

test('strings reach the page whole: NUL characters, non-ASCII text, empty and long strings', async () => {
  const { s, uuid, ctx } = await joined();
  const view = recorder();
  ctx.getWhiteboardController().setupWhiteboardCanvas(view.fn);
  const texts = ['a\u0000b\u0000', 'Grüße, 漢字 and 😀', '', 'x'.repeat(1 << 20), '\u0000'];
  const events = ['onToolConfigChanged', 'onLogin', 'onAuth', 'onDrawEnableChanged', 'onLogout'];
  texts.forEach((text, i) => assert.equal(s.whiteboard.push(uuid, events[i], text), true));
  for (let i = 0; i < texts.length; i++) {
    const [name, text] = await view.next();
    assert.equal(name, events[i]);
    assert.equal(text.length, texts[i].length, `${name}: length`);
    assert.equal(text, texts[i], name);
  }
  // The same through the listener kind, raised inside the call.
  assert.equal(s.emit('whiteboardView', 'onToolConfigChanged', ['tail\u0000end ✓'], { room: uuid, mode: 'sync' }), 1);
  assert.deepEqual(await view.next(), ['onToolConfigChanged', 'tail\u0000end ✓']);
  assert.throws(() => s.whiteboard.push(uuid, 'onDraw', 'x'), /no view event onDraw/);
});

test('a new view replaces the old one: the old listener hears nothing more, not even what was on its way', (t) =>
  eachSurface(t, async (surface, { s, kit, uuid, controller }) => {
    const first = recorder();
    const second = recorder();
    controller[surface.setup](first.fn);
    s[surface.name].push(uuid, 'onToolConfigChanged', 'for the first page');
    await first.next('onToolConfigChanged');
    // On its way to the first page when the second arrives: dropped.
    s[surface.name].push(uuid, 'onToolConfigChanged', 'late', { delayMs: 100 });
    controller[surface.setup](second.fn);
    const views = s.journal(surface.setup).map((e) => e.args[0]);
    assert.equal(views.length, 2);
    assert.notEqual(views[0], views[1], 'a fresh view each call');
    assert.match(views[1], new RegExp(`^${surface.kind}#\\d+$`));
    assert.equal(s.listeners(surface.kind, uuid), 1, 'one view per room');
    global.gc();  // the first view is freed now: a call into it would be a use after free
    controller.login();
    await second.next('onLogin');
    await new Promise((resolve) => setTimeout(resolve, 150));
    await settled(kit);
    assert.deepEqual(first.calls, [['onToolConfigChanged', 'for the first page']]);
    assert.deepEqual(second.calls.map((c) => c[0]), ['onLogin']);

    // A reset is a new page too: the handshake starts over and the permission is dropped.
    controller.auth();
    assert.deepEqual(await second.next('onDrawEnableChanged'), ['onDrawEnableChanged', '{"enable":false}']);
    controller.setEnableDraw(true);
    assert.deepEqual(await second.next('onDrawEnableChanged'), ['onDrawEnableChanged', '{"enable":true}'], 'pushed at once while ready');
    const third = recorder();
    controller[surface.reset](third.fn);
    assert.deepEqual({ ...s[surface.name].get(uuid), url: undefined },
      { handshake: 'idle', drawEnabled: false, view: s.journal(surface.reset)[0].args[0], url: undefined,
        ...(surface.name === 'annotation' && { enabled: true, sharing: false }) });
  }));

test('setEnableDraw reads a boolean without coercion: another type throws and the SDK is handed false', async () => {
  const { s, ctx } = await joined();
  const wb = ctx.getWhiteboardController();
  for (const value of [1, 'true', {}, undefined]) {
    s.clearJournal();
    assert.throws(() => wb.setEnableDraw(value), /boolean/i, String(value));
    assert.deepEqual(s.journal('setEnableDraw').map((e) => e.args), [[false]], String(value));
  }
  wb.setEnableDraw(true);
  assert.deepEqual(s.journal('setEnableDraw').at(-1).args, [true]);
});

test('a canvas whose listener is not a function: the error is raised and the SDK still gets a view, which drops what it hears', async () => {
  const { s, kit, uuid, ctx } = await joined();
  const wb = ctx.getWhiteboardController();
  assert.throws(() => wb.setupWhiteboardCanvas('not a function'));
  assert.equal(s.journal('setupWhiteboardCanvas').length, 1);
  assert.equal(s.whiteboard.push(uuid, 'onLogin', 'dropped'), true);
  await settled(kit);
});

test('views never keep the process alive, and a room left and joined again takes a new view', () => {
  const { status, stderr, lines } = runChild(`
    const kit = new brimo.IQVParloWrap();
    const rooms = kit.getRoomService();
    const join = () => new Promise((resolve) => rooms.joinRoom({ roomUuid: 'kept' }, {}, (c, m, room) => resolve(room)));
    (async () => {
      const room = await join();
      room.getWhiteboardController().setupWhiteboardCanvas(() => console.log('old view called'));
      room.getAnnotationController().setupAnnotationCanvas(() => {});
      await new Promise((resolve) => room.leaveRoom(resolve));
      const again = await join();
      again.getWhiteboardController().setupWhiteboardCanvas((event, text) => console.log('new view', event, text));
      const heard = new Promise((resolve) => again.getWhiteboardController().setupWhiteboardCanvas((event, text) => {
        console.log('newest view', event, text);
        resolve();
      }));
      global.gc();
      const wait = setTimeout(() => console.log('no event'), 20000);
      sim.whiteboard.push('kept', 'onLogin', 'hello');
      await heard;
      clearTimeout(wait);
      // Nothing else holds the loop: the process ends with the room still joined and its
      // views set, and a string pushed now, at the end, is dropped.
      sim.whiteboard.push('kept', 'onLogin', 'at the end');
    })();
  `);
  assert.equal(status, 0, stderr);
  // The last string may or may not make it before the end; nothing else reaches a view.
  const heard = lines.filter((l) => (l.includes('view') || l.includes('event')) && !l.endsWith('at the end'));
  assert.deepEqual(heard, ['newest view onLogin hello']);
});

test('whiteboard sharing is the members\': one at a time, and the room hears every change', async () => {
  const { s, uuid, ctx } = await joined();
  s.rooms.addMember(uuid, [{ uuid: 'bob', name: 'Bob' }, { uuid: 'cy', name: 'Cy' }]);
  const room = listen(ctx);
  const wb = ctx.getWhiteboardController();
  const me = ctx.getLocalMember().uuid;
  assert.equal(wb.getWhiteboardSharingUserUuid(), '');

  assert.deepEqual(await settle((cb) => wb.startWhiteboardShare(cb)), [0, '']);
  const [, member, on, by] = await room.next('onMemberWhiteboardStateChanged');
  assert.deepEqual([member.uuid, member.isSharingWhiteboard, on, by.uuid], [me, true, true, me]);
  assert.equal(wb.getWhiteboardSharingUserUuid(), me);
  assert.deepEqual(await settle((cb) => wb.stopWhiteboardShare(cb)), [0, '']);
  await room.next('onMemberWhiteboardStateChanged');

  // Bob shares: ours is refused until the host stops his.
  s.rooms.updateMember(uuid, 'bob', { isSharingWhiteboard: true });
  await room.next('onMemberWhiteboardStateChanged');
  assert.equal(wb.getWhiteboardSharingUserUuid(), 'bob');
  assert.deepEqual(await settle((cb) => wb.startWhiteboardShare(cb)), [409, 'bob is sharing the whiteboard']);
  assert.deepEqual(await settle((cb) => wb.stopMemberWhiteboardShare('nobody', cb)), [404, 'no member nobody in the room']);
  assert.deepEqual(await settle((cb) => wb.stopMemberWhiteboardShare('bob', cb)), [0, '']);
  assert.deepEqual(s.journal('stopMemberWhiteboardShare').map((e) => e.args), [['nobody'], ['bob']]);
  const [, bob, bobOn, stoppedBy] = await room.next('onMemberWhiteboardStateChanged');
  assert.deepEqual([bob.uuid, bobOn, stoppedBy.uuid], ['bob', false, me]);
  assert.equal(wb.getWhiteboardSharingUserUuid(), '');
  room.remove();
});

test('annotation turned off: the room hears it, the controller reports it, and sharing is refused', async () => {
  const { s, uuid, ctx } = await joined();
  const room = listen(ctx);
  const annotation = ctx.getAnnotationController();
  assert.equal(annotation.getIsAnnotationEnabled(), true);
  assert.match(annotation.getAnnotationUrl(), new RegExp(`${uuid}$`));
  assert.deepEqual(await settle((cb) => annotation.startAnnotationShare(cb)), [0, '']);
  assert.equal(s.annotation.get(uuid).sharing, true);

  s.annotation.setEnabled(uuid, false);
  assert.deepEqual(await room.next('onRoomAnnotationEnableChanged'), ['onRoomAnnotationEnableChanged', false]);
  assert.equal(annotation.getIsAnnotationEnabled(), false);
  assert.equal(s.annotation.get(uuid).sharing, false, 'turning it off ends the share');
  assert.deepEqual(await settle((cb) => annotation.startAnnotationShare(cb)), [403, 'annotation is turned off in this room']);
  s.annotation.setEnabled(uuid, true);
  await room.next('onRoomAnnotationEnableChanged');
  assert.deepEqual(await settle((cb) => annotation.startAnnotationShare(cb)), [0, '']);
  assert.deepEqual(await settle((cb) => annotation.stopAnnotationShare(cb)), [0, '']);
  assert.equal(s.annotation.get(uuid).sharing, false);
  room.remove();
});
