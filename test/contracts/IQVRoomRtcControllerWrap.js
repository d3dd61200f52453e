'use strict';
// A joined room's media: devices, streams, canvases, screen sharing, local recording.

const { CB, controllerOf, named, roomChain } = require('./common');

const N = 'Wrong number of arguments';
const T = 'Wrong arguments';

// A synchronous call: the SDK's answer `ret` is what it returns, so each row shows its own value.
const sync = (name, args, sent, { ret = 5, fail = -1, trace = true, ...more } = {}) => ({
  name, args, sdk: { op: name, args: sent }, answer: { ret }, returns: ret, fail, trace: trace === true ? [name] : trace || [], ...more,
});
// A call that completes later with (code, message[, result]); the callback comes last.
const later = (name, args, sent, { trace = true, result = false, ...more } = {}) => ({
  name, args: [...args, CB], async: true, result, sdk: { op: name, args: sent }, returns: undefined, fail: undefined,
  trace: trace === true ? [name] : trace || [], ...more,
});
// An output parameter the SDK fills, scripted through `result`.
const filled = (name, value, returns, fail = null) => ({
  name, args: [], sdk: { op: name, args: [] }, answer: { result: value }, returns, fail, trace: [name],
});
const device = (deviceId, deviceName, defaultDevice) => ({ deviceId, deviceName, unavailable: false, defaultDevice });
const devices = [device('d-1', 'One', true), device('d-2', 'Two', false)];
const handle = (low) => new Uint8Array([low, 0, 0, 0, 0, 0, 0, 0]);
const canvas = (window, mirrorMode) => ({ enabled: true, window, scalingMode: 0, mirrorMode });
const config = (more) => ({
  captureCursor: true, highlightBorder: true, borderWidth: 4, borderColor: 0xFF7EDE00, monitorIndex: -1,
  limitFrameRate: 30, videoProfile: '', ...more,
});
const count = (args) => ({ args, error: N });
const member = (name) => later(name, ['bob'], ['bob'], {
  trace: name !== 'stopMemberSystemAudioShare',
  checks: [count(['bob']), { args: [5, CB], error: T }, { args: ['bob', 5], error: T }],
});
// The share rows take a source by its number in the list the wrapper was last given.
const listed = (rtc) => new Promise((resolve) => rtc.getScreenCaptureSourceList(() => resolve()));

module.exports = {
  className: 'IQVRoomRtcControllerWrap',
  make: controllerOf('getRtcController'),
  links: named('IQVRoomRtcControllerWrap', roomChain('rtcController')),
  methods: [
    { ...filled('enumCameraDevices', devices, devices), answer: { result: devices, ret: 0 } },
    filled('getSelectedCameraDevice', 'd-2', 'd-2'),
    sync('selectCameraDevice', ['sim-camera-2'], ['sim-camera-2']),
    { ...filled('enumPlayoutDevices', devices, devices), answer: { result: devices, ret: 0 } },
    { ...filled('getDefaultPlayoutDevice', devices[0], { deviceId: 'd-1', deviceName: 'One' }), answer: { result: devices[0], ret: 0 } },
    filled('getSelectedPlayoutDevice', 'd-1', 'd-1'),
    sync('selectPlayoutDevice', ['sim-playout-2'], ['sim-playout-2']),
    // Unsigned both ways: above 2^31 stays positive, -1 is read as 2^32 - 1.
    sync('getPlayoutDeviceVolume', [], [], { ret: 3000000000 }),
    sync('setPlayoutDeviceVolume', [-1], [4294967295]),
    filled('getPlayoutDeviceMute', true, true),
    // A non-zero code leaves the entries unset, whatever the SDK listed.
    { ...filled('enumRecordDevices', devices, (list) => list.length === 2 && !(0 in list) && !(1 in list)), answer: { result: devices, ret: 3 } },
    { ...filled('getDefaultRecordDevice', devices[1], {}), answer: { result: devices[1], ret: 3 } },
    filled('getSelectedRecordDevice', 'd-9', 'd-9'),
    sync('selectRecordDevice', ['sim-record-2'], ['sim-record-2']),
    sync('getRecordDeviceVolume', [], [], { ret: 2 ** 32 - 2 }),
    sync('setRecordDeviceVolume', [70], [70]),
    sync('setAudioDeviceAutoSelectType', [-3], [-3]),
    sync('isSupported', [], [], { ret: false, fail: false }),
    later('joinRtcChannel', [], [], { checks: [count([]), { args: [5], error: T }] }),
    later('leaveRtcChannel', [], [], { checks: [count([]), { args: ['x'], error: T }] }),
    later('disconnectMyAudio', [], []),
    later('reconnectMyAudio', [], []),
    later('muteMyAudio', [], [], { checks: [count([]), { args: ['x'], error: T }] }),
    // The flag counts by its truthiness.
    later('unmuteMyAudio', ['yes'], [true], { checks: [count([])] }),
    later('muteMyVideo', [], [], { checks: [count([])] }),
    later('unmuteMyVideo', [], [], { checks: [count([])] }),
    member('muteMemberAudio'),
    member('unmuteMemberAudio'),
    member('muteMemberVideo'),
    member('unmuteMemberVideo'),
    member('stopMemberShare'),
    member('stopMemberSystemAudioShare'),
    later('startShareSystemAudio', [], [], { trace: false }),
    later('stopShareSystemAudio', [], [], { trace: false }),
    // The snapshot reaches script as its path.
    later('takeLocalSnapshot', [2], [2], {
      answer: { result: { path: '/snap/local.png', timestamp: 9 } }, result: '/snap/local.png', checks: [count([])],
    }),
    later('takeRemoteSnapshot', ['bob', 1], ['bob', 1], {
      answer: { result: { path: '/snap/bob.png', timestamp: 9 } }, result: '/snap/bob.png', checks: [count([])],
    }),
    sync('setupLocalVideoCanvas', [handle(1), 'mirrored'], [canvas(1, 1)]),
    sync('setupRemoteVideoCanvas', ['bob', handle(2)], ['bob', canvas(2, 2)], { checks: [count(['bob'])] }),
    sync('setupRemoteVideoSubStreamCanvas', ['cy', handle(3)], ['cy', canvas(3, 2)], { checks: [count(['cy'])] }),
    // No SDK operation takes the local sub-stream canvas.
    { name: 'setupLocalVideoSubStreamCanvas', args: [handle(4)], returns: 0, fail: -1, trace: ['setupLocalVideoSubStreamCanvas'],
      checks: [count([])] },
    sync('subscribeRemoteVideoStream', ['bob', 5], ['bob', true], { checks: [count(['bob'])] }),
    sync('unsubscribeRemoteVideoStream', ['bob'], ['bob'], { checks: [count([]), { args: [5], error: T }] }),
    sync('subscribeRemoteVideoSubStream', ['cy'], ['cy'], { checks: [count([]), { args: [5], error: T }] }),
    sync('unsubscribeRemoteVideoSubStream', ['cy'], ['cy'], { checks: [count([]), { args: [5], error: T }] }),
    sync('setLocalVideoResolution', [720], [720]),
    sync('setLocalVideoFramerate', [24], [24]),
    sync('enableLocalVideo', [0], [false], { trace: false, fail: null }),
    sync('pauseLocalVideoCapture', [], []),
    sync('setAudioProfile', [3, 4], [3, 4]),
    sync('enableAudioAINS', [1], [true], { checks: [count([])] }),
    sync('enableAudioEchoCancellation', [''], [false], { checks: [count([])] }),
    sync('enableAudioVolumeAutoAdjust', [{}], [true], { checks: [count([])] }),
    sync('enableAudioVolumeIndication', [true, 200], [true, 200], { checks: [count([true])] }),
    sync('adjustRecordingSignalVolume', [-1], [4294967295]),
    sync('adjustPlaybackSignalVolume', [80], [80]),
    sync('adjustUserPlaybackSignalVolume', ['bob', 50], ['bob', 50], { checks: [count(['bob'])] }),
    sync('adjustChannelPlaybackSignalVolume', ['ch', 60], ['ch', 60]),
    sync('enableLocalAudio', ['ch', 0], ['ch', false]),
    sync('enableMediaPub', ['ch', 2, 1], ['ch', 2, true]),
    sync('enableLocalAudioSubStream', [], []),
    sync('disableLocalAudioSubStream', [], []),
    sync('pauseLocalAudioRecording', [], []),
    sync('resumeLocalAudioRecording', [], []),
    sync('startAudioDump', [3], [3]),
    sync('stopAudioDump', [], []),
    sync('enableCaption', [true], [true]),
    sync('setCaptionTranslationLanguage', [7], [7], { trace: false, fail: null }),
    sync('enableEncryption', ['key', 2], ['key', 2], { fail: null, checks: [count([])] }),
    sync('getVirtualBackgroundSupportedType', [], [], { trace: false }),
    sync('setCloudProxy', [1], [1], { trace: false, fail: null }),
    filled('getScreenSharingUserUuid', 'bob', 'bob'),
    later('getScreenCaptureSourceList', [], [320, 200, 60, 60, true], {
      result: (sources) => sources.map((s) => s.id).join() === '0,1,2',
    }),
    // Source 1 of the default list is the second screen, whose SDK id is 2.
    later('startScreenShare', [1, { limitFrameRate: 10 }], [2, config({ limitFrameRate: 10 }), []], {
      prepare: listed, objectArgs: [1], checks: [{ args: [3, {}, CB], error: T }, { args: [-1, {}, CB], error: T }],
    }),
    later('startAppShare', [2, { videoProfile: 'hd' }], [0x10000002A, config({ videoProfile: 'hd' })], {
      prepare: listed, objectArgs: [1], trace: false, checks: [{ args: [9, {}, CB], error: T }],
    }),
    later('startRectShare', [{ width: 800 }, { x: 1, y: 2, width: 3, height: 4 }, true],
      [{ x: 0, y: 0, width: 800, height: 0 }, { x: 1, y: 2, width: 3, height: 4 }, [], true], {
        objectArgs: [0, 1], trace: false,
      }),
    sync('setExcludeWindowList', [[-1, 7], false], [[-1, 7]], {
      objectArgs: [0], checks: [{ args: [[new Uint8Array(4)], true], error: T }, { args: [[7], true], error: T }],
    }),
    later('stopShare', [], [], { trace: ['stopShare', 'stopShare cb code:0 msg:'] }),
    sync('startSystemAudioLoopbackCapture', [], []),
    sync('stopSystemAudioLoopbackCapture', [], []),
    sync('startLocalRecord', [{ fileName: 'a.mp4', recordAudio: true }], [{
      isShowTimestampCover: true, recordAudio: true, recordVideo: true, filePath: '', fileName: 'a.mp4',
      coverConfigFilePath: '', defaultCoverConfigFilePath: '', coverTitle: '', coverMeetingNumber: '', coverCreateTime: '',
    }], { trace: false, fail: null, objectArgs: [0], checks: [count([])] }),
    sync('stopLocalRecord', [], [], { trace: false, fail: null }),
    sync('updateLocalRecordLayouts', [[{ uid: 'bob', width: 640, height: 'tall' }]], [[{
      streamType: 0, isShowNameCover: false, isShowStreamDefaultCover: false, isScreenShare: false, streamLayer: 0,
      offsetX: 0, offsetY: 0, width: 640, height: 0, scalingMode: 0, bgColor: 0, uid: 'bob',
    }]], { trace: false, fail: null, objectArgs: [0] }),
    sync('pushLocalRecorderVideoFrame', ['rec', 1, { width: 2, height: 2, buffer: new Uint8Array(6) }],
      ['rec', 1, { format: 0, timestamp: 0, width: 2, height: 2, rotation: 0, data: true }], {
        trace: false, fail: null, objectArgs: [2],
        checks: [{ args: ['rec', 1, { width: 2, height: 2, buffer: new Uint8Array(5) }], error: T }],
      }),
    sync('stopLocalRecorderRemux', [], [], { trace: false, fail: null }),
  ],
};
