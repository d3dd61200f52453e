'use strict';
// The preview room's media controller. Exported without the "Wrap" ending; its
// messages carry the longer name. Every call first writes the check line, also when
// a link is missing; no method writes a line of its own but setRecordDeviceVolume.

const { named, previewChain } = require('./common');

const CHECK = 'checkIfPreviewRoomControllerIsNotNull before ';

// A synchronous call: the SDK operation of the same name receives `sent` (the
// arguments, unless they read into something else) and its code comes back.
const op = (name, args, { sent = args, returns = 0, ...rest } = {}) => ({
  name, args, sdk: { op: name, args: sent }, returns, trace: [CHECK], ...rest,
});
// A call the SDK answers with a scripted code: shows that code is handed back unchanged.
const coded = (name, args, ret, rest = {}) => op(name, args, { answer: { ret }, returns: ret, ...rest });

const CAMERAS = [
  { deviceId: 'sim-camera-1', deviceName: 'Sim HD Camera', unavailable: false, defaultDevice: true },
  { deviceId: 'sim-camera-2', deviceName: 'Sim USB Camera', unavailable: false, defaultDevice: false },
];
const PLAYOUTS = [
  { deviceId: 'sim-playout-1', deviceName: 'Sim Speakers', unavailable: false, defaultDevice: true },
  { deviceId: 'sim-playout-2', deviceName: 'Sim Headphones', unavailable: false, defaultDevice: false },
];
const RECORDS = [
  { deviceId: 'sim-record-1', deviceName: 'Sim Microphone', unavailable: false, defaultDevice: true },
  { deviceId: 'sim-record-2', deviceName: 'Sim Headset Microphone', unavailable: false, defaultDevice: false },
];
const brief = ({ deviceId, deviceName }) => ({ deviceId, deviceName });
const HANDLE_1 = new Uint8Array([1, 0, 0, 0, 0, 0, 0, 0]);
const RECORD_DEFAULTS = {
  isShowTimestampCover: true, recordAudio: false, recordVideo: true, filePath: '', fileName: '', coverConfigFilePath: '',
  defaultCoverConfigFilePath: '', coverTitle: '', coverMeetingNumber: '', coverCreateTime: '',
};
const LAYOUT_DEFAULTS = {
  streamType: 0, isShowNameCover: false, isShowStreamDefaultCover: false, isScreenShare: false, streamLayer: 0,
  offsetX: 0, offsetY: 0, width: 0, height: 0, scalingMode: 0, bgColor: 0, uid: '',
};

module.exports = {
  className: 'IQVPreviewRoomRtcController',
  make: (ctx) => new ctx.brimo.IQVPreviewRoomRtcController(),
  links: named('IQVPreviewRoomRtcControllerWrap', previewChain('previewRoomRtcController'), { kitNamed: false })
    .map((link) => ({ ...link, trace: [CHECK] })),
  methods: [
    op('startVideoPreview', []),
    op('stopVideoPreview', []),
    // Mirrored when the flag is truthy; the handle is the array's first 8 bytes.
    op('setupLocalVideoCanvas', [HANDLE_1, 1], { sent: [{ enabled: true, window: 1, scalingMode: 0, mirrorMode: 1 }] }),
    op('enumCameraDevices', [], { returns: CAMERAS }),
    op('getSelectedCameraDevice', [], { returns: 'sim-camera-1' }),
    op('selectCameraDevice', ['sim-camera-2']),
    op('enumPlayoutDevices', [], { returns: PLAYOUTS }),
    op('getDefaultPlayoutDevice', [], { returns: brief(PLAYOUTS[0]) }),
    op('getSelectedPlayoutDevice', [], { returns: 'sim-playout-1' }),
    op('selectPlayoutDevice', ['sim-playout-2']),
    // Unsigned both ways: above 2^31 stays positive, -1 reads as 2^32 - 1.
    coded('getPlayoutDeviceVolume', [], 2 ** 32 - 1),
    op('setPlayoutDeviceVolume', [-1], { sent: [2 ** 32 - 1] }),
    op('startPlayoutDeviceTest', ['/tmp/ring.wav']),
    coded('stopPlayoutDeviceTest', [], -5),
    op('enumRecordDevices', [], { returns: RECORDS }),
    op('getDefaultRecordDevice', [], { returns: brief(RECORDS[0]) }),
    op('getSelectedRecordDevice', [], { returns: 'sim-record-1' }),
    op('selectRecordDevice', ['sim-record-2']),
    coded('getRecordDeviceVolume', [], 2 ** 31 + 7),
    op('setRecordDeviceVolume', [2 ** 31], {
      trace: [CHECK, 'setRecordDeviceVolume result ====== ', 'setRecordDeviceVolume result '],
    }),
    op('startRecordDeviceTest', [200]),
    coded('stopRecordDeviceTest', [], -5),
    op('setLocalVideoResolution', [-3]),
    op('setAudioDeviceAutoSelectType', [2]),
    op('setAudioProfile', [4, 5]),
    op('startAudioDump', [1]),
    op('stopAudioDump', []),
    op('enableAudioVolumeAutoAdjust', [true]),
    op('enableAudioAINS', [false]),
    // Two arguments: the two-argument form; four: (id, enable, interval, flag), flags by truthiness.
    op('enableAudioVolumeIndication', [1, 300], {
      sent: [true, 300], checks: [{ args: [true], error: 'Wrong number of arguments' }],
    }),
    op('adjustRecordingSignalVolume', [400]),
    op('adjustPlaybackSignalVolume', [2 ** 32 - 2]),
    op('setLocalVoicePitch', [1.25]),
    op('setRecordDeviceMute', [true]),
    op('setPlayoutDeviceMute', [false], { checks: [{ args: [], error: 'Wrong number of arguments' }] }),
    op('installAudioCaptureDriver', []),
    op('getVirtualBackgroundSupportedType', [], { returns: 3 }),
    // The kind comes from the fourth argument, the colour is always 0xFFFFFF.
    op('enableVirtualBackground', [true, '/tmp/beach.png', false, 2], {
      sent: [true, { backgroundSourceType: 2, color: 0xffffff, source: '/tmp/beach.png' }, false],
    }),
    op('startBeauty', ['/opt/beauty']),
    op('stopBeauty', []),
    coded('enableBeauty', [true], 11),
    // The level reaches the SDK as the nearest 32-bit float.
    op('setBeautyEffect', [2, 0.3], { sent: [2, Math.fround(0.3)] }),
    op('startLocalRecord', [{ fileName: 'preview.mp4', recordAudio: true }], {
      sent: [{ ...RECORD_DEFAULTS, fileName: 'preview.mp4', recordAudio: true }], objectArgs: [0],
      checks: [{ args: [], error: 'Wrong number of arguments' }],
    }),
    coded('stopLocalRecord', [], 409),
    op('updateLocalRecordLayouts', [[{ uid: 'ann', width: 640, height: '360' }]], {
      sent: [[{ ...LAYOUT_DEFAULTS, uid: 'ann', width: 640 }]], objectArgs: [0],
    }),
    // Nothing records in a fresh preview room: the SDK refuses the frame.
    op('pushLocalRecorderVideoFrame', ['ann', 0, { width: 2, height: 2, timestamp: 2 ** 40, buffer: new Uint8Array(6) }], {
      sent: ['ann', 0, { format: 0, timestamp: 2 ** 40, width: 2, height: 2, rotation: 0, data: true }],
      returns: 409, objectArgs: [2],
    }),
    op('stopLocalRecorderRemux', []),
  ],
};
