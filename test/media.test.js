'use strict';
// The RTC controller's conversions that have a shape of their own: window handles,
// the two-form methods, capture sources and their numbering, share configs, the
// exclude list, local recording's records, and member mutes as the room hears them.

const test = require('node:test');
const assert = require('node:assert/strict');
const { joined, settle, listen, closeListeners } = require('./room-helpers');

test.afterEach(closeListeners);

const last = (s, op) => s.journal(op).at(-1).args;
async function media() {
  const env = await joined();
  env.s.rooms.addMember(env.uuid, [{ uuid: 'bob', name: 'Bob', role: 'member', isAudioOn: true }]);
  return { ...env, rtc: env.ctx.getRtcController() };
}
const leave = ({ ctx }) => settle((cb) => ctx.leaveRoom(cb));

test('window handles: the first 8 bytes by the array kind, little-endian, else 0; mirroring from truthiness', async () => {
  const env = await media();
  const { s, rtc } = env;
  const cases = [
    [new Uint8Array([1, 0, 0, 0, 0, 0, 0, 0]), 1],
    [new Uint8Array([1, 2, 3, 4]), 0],
    [new Uint16Array([0x0201, 0, 0, 0]), 0x0201],
    [new Uint16Array([1, 0, 0]), 0],
    [new Int32Array([1, 2]), 2 ** 33 + 1],
    [new Float32Array(2), 0],
    [new Float64Array([5e-324]), 1],
    [new BigInt64Array([5n]), 0],
    [new Uint8Array(new ArrayBuffer(16), 8, 8).fill(0).map((_, i) => (i === 1 ? 1 : 0)), 256],
  ];
  for (const [array, handle] of cases) {
    rtc.setupLocalVideoCanvas(array, false);
    assert.equal(last(s, 'setupLocalVideoCanvas')[0].window, handle, `${array.constructor.name}(${array.length})`);
  }
  for (const [mirror, mode] of [[true, 1], ['yes', 1], [0, 2], [undefined, 2]]) {
    rtc.setupLocalVideoCanvas(new Uint8Array(8), mirror);
    assert.equal(last(s, 'setupLocalVideoCanvas')[0].mirrorMode, mode, String(mirror));
  }
  rtc.setupRemoteVideoCanvas('bob', new Uint8Array(8), true);
  assert.equal(last(s, 'setupRemoteVideoCanvas')[1].mirrorMode, 2, 'a remote canvas is never mirrored');
  assert.throws(() => rtc.setupLocalVideoCanvas('not an array', true));
  assert.equal(last(s, 'setupLocalVideoCanvas')[0].window, 0, 'not a typed array: the runtime error, handle 0');
  await leave(env);
});

test('two-form methods pick their SDK form by the argument count', async () => {
  const env = await media();
  const { s, rtc } = env;
  rtc.enableAudioVolumeIndication(1, 200);
  assert.deepEqual(last(s, 'enableAudioVolumeIndication'), [true, 200]);
  rtc.enableAudioVolumeIndication('id-1', 'on', 300, 0);
  assert.deepEqual(last(s, 'enableAudioVolumeIndication'), ['id-1', true, 300, false]);
  rtc.enableAudioVolumeIndication('id-2', true, 100);
  assert.deepEqual(last(s, 'enableAudioVolumeIndication'), ['id-2', true, 100, false], 'three arguments: the four-argument form');
  for (const [n, v] of [[5, true], [0, false], [0.5, false], [-1, true]]) {
    rtc.subscribeRemoteVideoStream('bob', n);
    assert.equal(last(s, 'subscribeRemoteVideoStream')[1], v, `stream type ${n}`);
  }

  await settle((cb) => rtc.joinRtcChannel('main', cb));
  assert.deepEqual(last(s, 'joinRtcChannel'), ['main']);
  await settle((cb) => rtc.leaveRtcChannel('main', cb));
  assert.deepEqual(last(s, 'leaveRtcChannel'), ['main']);
  s.clearJournal();
  let called = 0;
  assert.equal(rtc.leaveRtcChannel('main', () => called++, 'extra'), undefined);
  await settle((cb) => env.kit.uploadLog(cb));
  assert.deepEqual(s.journal('leaveRtcChannel'), [], 'three arguments: nothing is called');
  assert.equal(called, 0);
  await leave(env);
});

test('capture sources: numbered 0.., pixels copied when present, the newest list numbers the shares', async () => {
  const env = await media();
  const { s, rtc, uuid } = env;
  const thumb = { width: 2, height: 1, bytes: [1, 2, 3, 4, 5, 6, 7, 8] };
  s.rtc.setSources(uuid, [
    { type: 0, id: 900, title: 'Big screen', thumbnail: thumb, primaryMonitor: true },
    { type: 1, id: 77, title: 'Editor', name: 'editor', processPath: '/usr/bin/editor', thumbnail: { width: 4, height: 4 } },
  ]);
  const [code, , held] = await settle((cb) => rtc.getScreenCaptureSourceList(cb));
  assert.equal(code, 0);
  assert.deepEqual(held.map((x) => Object.keys(x)), Array(2).fill(
    ['type', 'id', 'title', 'name', 'processPath', 'thumbImage', 'icon', 'primaryMonitor']));
  assert.deepEqual(held.map((x) => x.id), [0, 1]);
  assert.deepEqual([...held[0].thumbImage.data], thumb.bytes);
  assert.deepEqual(held[0].thumbImage.size, { width: 2, height: 1 });
  assert.equal(held[0].thumbImage.data.buffer.byteLength, 8, 'a fresh ArrayBuffer of its own');
  assert.ok(!('data' in held[1].thumbImage) && !('data' in held[1].icon), 'no bytes, no data key');
  assert.equal(held[1].thumbImage.length, 0);

  await settle((cb) => rtc.startAppShare(1, {}, cb));
  assert.equal(last(s, 'startAppShare')[0], 77, "script's number 1 is the SDK's source 77");

  // A newer list renumbers; what script still holds of the old one stays as it was.
  s.rtc.setSources(uuid, [{ type: 0, id: 5, title: 'Only screen' }]);
  const [, , fresh] = await settle((cb) => rtc.getScreenCaptureSourceList(cb));
  assert.equal(fresh.length, 1);
  assert.equal(held[0].title, 'Big screen');
  assert.deepEqual([...held[0].thumbImage.data], thumb.bytes);
  await settle((cb) => rtc.startScreenShare(0, {}, cb));
  assert.equal(last(s, 'startScreenShare')[0], 5);
  assert.throws(() => rtc.startScreenShare(1, {}, () => {}), { name: 'TypeError', message: 'Wrong arguments' });
  const other = env.ctx.getRtcController();
  assert.equal(other, rtc, 'the room context hands out one controller wrapper');
  await leave(env);
});

test('share configs, rectangles and exclude lists as the SDK receives them', async () => {
  const env = await media();
  const { s, rtc } = env;
  await settle((cb) => rtc.getScreenCaptureSourceList(cb));
  await settle((cb) => rtc.startScreenShare(0, {}, cb));
  assert.deepEqual(
    [last(s, 'startScreenShare')[1].limitFrameRate, last(s, 'startScreenShare')[1].videoProfile], [30, ''], 'defaults');
  // Present but undefined still overrides, with what the reader makes of undefined.
  assert.throws(() => rtc.startScreenShare(0, { limitFrameRate: undefined }, () => {}));
  assert.equal(last(s, 'startScreenShare')[1].limitFrameRate, 0);
  await settle((cb) => rtc.stopShare(cb));

  assert.equal(rtc.setExcludeWindowList([new Uint8Array([1, 0, 0, 0, 0, 0, 0, 0]), new Uint32Array([2, 1])], true), 0);
  assert.deepEqual(last(s, 'setExcludeWindowList'), [[1, 2 ** 32 + 2]]);
  rtc.setExcludeWindowList([-2, 3.9], false);
  assert.deepEqual(last(s, 'setExcludeWindowList'), [[-2, 3]], 'numbers read as 32-bit, sign-extended');
  assert.throws(() => rtc.setExcludeWindowList(['x', 4], false), { message: 'A number was expected' });
  assert.equal(last(s, 'setExcludeWindowList')[0][0], 0, 'a value of another kind reads as 0, as everywhere');
  s.clearJournal();
  assert.throws(() => rtc.setExcludeWindowList([new Uint8Array(8), new Uint16Array(3)], true), { message: 'Wrong arguments' });
  assert.deepEqual(s.journal('setExcludeWindowList'), [], 'a short handle array is refused, not read');
  await leave(env);
});

test('local recording: record defaults, layouts key by key, frames sized by their format', async () => {
  const env = await media();
  const { s, rtc } = env;
  rtc.startLocalRecord({});
  assert.deepEqual(last(s, 'startLocalRecord')[0], {
    isShowTimestampCover: true, recordAudio: false, recordVideo: true, filePath: '', fileName: '', coverConfigFilePath: '',
    defaultCoverConfigFilePath: '', coverTitle: '', coverMeetingNumber: '', coverCreateTime: '',
  });
  rtc.updateLocalRecordLayouts([{ uid: 'bob', width: 320, isScreenShare: 1, streamLayer: 2 }, 'skipped', {}]);
  const layouts = last(s, 'updateLocalRecordLayouts')[0];
  assert.equal(layouts.length, 3, 'every element becomes a layout, a non-object an empty one');
  assert.deepEqual([layouts[0].uid, layouts[0].width, layouts[0].isScreenShare, layouts[0].streamLayer], ['bob', 320, false, 2]);
  assert.deepEqual(layouts[1], layouts[2]);

  const frame = (format, width, height, length) => ({ format, width, height, buffer: new Uint8Array(length) });
  assert.equal(rtc.pushLocalRecorderVideoFrame('r', 0, { ...frame(0, 4, 2, 12), rotation: 90 }), 0);
  assert.deepEqual(last(s, 'pushLocalRecorderVideoFrame')[2], { format: 0, timestamp: 0, width: 4, height: 2, rotation: 90, data: true });
  assert.equal(rtc.pushLocalRecorderVideoFrame('r', 0, frame(1, 2, 2, 16)), 0, 'RGBA: 4 bytes a pixel');
  assert.equal(rtc.pushLocalRecorderVideoFrame('r', 0, frame(9, 100, 100, 1)), 0, 'a format of unknown size is passed on');
  s.clearJournal();
  assert.throws(() => rtc.pushLocalRecorderVideoFrame('r', 0, frame(1, 2, 2, 15)), { message: 'Wrong arguments' });
  assert.throws(() => rtc.pushLocalRecorderVideoFrame('r', 0, frame(0, 3, 3, 14)), { message: 'Wrong arguments' },
    'odd I420 sizes round their chroma planes up');
  assert.deepEqual(s.journal('pushLocalRecorderVideoFrame'), []);
  rtc.pushLocalRecorderVideoFrame('r', 0, frame(0, 3, 3, 17));
  assert.equal(s.journal('pushLocalRecorderVideoFrame').length, 1);
  await leave(env);
});

test('muting a member is heard by the room as that member muted by me; an unknown member fails quietly', async () => {
  const env = await media();
  const { rtc, ctx } = env;
  const heard = listen(ctx);
  const [code] = await settle((cb) => rtc.muteMemberAudio('bob', cb));
  assert.equal(code, 0);
  const [, member, on, by] = await heard.next('onMemberAudioMuteChanged');
  assert.deepEqual([member.uuid, on, by.uuid], ['bob', false, ctx.getLocalMember().uuid]);
  assert.equal(ctx.getRemoteMembers()[0].isAudioOn, false);
  const [missing] = await settle((cb) => rtc.muteMemberVideo('nobody', cb));
  assert.equal(missing, 404);
  await settle((cb) => rtc.unmuteMyVideo(cb));
  const [, me, videoOn] = await heard.next('onMemberVideoMuteChanged');
  assert.deepEqual([me.uuid, videoOn], [ctx.getLocalMember().uuid, true]);
  assert.ok(!heard.calls.some(([event, m]) => event === 'onMemberVideoMuteChanged' && m.uuid === 'nobody'));
  heard.remove();
  await leave(env);
});
