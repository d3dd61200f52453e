'use strict';
// A joined room's live streams. A missing link raises nothing: the controller prints it and fails quietly.

const { CB, partial, controllerOf, printed, roomChain } = require('./common');

/** The room's live controller, with a stream task beside the live stream's own for the removal row. */
async function make(ctx) {
  const live = await controllerOf('getLiveController')(ctx);
  ctx.sim.live.addTask(ctx.uuid, 'extra-task');
  return live;
}

const ADDRESS_KEYS = 'taskId,pushUrl,pullHlsUrl,pullHttpUrl,pullRtmpUrl,pullRtsUrl';
const INFO = {
  title: 'Q3', password: 'pw', taskId: 't-1', pushUrl: 'rtmp://push/t-1', pullHlsUrl: 'https://pull/t-1.m3u8',
  pullHttpUrl: 'https://pull/t-1.flv', pullRtmpUrl: 'rtmp://pull/t-1', pullRtsUrl: 'artc://pull/t-1', state: 1,
  extensionConfig: '{}', liveLayout: 2, userUuidList: ['bob'],
};
// The same live stream as the SDK's record.
const INFO_RECORD = { ...INFO, enableThirdParties: true };

// Both forms of the parameters object: N with fewer than two arguments, T unless an object (or function) and a function.
const paramChecks = [
  { args: [CB], error: 'Wrong number of arguments' },
  { args: ['title', CB], error: 'Wrong arguments' },
  { args: [null, CB], error: 'Wrong arguments' },
  { args: [{}, 'callback'], error: 'Wrong arguments' },
];
// Stream tasks are checked and go no further: nothing resolves, nothing is called back.
const streamTask = (name) => ({ name, args: [{ streamUrl: 'rtmp://x' }, CB], resolves: false, returns: undefined, checks: paramChecks });

module.exports = {
  className: 'IQVRoomLiveControllerWrap',
  make,
  links: printed('IQVRoomLiveControllerWrap', roomChain('liveController')),
  methods: [
    // Every key coerced: 7 is '7', 1 is true, '3' is 3.
    { name: 'startLive',
      args: [{ title: 'Q3', password: 7, enableThirdParties: 1, extensionConfig: 'cfg', liveLayout: '3', userUuidList: ['bob', 7] }, CB],
      sdk: { op: 'startLive', args: [partial({ title: 'Q3', password: '7', enableThirdParties: true, extensionConfig: 'cfg',
        liveLayout: 3, userUuidList: ['bob', '7'] })] },
      async: true, returns: undefined, objectArgs: [0], checks: paramChecks,
      result: (addresses) => Object.keys(addresses).join() === ADDRESS_KEYS && addresses.pushUrl !== '' },
    { name: 'isSupported', args: [], sdk: { op: 'isSupported', args: [] }, answer: { ret: true }, returns: true, fail: false },
    { name: 'getLiveInfo', args: [], sdk: { op: 'getLiveInfo', args: [] }, answer: { ret: INFO_RECORD }, returns: INFO, fail: null },
    // enableThirdParties is not read by an update.
    { name: 'updateLive', args: [{ title: 'Q4', enableThirdParties: true, liveLayout: 2 }, CB],
      sdk: { op: 'updateLive', args: [partial({ title: 'Q4', enableThirdParties: false, liveLayout: 2 })] },
      async: true, result: false, returns: undefined, objectArgs: [0], checks: paramChecks },
    { name: 'stopLive', args: [CB], sdk: { op: 'stopLive', args: [] }, async: true, result: false, returns: undefined,
      checks: [{ args: [], error: 'Wrong arguments' }, { args: ['callback'], error: 'Wrong arguments' }] },
    streamTask('addLiveStreamTask'),
    streamTask('updateLiveStreamTask'),
    { name: 'removeLiveStreamTask', args: ['extra-task', CB], sdk: { op: 'removeLiveStreamTask', args: ['extra-task'] },
      async: true, result: false, returns: undefined,
      checks: [{ args: ['extra-task'], error: 'Wrong number of arguments' }, { args: ['extra-task', 'cb'], error: 'Wrong arguments' }] },
    // The four URLs, each coerced; the result is the images' new sequence.
    { name: 'updateBackgroundInfo',
      args: [{ backgroundUrl: 'bg', coverUrl: 'cv', thumbnailBackgroundUrl: 'tbg', thumbnailCoverUrl: 7 }, CB],
      sdk: { op: 'updateBackgroundInfo', args: [{ backgroundUrl: 'bg', thumbnailBackgroundUrl: 'tbg', coverUrl: 'cv',
        thumbnailCoverUrl: '7', backgroundUpdatedSequence: 0 }] },
      async: true, result: 1, returns: undefined, objectArgs: [0] },
    { name: 'getBackgroundInfo', args: [CB], sdk: { op: 'getBackgroundInfo', args: [] }, async: true, returns: undefined,
      answer: { result: { backgroundUrl: 'bg', thumbnailBackgroundUrl: 'tbg', coverUrl: 'cv', thumbnailCoverUrl: 'tcv',
        backgroundUpdatedSequence: 2 ** 40 } },
      result: { backgroundUrl: 'bg', coverUrl: 'cv', thumbnailBackgroundUrl: 'tbg', thumbnailCoverUrl: 'tcv',
        backgroundUpdatedSequence: 2 ** 40 } },
  ],
};
