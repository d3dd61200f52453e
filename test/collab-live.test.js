'use strict';
// Live streams: the parameters as the SDK receives them, the argument checks, the
// missing link that raises nothing and calls back inside the call, the stream's
// states and the live page's images.

const { test, afterEach } = require('node:test');
const assert = require('node:assert/strict');
const { runChild } = require('./helpers');
const { settle, joined, listen, closeListeners } = require('./room-helpers');

afterEach(closeListeners);

const DEFAULTS = {
  title: '', password: '', liveLayout: 0, userUuidList: [], extensionConfig: '', enableThirdParties: false, taskId: '',
  pushUrl: '', pullHlsUrl: '', pullHttpUrl: '', pullRtmpUrl: '', pullRtsUrl: '', state: 0,
};

async function liveRoom() {
  const room = await joined();
  return { ...room, live: room.ctx.getLiveController() };
}

const sentTo = (s, op) => s.journal(op).at(-1).args;

test('live parameters: absent keys keep defaults, present ones are coerced, an update leaves out enableThirdParties', async () => {
  const { s, live } = await liveRoom();
  s.answer('startLive', { code: 1, times: -1 });
  await settle((cb) => live.startLive({}, cb));
  assert.deepEqual(sentTo(s, 'startLive'), [DEFAULTS]);
  await settle((cb) => live.startLive({ liveLayout: '3', title: 42, password: null, enableThirdParties: 'yes', userUuidList: 'bob' }, cb));
  assert.deepEqual(sentTo(s, 'startLive'), [{
    ...DEFAULTS, liveLayout: 3, title: '42', password: 'null', enableThirdParties: true, userUuidList: [],
  }], 'a user list that is not an array is no list, and nothing is thrown');
  await settle((cb) => live.startLive({ userUuidList: ['bob', 7, true], extensionConfig: { toString: () => 'cfg' } }, cb));
  assert.deepEqual(sentTo(s, 'startLive'), [{ ...DEFAULTS, userUuidList: ['bob', '7', 'true'], extensionConfig: 'cfg' }]);
  // The object test takes a function too.
  const params = Object.assign(() => {}, { title: 'fn' });
  await settle((cb) => live.startLive(params, cb));
  assert.equal(sentTo(s, 'startLive')[0].title, 'fn');

  await settle((cb) => live.updateLive({ title: 'Q4', enableThirdParties: true, liveLayout: 2.7 }, cb));
  assert.deepEqual(sentTo(s, 'updateLive'), [{ ...DEFAULTS, title: 'Q4', liveLayout: 2 }]);
  await settle((cb) => live.updateBackgroundInfo({ coverUrl: 5, backgroundUrl: 'bg' }, cb));
  assert.deepEqual(sentTo(s, 'updateBackgroundInfo'), [{
    backgroundUrl: 'bg', thumbnailBackgroundUrl: '', coverUrl: '5', thumbnailCoverUrl: '', backgroundUpdatedSequence: 0,
  }]);
});

test('argument checks come first and stop the call; a task id is read even before them', async () => {
  const { s, live } = await liveRoom();
  s.clearJournal();
  let called = 0;
  const cb = () => called++;
  const throws = (fn, message) => assert.throws(fn, { name: 'TypeError', message });
  throws(() => live.startLive(cb), 'Wrong number of arguments');
  throws(() => live.startLive('title', cb), 'Wrong arguments');
  throws(() => live.updateLive({}, 'cb'), 'Wrong arguments');
  throws(() => live.stopLive(), 'Wrong arguments');
  throws(() => live.removeLiveStreamTask('t'), 'Wrong number of arguments');
  throws(() => live.addLiveStreamTask(cb), 'Wrong number of arguments');
  // Not a string: the conversion's own error is the one raised.
  assert.throws(() => live.removeLiveStreamTask(5, cb), (e) => e.message !== 'Wrong arguments' && /string/i.test(e.message));
  assert.deepEqual(s.journal(), []);
  await new Promise((resolve) => setTimeout(resolve, 20));
  assert.equal(called, 0);
});

test('stream tasks are checked and go no further, whatever links are missing', () => {
  const { lines, status, stderr } = runChild(`
    sim.reset();
    const live = new brimo.IQVRoomLiveControllerWrap('nowhere');
    live.addLiveStreamTask({}, () => console.log('called back'));
    live.updateLiveStreamTask({}, () => console.log('called back'));
    console.log('journal ' + JSON.stringify(sim.journal()));
    setTimeout(() => console.log('done'), 50);
  `);
  assert.equal(status, 0, stderr);
  assert.deepEqual(lines.filter((l) => !l.startsWith('IQV') && !l.startsWith('~')), ['journal []', 'done']);
});

test('a missing link raises nothing: its line is written and the callback runs with (-1, "") before the method returns', () => {
  const { lines, status, stderr } = runChild(`
    const rooms = new brimo.IQVParloWrap().getRoomService();
    rooms.joinRoom({ roomUuid: 'live-gone' }, {}, (code, message, room) => {
      const live = room.getLiveController();
      room.leaveRoom(() => {
        let returned = false;
        live.stopLive((...args) => console.log('stopLive ' + JSON.stringify(args) + ' returned ' + returned));
        returned = true;
        console.log('getLiveInfo ' + JSON.stringify(live.getLiveInfo()));
        console.log('isSupported ' + live.isSupported());
        sim.setLink('roomService', false);
        live.startLive({}, (...args) => console.log('startLive ' + JSON.stringify(args)));
        console.log('journal ' + JSON.stringify(sim.journal().slice(-1).map((e) => e.op)));
      });
    });
  `);
  assert.equal(status, 0, stderr);
  assert.deepEqual(lines.filter((l) => !/^~?IQV\w+Wrap $|^~?IQVRoomContextWrap |^joinRoom/.test(l)), [
    'IQVRoomLiveControllerWrap roomContext is null',
    'stopLive [-1,""] returned false',
    'IQVRoomLiveControllerWrap roomContext is null',
    'getLiveInfo null',
    'IQVRoomLiveControllerWrap roomContext is null',
    'isSupported false',
    'IQVRoomLiveControllerWrap roomService is null',
    'startLive [-1,""]',
    'journal ["leaveRoom"]',
  ]);
});

test('a live stream starts, updates, stops and starts again, each change of state heard by the room', async () => {
  const { s, uuid, ctx, live } = await liveRoom();
  const heard = listen(ctx);
  const [code, , addresses] = await settle((cb) => live.startLive({ title: 'All hands', enableThirdParties: true, userUuidList: ['bob'] }, cb));
  assert.equal(code, 0);
  assert.deepEqual(Object.keys(addresses), ['taskId', 'pushUrl', 'pullHlsUrl', 'pullHttpUrl', 'pullRtmpUrl', 'pullRtsUrl']);
  assert.deepEqual(await heard.next('onRoomLiveStateChanged'), ['onRoomLiveStateChanged', 1]);
  const info = live.getLiveInfo();
  assert.deepEqual(Object.keys(info), ['title', 'password', 'taskId', 'pushUrl', 'pullHlsUrl', 'pullHttpUrl',
    'pullRtmpUrl', 'pullRtsUrl', 'state', 'extensionConfig', 'liveLayout', 'userUuidList']);
  assert.deepEqual([info.title, info.state, info.userUuidList], ['All hands', 1, ['bob']]);
  assert.deepEqual(Object.fromEntries(Object.keys(addresses).map((key) => [key, info[key]])), addresses);
  assert.deepEqual(await settle((cb) => live.startLive({}, cb)), [409, 'the room is live already', {
    taskId: '', pushUrl: '', pullHlsUrl: '', pullHttpUrl: '', pullRtmpUrl: '', pullRtsUrl: '',
  }]);

  await settle((cb) => live.updateLive({ title: 'All hands, part 2', liveLayout: 1 }, cb));
  assert.deepEqual([live.getLiveInfo().title, live.getLiveInfo().liveLayout], ['All hands, part 2', 1]);
  assert.equal(s.live.get(uuid).live.enableThirdParties, true, 'an update leaves it as started');

  assert.deepEqual(await settle((cb) => live.stopLive(cb)), [0, '']);
  assert.deepEqual(await heard.next('onRoomLiveStateChanged'), ['onRoomLiveStateChanged', 2]);
  assert.deepEqual([live.getLiveInfo().state, live.getLiveInfo().pushUrl, live.getLiveInfo().title], [2, '', 'All hands, part 2']);
  assert.deepEqual(await settle((cb) => live.stopLive(cb)), [0, ''], 'stopping again changes nothing');

  const [, , again] = await settle((cb) => live.startLive({ title: 'Encore' }, cb));
  assert.notEqual(again.taskId, addresses.taskId, 'a new stream, a new task');
  assert.deepEqual(await heard.next('onRoomLiveStateChanged'), ['onRoomLiveStateChanged', 1]);
  // Removing the stream's own task ends it; a task that is not there cannot be removed.
  assert.deepEqual(await settle((cb) => live.removeLiveStreamTask(again.taskId, cb)), [0, '']);
  assert.deepEqual(await heard.next('onRoomLiveStateChanged'), ['onRoomLiveStateChanged', 2]);
  assert.deepEqual(await settle((cb) => live.removeLiveStreamTask(again.taskId, cb)), [404, `no live stream task ${again.taskId}`]);
  s.live.setState(uuid, 1);
  assert.deepEqual(await heard.next('onRoomLiveStateChanged'), ['onRoomLiveStateChanged', 1]);
  heard.remove();
});

test("the live page's images: each update gets the next sequence, heard by the room; script can change them too", async () => {
  const { s, uuid, ctx, live } = await liveRoom();
  const heard = listen(ctx);
  const [, , empty] = await settle((cb) => live.getBackgroundInfo(cb));
  assert.deepEqual(Object.entries(empty), [['backgroundUrl', ''], ['coverUrl', ''], ['thumbnailBackgroundUrl', ''],
    ['thumbnailCoverUrl', ''], ['backgroundUpdatedSequence', 0]]);
  assert.deepEqual(await settle((cb) => live.updateBackgroundInfo({ backgroundUrl: 'bg.png', thumbnailCoverUrl: 'tc.png' }, cb)), [0, '', 1]);
  assert.deepEqual(await heard.next('onRoomLiveBackgroundInfoChanged'), ['onRoomLiveBackgroundInfoChanged', 1]);
  s.live.setBackground(uuid, { coverUrl: 'cover.png' });
  assert.deepEqual(await heard.next('onRoomLiveBackgroundInfoChanged'), ['onRoomLiveBackgroundInfoChanged', 2]);
  const [, , now] = await settle((cb) => live.getBackgroundInfo(cb));
  assert.deepEqual(now, { backgroundUrl: '', coverUrl: 'cover.png', thumbnailBackgroundUrl: '', thumbnailCoverUrl: '',
    backgroundUpdatedSequence: 2 });
  heard.remove();
});
