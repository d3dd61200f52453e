'use strict';
// The kit: starts and stops the SDK, holds the four services, reads global SDK
// facts, registers global event listeners and hosts the video frame methods.

const { CB, LISTENER, ID, ADAPTER, partial, isId, instanceOf } = require('./common');

const versions = { imVersion: 'im-1', rtcVersion: 'rtc-2', whiteboardVersion: 'wb-3', parloVersion: 'p-4' };

module.exports = {
  className: 'IQVParloWrap',
  make: (ctx) => ctx.kit,
  // The SDK always has a kit; when the simulated SDK has none, the kit's own
  // methods raise rather than reach it.
  links: [{ link: 'kit', remove: (s) => s.setLink('kit', false), message: 'parlo Null pointer exception' }],
  methods: [
    { name: 'addGlobalEventListener', args: [LISTENER], listener: 'add', kind: 'global',
      sdk: { op: 'addGlobalEventListener', args: [ADAPTER] }, returns: isId, fail: -1 },
    { name: 'getAuthService', args: [], resolves: false, returns: instanceOf('IQVAuthServiceWrap') },
    { name: 'getMessageChannelService', args: [], resolves: false, returns: instanceOf('IQVMessageChannelServiceWrap') },
    { name: 'getVornService', args: [], resolves: false, returns: instanceOf('IQVVornServiceWrap') },
    { name: 'getRoomService', args: [], resolves: false, returns: instanceOf('IQVRoomServiceWrap') },
    { name: 'getSdkVersions', args: [], sdk: { op: 'getSdkVersions', args: [] }, answer: { result: versions },
      returns: versions, fail: undefined },
    { name: 'initialize', args: [{ appKey: 'key-1', logLevel: 4 }, CB], async: 'inside', result: false,
      sdk: { op: 'initialize', args: [partial({ appKey: 'key-1', logLevel: 4, reuseIM: false })] },
      returns: 1, fail: undefined, objectArgs: [0], trace: ['initialize options:appKey:key-1'] },
    { name: 'isInitialized', args: [], sdk: { op: 'isInitialized', args: [] }, answer: { ret: true },
      returns: true, fail: undefined },
    { name: 'release', args: [], sdk: { op: 'release', args: [] }, returns: 1, fail: undefined },
    { name: 'removeGlobalEventListener', args: [ID], listener: 'remove', kind: 'global',
      sdk: { op: 'removeGlobalEventListener', args: [ADAPTER] }, returns: true, fail: false },
    { name: 'switchLanguage', args: [-3], sdk: { op: 'switchLanguage', args: [-3] }, answer: { ret: 5 },
      returns: 5, fail: undefined },
    { name: 'uploadLog', args: [CB], async: true, sdk: { op: 'uploadLog', args: [] },
      answer: { result: 'https://logs/upload-7' }, result: 'https://logs/upload-7', returns: 0, fail: undefined },
    { name: 'getDeviceId', args: [], sdk: { op: 'getDeviceId', args: [] }, answer: { result: 'dev-9' },
      returns: 'dev-9', fail: undefined },
    { name: 'getCurrentLogPath', args: [], sdk: { op: 'getCurrentLogPath', args: [] },
      answer: { result: '/var/log/parlo-2' }, returns: '/var/log/parlo-2', fail: undefined },
    { name: 'getNetworkType', args: [], sdk: { op: 'getNetworkType', args: [] }, answer: { ret: 4 },
      returns: 4, fail: undefined },
    // The frame methods work on the module's own frame store and never reach the SDK.
    { name: 'getVideoFrame', args: [[]], resolves: false, returns: undefined, objectArgs: [0] },
    { name: 'startListenVideoFrame', args: [], resolves: false, returns: undefined },
    { name: 'stopListenVideoFrame', args: [], resolves: false, returns: undefined },
  ],
};
