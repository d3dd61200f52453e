'use strict';
// The preview room: its context and controller wrappers, the messages of their
// chains, the preview room listener's events (raised by script and by the simulated
// preview room's state), the video preview's frames, and local recording on the
// preview controller.

const { test, beforeEach } = require('node:test');
const assert = require('node:assert/strict');
const { brimo, sim, runChild, waitUntil, recordingListener } = require('./helpers');

const CHECK = 'checkIfPreviewRoomControllerIsNotNull before ';

// One kit for the file: collecting a kit wrapper destroys the SDK.
let kit;
function preview() {
  kit = kit || new (brimo().IQVParloWrap)();
  const context = kit.getRoomService().getPreviewRoomContext();
  return { s: sim(), context, rtc: context.getPreviewRoomRtcController() };
}

beforeEach(() => {
  sim().reset();
  sim().preview.reset();
});

/** A preview room listener recording every call; next(event) waits for the first of that name. */
function listenPreview(t, context) {
  const heard = recordingListener(t, (fn) => context.addPreviewRoomListener(fn), (id) => context.removePreviewRoomListener(id));
  const next = (event) => waitUntil(() => heard.calls.some((c) => c[0] === event), { what: event })
    .then(() => heard.calls.find((c) => c[0] === event));
  return { ...heard, next };
}

/** What the SDK's preview controller received last as `op`. */
const received = (s, op) => {
  const entry = s.journal(`IQVPreviewRoomRtcController.${op}`).at(-1);
  assert.ok(entry, `${op} reached the preview controller`);
  return entry.args;
};

test('the room service makes a new preview context each time; each holds one controller, exported as IQVPreviewRoomRtcController', () => {
  const { context, rtc } = preview();
  const mod = brimo();
  assert.ok(context instanceof mod.IQVPreviewRoomContextWrap);
  assert.notEqual(kit.getRoomService().getPreviewRoomContext(), context);
  assert.equal(context.getPreviewRoomRtcController(), rtc, 'the same controller twice');
  assert.ok(rtc instanceof mod.IQVPreviewRoomRtcController);
  assert.equal(mod.IQVPreviewRoomRtcController.name, 'IQVPreviewRoomRtcController');
  assert.equal(mod.IQVPreviewRoomRtcControllerWrap, undefined);
});

test('every missing link raises its message, the kit unnamed; the controller\'s calls announce themselves first', () => {
  const { lines, status, stderr } = runChild(`
    const kit = new brimo.IQVParloWrap();
    const context = kit.getRoomService().getPreviewRoomContext();
    const rtc = context.getPreviewRoomRtcController();
    const mark = (what) => console.log('@' + what);
    for (const link of ['kit', 'roomService', 'previewRoomContext', 'previewRoomRtcController']) {
      sim.reset();
      sim.setLink(link, false);
      for (const [what, call] of [
        ['context', () => context.getPreviewRoomRtcController()],
        ['enumCameraDevices', () => rtc.enumCameraDevices()],
        ['setRecordDeviceVolume', () => rtc.setRecordDeviceVolume(5)],
        ['startLocalRecord', () => rtc.startLocalRecord({ fileName: 'x' })],
      ]) {
        mark(link + ' ' + what);
        try { console.log('returned', JSON.stringify(call())); } catch (e) { console.log(e.name + ': ' + e.message); }
      }
      console.log('journal ' + sim.journal().length);
    }
  `);
  assert.equal(status, 0, stderr);
  const ctx = 'IQVPreviewRoomContextWrap';
  const ctl = 'IQVPreviewRoomRtcControllerWrap';
  const expected = [];
  for (const [link, named] of [['kit', ''], ['roomService', ' roomService'], ['previewRoomContext', ' previewRoomContext'],
    ['previewRoomRtcController', ' previewRoomRtcController']]) {
    const contextMessage = link === 'previewRoomRtcController' ? 'returned {}' : `TypeError: ${ctx}${named} Null pointer exception`;
    expected.push(`@${link} context`, contextMessage);
    for (const what of ['enumCameraDevices', 'setRecordDeviceVolume', 'startLocalRecord']) {
      // Only the check line: the volume's own lines come once the controller is found.
      expected.push(`@${link} ${what}`, CHECK, `TypeError: ${ctl}${named} Null pointer exception`);
    }
    expected.push('journal 0');
  }
  assert.deepEqual(lines.filter((l) => !/^~?IQV/.test(l)), expected);
});

test('listener ids follow one another; a second removal throws "Index out of bounds"; a missing preview room answers -1 and false quietly', (t) => {
  const { s, context } = preview();
  const first = context.addPreviewRoomListener(() => {});
  const second = context.addPreviewRoomListener(() => {});
  assert.equal(second, first + 1);
  assert.equal(s.listeners('previewRoom'), 2);
  assert.deepEqual(s.journal().map((e) => e.op), ['addPreviewRoomListener', 'addPreviewRoomListener']);
  assert.match(s.journal()[0].args[0], /^previewRoom#\d+$/);
  assert.equal(context.removePreviewRoomListener(first), true);
  assert.deepEqual(s.journal().at(-1), { op: 'removePreviewRoomListener', args: s.journal()[0].args });
  assert.throws(() => context.removePreviewRoomListener(first), { name: 'TypeError', message: 'Index out of bounds' });

  s.setLink('previewRoomContext', false);
  assert.equal(context.addPreviewRoomListener(() => {}), -1);
  assert.equal(context.removePreviewRoomListener(second), false, 'kept for a later removal');
  s.setLink('previewRoomContext', true);
  assert.equal(context.removePreviewRoomListener(second), true);
  assert.equal(s.listeners('previewRoom'), 0);
  t.diagnostic(`ids ${first}, ${second}`);
});

test('every preview room event reaches the listener with its payload, this undefined, in the order raised', async (t) => {
  const { s, context } = preview();
  const heard = listenPreview(t, context);
  const events = [
    ['onCameraDeviceChanged', 'cam-9', true],
    ['onPlayoutDeviceChanged', 'spk-9', false],
    ['onRecordDeviceChanged', 'mic-\u00e9', true],
    ['onDefaultPlayoutDeviceChanged', 'spk-2'],
    ['onDefaultRecordDeviceChanged', ''],
    ['onLocalAudioVolumeIndication', -42, true],
    ['onLocalAudioVolumeIndication', 2 ** 31 - 1],
    ['onRtcVirtualBackgroundSourceEnabled', false, -3],
    ['onLocalRecorderStatus', 2, '/tmp/a b.mp4'],
    ['onLocalRecorderError', -(2 ** 31), 'disk full'],
  ];
  for (const [event, ...args] of events) assert.equal(s.preview.emit(event, ...args), 1);
  await waitUntil(() => heard.calls.length === events.length, { what: 'the preview room events' });
  assert.deepEqual(heard.calls, events);
  assert.throws(() => s.preview.emit('onMemberJoinRoom', []), /no event onMemberJoinRoom/);
});

test('the machine changes: devices gone and added, a new default, a chosen device that went falls back', async (t) => {
  const { s, context, rtc } = preview();
  const heard = listenPreview(t, context);
  const before = s.preview.get();
  s.preview.update({
    records: [before.records[1], { deviceId: 'usb-mic', deviceName: 'USB Mic', defaultDevice: true }],
    cameras: [before.cameras[1]],
  });
  s.preview.emit('onRtcVirtualBackgroundSourceEnabled', true, 99);
  await heard.next('onRtcVirtualBackgroundSourceEnabled');
  assert.deepEqual(heard.calls.slice(0, -1), [
    ['onCameraDeviceChanged', 'sim-camera-1', false],
    ['onRecordDeviceChanged', 'sim-record-1', false],
    ['onRecordDeviceChanged', 'usb-mic', true],
    ['onDefaultRecordDeviceChanged', 'usb-mic'],
  ]);
  assert.equal(rtc.getSelectedRecordDevice(), 'usb-mic');
  assert.equal(rtc.getSelectedCameraDevice(), '', 'no default camera left to fall back to');
  assert.deepEqual(rtc.getDefaultRecordDevice(), { deviceId: 'usb-mic', deviceName: 'USB Mic' });
  assert.deepEqual(rtc.getDefaultPlayoutDevice(), { deviceId: 'sim-playout-1', deviceName: 'Sim Speakers' });
  assert.equal(rtc.selectCameraDevice('sim-camera-1'), 404, 'a camera that went cannot be chosen');
  assert.equal(rtc.startVideoPreview(), 404, 'no camera chosen, no preview');
  assert.equal(rtc.selectCameraDevice('sim-camera-2'), 0);
  assert.throws(() => s.preview.update({ videoPreview: true }), /what the SDK was told/);
  assert.throws(() => s.preview.update({ records: [{ deviceName: 'no id' }] }), /deviceId/);
});

test('the record device test reports what the microphone hears every interval, through volume, signal volume and mute', async (t) => {
  const { s, context, rtc } = preview();
  const heard = listenPreview(t, context);
  s.preview.update({ microphoneLevel: 120, recordVolume: 50 });
  assert.equal(rtc.startRecordDeviceTest(20), 0);
  assert.equal(rtc.startRecordDeviceTest(20), 409, 'one test at a time');
  await waitUntil(() => heard.calls.length >= 2, { what: 'two volume reports' });
  assert.deepEqual(heard.calls.slice(0, 2), [['onLocalAudioVolumeIndication', 60, true], ['onLocalAudioVolumeIndication', 60, true]]);

  assert.equal(rtc.adjustRecordingSignalVolume(400), 0);
  await waitUntil(() => heard.calls.some((c) => c[1] === 240), { what: 'the louder signal' });
  assert.equal(rtc.setRecordDeviceMute(true), 0);
  await waitUntil(() => heard.calls.at(-1)[1] === 0, { what: 'the muted microphone' });
  assert.deepEqual(heard.calls.at(-1), ['onLocalAudioVolumeIndication', 0, false]);

  assert.equal(rtc.stopRecordDeviceTest(), 0);
  const stopped = heard.calls.length;
  await new Promise((resolve) => setTimeout(resolve, 100));
  assert.ok(heard.calls.length - stopped <= 1, 'at most the report already on its way');
  assert.equal(rtc.stopRecordDeviceTest(), 409);
  assert.deepEqual(received(s, 'startRecordDeviceTest'), [20]);
  assert.equal(s.preview.get().recordTest, null);
});

test('device tests, mutes, pitch, beauty and the audio driver are kept as the SDK was told', () => {
  const { s, rtc } = preview();
  assert.equal(rtc.startPlayoutDeviceTest(''), 404, 'nothing to play');
  assert.equal(rtc.startPlayoutDeviceTest('/tmp/ring.wav'), 0);
  assert.deepEqual(s.preview.get().playoutTest, { filePath: '/tmp/ring.wav' });
  assert.equal(rtc.stopPlayoutDeviceTest(), 0);
  assert.equal(rtc.setPlayoutDeviceMute(true), 0);
  assert.equal(rtc.getPlayoutDeviceMute, undefined, 'the preview controller has no mute query');
  assert.equal(rtc.enableBeauty(true), 409, 'beauty runs first');
  assert.equal(rtc.startBeauty('/opt/beauty'), 0);
  assert.equal(rtc.enableBeauty(true), 0);
  assert.equal(rtc.setBeautyEffect(2, 0.3), 0);
  assert.equal(rtc.setLocalVoicePitch(1.5), 0);
  assert.equal(rtc.installAudioCaptureDriver(), 0);
  const state = s.preview.get();
  assert.deepEqual(state.beauty, { running: true, path: '/opt/beauty', enabled: true, effects: { 2: Math.fround(0.3) } });
  assert.deepEqual([state.playoutMute, state.voicePitch, state.audioCaptureDriverInstalled], [true, 1.5, true]);
  assert.deepEqual(received(s, 'setBeautyEffect'), [2, Math.fround(0.3)], 'the nearest 32-bit float to 0.3');
  assert.notEqual(Math.fround(0.3), 0.3);
  // Booleans of the preview controller are read as they are, not by truthiness.
  assert.throws(() => rtc.enableBeauty(1), { name: 'TypeError', message: 'A boolean was expected' });
  assert.deepEqual(received(s, 'enableBeauty'), [false]);
});

test('a virtual background: the kind from the fourth argument (else 1), the colour always 0xFFFFFF; the outcome as an event', async (t) => {
  const { s, context, rtc } = preview();
  const heard = listenPreview(t, context);
  assert.equal(rtc.enableVirtualBackground(true, '/tmp/beach.png', false, 2), 0);
  assert.deepEqual(received(s, 'enableVirtualBackground'),
    [true, { backgroundSourceType: 2, color: 0xffffff, source: '/tmp/beach.png' }, false]);
  assert.equal(rtc.enableVirtualBackground(false, '', true), 0);
  assert.deepEqual(received(s, 'enableVirtualBackground')[1], { backgroundSourceType: 1, color: 0xffffff, source: '' });
  s.preview.update({ virtualBackgroundSupportedType: 0 });
  assert.equal(rtc.getVirtualBackgroundSupportedType(), 0);
  assert.equal(rtc.enableVirtualBackground(true, '/tmp/beach.png', true, 1), 0);
  await waitUntil(() => heard.calls.length === 3, { what: 'three outcomes' });
  assert.deepEqual(heard.calls, [
    ['onRtcVirtualBackgroundSourceEnabled', true, 0],
    ['onRtcVirtualBackgroundSourceEnabled', false, 0],
    ['onRtcVirtualBackgroundSourceEnabled', false, 1],
  ]);
  assert.equal(s.preview.get().virtualBackground.enabled, false, 'a machine without it keeps none');
});

test('local recording on the preview controller: records read key by key, statuses and errors on the preview listener', async (t) => {
  const { s, context, rtc } = preview();
  const heard = listenPreview(t, context);
  assert.throws(() => rtc.startLocalRecord(), { name: 'TypeError', message: 'Wrong number of arguments' });
  assert.deepEqual(s.journal('startLocalRecord'), [], 'a failed check reaches no SDK');
  assert.equal(rtc.pushLocalRecorderVideoFrame('ann', 0, { width: 2, height: 2, buffer: new Uint8Array(6) }), 409);

  assert.equal(rtc.startLocalRecord({}), 0);
  assert.deepEqual(received(s, 'startLocalRecord'), [{
    isShowTimestampCover: true, recordAudio: false, recordVideo: true, filePath: '', fileName: '', coverConfigFilePath: '',
    defaultCoverConfigFilePath: '', coverTitle: '', coverMeetingNumber: '', coverCreateTime: '',
  }]);
  assert.equal(rtc.startLocalRecord({ fileName: 'again.mp4' }), 409, 'one recording at a time');
  assert.equal(rtc.updateLocalRecordLayouts([{ uid: 'ann', width: 640, height: '360' }, 7]), 0);
  const [layouts] = received(s, 'updateLocalRecordLayouts');
  assert.deepEqual(layouts.map((l) => [l.uid, l.width, l.height, l.offsetX, l.isScreenShare]),
    [['ann', 640, 0, 0, false], ['', 0, 0, 0, false]], 'a key of another kind and a non-object leave defaults');
  const pixels = new Uint8Array(6);
  assert.equal(rtc.pushLocalRecorderVideoFrame('ann', 1, { width: 2, height: 2, buffer: pixels }), 0);
  assert.deepEqual(received(s, 'pushLocalRecorderVideoFrame'),
    ['ann', 1, { format: 0, timestamp: 0, width: 2, height: 2, rotation: 0, data: true }]);
  assert.throws(() => rtc.pushLocalRecorderVideoFrame('ann', 1, { width: 4, height: 4, buffer: pixels }),
    { name: 'TypeError', message: 'Wrong arguments' }, 'pixels shorter than the frame are never handed over');
  assert.equal(rtc.stopLocalRecord(), 0);
  assert.equal(rtc.stopLocalRecorderRemux(), 0);
  await waitUntil(() => heard.calls.length === 4, { what: 'the recorder reports' });
  assert.deepEqual(heard.calls, [
    ['onLocalRecorderError', 409, 'not recording'],
    ['onLocalRecorderStatus', 1, 'local-record.mp4'],
    ['onLocalRecorderStatus', 2, 'local-record.mp4'],
    ['onLocalRecorderStatus', 3, 'local-record.mp4'],
  ]);
  assert.equal(s.preview.get().localRecord.framesPushed, 1);
  assert.deepEqual(s.journal('startLocalRecord').map((e) => e.interface), Array(2).fill('IQVPreviewRoomRtcController'));
});

test('answers for one interface only: a qualified answer serves the preview controller, not a room\'s', async () => {
  const { s, rtc } = preview();
  const { settle, joined } = require('./room-helpers');
  const { ctx } = await joined();
  s.answer('IQVPreviewRoomRtcController.selectCameraDevice', { ret: 5, times: -1 });
  assert.equal(ctx.getRtcController().selectCameraDevice('sim-camera-2'), 0);
  assert.equal(rtc.selectCameraDevice('sim-camera-2'), 5);
  assert.deepEqual(s.journal('selectCameraDevice').map((e) => e.interface), [undefined, 'IQVPreviewRoomRtcController']);
  assert.equal(s.journal('IQVPreviewRoomRtcController.selectCameraDevice').length, 1);
  s.answer('getRecordDeviceVolume', { ret: 2 ** 32 - 1 });
  assert.equal(rtc.getRecordDeviceVolume(), 4294967295, 'a plain answer serves whichever asks first, unsigned');
  await settle((cb) => ctx.leaveRoom(cb));
});

test('the video preview: the local user\'s frames reach the frame hub through the preview listener while it runs', async (t) => {
  const { s, context, rtc } = preview();
  s.preview.update({ previewVideo: { width: 32, height: 18, fps: 100 } });
  listenPreview(t, context);
  kit.startListenVideoFrame();
  t.after(() => kit.stopListenVideoFrame());
  assert.equal(rtc.startVideoPreview(), 0);
  assert.equal(rtc.startVideoPreview(), 0, 'a running preview goes on');
  const request = { frame: { userUuid: 'sim-local-user', bSubVideo: false, buffer: { bytes: new Uint8Array(32 * 18 * 1.5) } } };
  await waitUntil(() => {
    kit.getVideoFrame([request]);
    return request.code === 0;
  }, { what: 'a preview frame' });
  assert.deepEqual([request.frame.width, request.frame.height], [32, 18]);
  const pattern = s.frames.inspect(request.frame.buffer.bytes, 32, 18);
  assert.equal(pattern.whole, true, 'the test pattern, whole');
  assert.equal(rtc.stopVideoPreview(), 0);
  assert.equal(s.preview.get().videoPreview, false);
  const total = request.total;
  await new Promise((resolve) => setTimeout(resolve, 60));
  kit.getVideoFrame([request]);
  assert.ok(request.total - total <= 1, 'no frames once the preview stops');
});
