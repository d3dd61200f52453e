'use strict';
// RTC statistics: the six reports reach a room's statistics listener with every field
// in its order and width; the simulated source of a joined room reports at its
// interval while the room's media runs, with figures that follow from the members.

const { test, afterEach } = require('node:test');
const assert = require('node:assert/strict');
const { sim, waitUntil, recordingListener } = require('./helpers');
const { freshUuid, settle, joined, closeListeners } = require('./room-helpers');

afterEach(closeListeners);

// The documented key orders, written out rather than taken from the module.
const KEYS = {
  onRtcStats: ['cpuAppUsageRatio', 'cpuIdleUsageRatio', 'cpuTotalUsageRatio', 'memoryAppUsageRatio',
    'memoryTotalUsageRatio', 'memoryAppInKBytes', 'totalDuration', 'txBytes', 'rxBytes', 'txAudioBytes', 'txVideoBytes',
    'rxAudioBytes', 'rxVideoBytes', 'txAudioKBitRate', 'rxAudioKBitRate', 'txVideoKBitRate', 'rxVideoKBitRate', 'upRtt',
    'downRtt', 'txAudioPacketLossRate', 'txVideoPacketLossRate', 'txAudioPacketLossSum', 'txVideoPacketLossSum',
    'txAudioJitter', 'txVideoJitter', 'rxAudioPacketLossRate', 'rxVideoPacketLossRate', 'rxAudioPacketLossSum',
    'rxVideoPacketLossSum', 'rxAudioJitter', 'rxVideoJitter'],
  onLocalAudioStats: ['streamType', 'numChannels', 'sentSampleRate', 'sentBitRate', 'audioLossRate', 'rtt', 'volume',
    'capVolume'],
  onRemoteAudioStats: ['streamType', 'receivedBitRate', 'totalFrozenTime', 'frozenRate', 'audioLossRate', 'volume'],
  onLocalVideoStats: ['layerType', 'width', 'height', 'captureWidth', 'captureHeight', 'captureFrameRate',
    'renderFrameRate', 'encoderFrameRate', 'sentFrameRate', 'sentBitRate', 'targetBitRate', 'encoderBitRate',
    'encoderName'],
  onRemoteVideoStats: ['layerType', 'width', 'height', 'receivedBitRate', 'receivedFrameRate', 'decoderFrameRate',
    'renderFrameRate', 'packetLossRate', 'totalFrozenTime', 'frozenRate', 'encoderName'],
  onNetworkQuality: ['userUuid', 'upStatus', 'downStatus'],
};
const EVENTS = Object.keys(KEYS);
const record = (event, values) => Object.fromEntries(KEYS[event].map((key, i) => [key, values[i]]));

/** A room joined with its periodic reports set first (settings are kept by room UUID). */
async function statsRoom(settings = { intervalMs: 0 }, params = {}) {
  const uuid = freshUuid('stats');
  sim().stats.configure(uuid, settings);
  return joined({ roomUuid: uuid, ...params });
}

/** A statistics listener recording every report, with a count of whole rounds. */
function listenStats(t, ctx) {
  const heard = recordingListener(t, (fn) => ctx.addRtcStatsListener(fn), (id) => ctx.removeRtcStatsListener(id));
  return { ...heard, rounds: () => heard.calls.filter((c) => c[0] === 'onNetworkQuality').length };
}

/** Waits until no report is on its way: the count stays whole rounds for a few intervals. */
async function quiet(heard, ms) {
  let seen = -1;
  while (seen !== heard.calls.length || seen % 6 !== 0) {
    seen = heard.calls.length;
    await new Promise((resolve) => setTimeout(resolve, ms));
  }
  return seen;
}

/** The reports of round `n` (0-based) as { event: payload }, each kind once, in the listener's order. */
function round(calls, n) {
  const six = calls.slice(n * 6, n * 6 + 6);
  assert.deepEqual(six.map((c) => c[0]), EVENTS, `round ${n}: the six reports in order`);
  return Object.fromEntries(six.map(([event, payload]) => [event, payload]));
}

test('each report reaches script field by field, in order and width: unsigned above 2^31, 64-bit counters above 2^32', async (t) => {
  const { s, ctx, uuid } = await statsRoom();
  const heard = listenStats(t, ctx);
  const totals = record('onRtcStats', [2 ** 32 - 1, 2 ** 31 + 5, 3, 4, 5, 3000000000, -7, 2 ** 40 + 3, 2 ** 33, 10, 11,
    12, 2 ** 53, 14, -15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, -(2 ** 31)]);
  const localAudio = record('onLocalAudioStats', [0, 2, 48000, 64, 1, -(2 ** 40), 2 ** 32 - 2, 2 ** 31]);
  const remoteAudio = record('onRemoteAudioStats', [1, 32, 3, 4, 5, 4000000000]);
  const localVideo = record('onLocalVideoStats', [1, 1280, 720, 1920, 1080, 30, 29, 28, 27, 800, 900, 850, 'h264 \u00e9']);
  const main = record('onRemoteVideoStats', [1, 640, 360, 500, 15, 14, 13, 2, 9, 10, 'vp8']);
  const sub = { ...main, layerType: 2, width: 1920, height: 1080, encoderName: 'h265' };
  const quality = record('onNetworkQuality', ['ann', 1, -2]);
  // [event, what the SDK reports, what script receives]: per-user maps in ascending key order.
  const reports = [
    ['onRtcStats', totals],
    ['onLocalAudioStats', [localAudio, { ...localAudio, streamType: 1 }]],
    ['onLocalAudioStats', []],
    ['onRemoteAudioStats', { zed: [remoteAudio], amy: [remoteAudio, { ...remoteAudio, streamType: 2 }] },
      { amy: [remoteAudio, { ...remoteAudio, streamType: 2 }], zed: [remoteAudio] }],
    ['onRemoteAudioStats', {}],
    ['onLocalVideoStats', [localVideo]],
    // Two users, each with a main and a sub layer, as the SDK lists them.
    ['onRemoteVideoStats', { cy: [sub, main], bob: [main, sub] }, { bob: [main, sub], cy: [sub, main] }],
    ['onRemoteVideoStats', { bob: [] }],
    ['onNetworkQuality', [quality, { ...quality, userUuid: 'bob' }]],
    ['onNetworkQuality', []],
  ];
  for (const [event, payload] of reports) s.emit('rtcStats', event, [payload], { room: uuid });
  await waitUntil(() => heard.calls.length === reports.length, { what: 'statistics reports' });
  reports.forEach(([event, payload, expected = payload], i) => {
    assert.deepEqual(heard.calls[i], [event, expected], event);
    // The same text: keys in their documented order, and nothing more.
    assert.equal(JSON.stringify(heard.calls[i]), JSON.stringify([event, expected]), `${event}: key order`);
  });
  assert.equal(heard.calls[0][1].cpuAppUsageRatio, 4294967295, 'unsigned, not -1');
  assert.equal(heard.calls[0][1].txBytes, 1099511627779, 'a 64-bit counter above 2^32, exactly');
  assert.ok(Array.isArray(heard.calls[2][1]) && Array.isArray(heard.calls[7][1].bob), 'empty lists are arrays');
  assert.equal(Object.getPrototypeOf(heard.calls[4][1]), Object.prototype, 'an empty map is a plain object');
});

test('a room reports every interval while its media runs, in the listener order, with figures that follow from its members', async (t) => {
  const { s, ctx, uuid } = await statsRoom();
  const me = ctx.getLocalMember().uuid;
  // Ann (host, 1280 x 720 at 30) sends audio, video and her screen; bob (member, 640 x 360
  // at 15) sends audio and video; cy sends her screen and system audio.
  s.rooms.updateMember(uuid, me, { isAudioOn: true, isVideoOn: true, isSharingScreen: true });
  s.rooms.addMember(uuid, [
    { uuid: 'cy', role: 'member', isSharingScreen: true, isSharingSystemAudio: true },
    { uuid: 'bob', role: 'member', isAudioOn: true, isVideoOn: true },
  ]);
  const heard = listenStats(t, ctx);
  // Periodic reports from now on.
  s.stats.configure(uuid, { intervalMs: 40, audioKbps: 64, videoKbps: 1000, screenKbps: 2000, rttMs: 80, lossRate: 2, quality: 3 });
  await waitUntil(() => heard.rounds() >= 3, { what: 'three rounds of reports' });
  const [first, second] = [round(heard.calls, 0), round(heard.calls, 1)];

  assert.deepEqual(first.onLocalAudioStats, [
    { streamType: 0, numChannels: 1, sentSampleRate: 48000, sentBitRate: 64, audioLossRate: 2, rtt: 80, volume: 60, capVolume: 100 },
  ]);
  assert.deepEqual(first.onLocalVideoStats.map((l) => [l.layerType, l.width, l.height, l.sentFrameRate, l.sentBitRate]),
    [[1, 1280, 720, 30, 1000], [2, 1920, 1080, 15, 2000]]);
  assert.deepEqual(Object.keys(first.onRemoteAudioStats), ['bob', 'cy'], 'by user, ascending');
  assert.deepEqual(first.onRemoteAudioStats.cy.map((a) => a.streamType), [1], 'system audio is the sub stream');
  assert.deepEqual(first.onRemoteVideoStats.bob.map((l) => [l.layerType, l.width, l.height, l.receivedFrameRate]), [[1, 640, 360, 15]]);
  assert.deepEqual(first.onRemoteVideoStats.cy.map((l) => [l.layerType, l.width, l.receivedBitRate]), [[2, 1920, 2000]]);
  assert.deepEqual(first.onNetworkQuality, [me, 'cy', 'bob'].map((userUuid) => ({ userUuid, upStatus: 3, downStatus: 3 })),
    'the local member, then the remote members');

  const [a, b] = [first.onRtcStats, second.onRtcStats];
  assert.deepEqual([a.txAudioKBitRate, a.txVideoKBitRate, a.rxAudioKBitRate, a.rxVideoKBitRate], [64, 3000, 128, 3000]);
  for (const r of [a, b]) {
    assert.equal(r.txBytes, r.txAudioBytes + r.txVideoBytes);
    assert.equal(r.rxBytes, r.rxAudioBytes + r.rxVideoBytes);
    assert.equal(r.cpuIdleUsageRatio, 100 - r.cpuTotalUsageRatio);
    assert.ok(r.cpuAppUsageRatio <= r.cpuTotalUsageRatio);
    assert.deepEqual([r.upRtt, r.downRtt, r.txAudioJitter, r.rxVideoPacketLossRate], [80, 80, 20, 2]);
  }
  // Each report covers one interval: kbps x 40 ms / 8 more bytes.
  assert.equal(b.txVideoBytes - a.txVideoBytes, 3000 * 40 / 8);
  assert.equal(b.rxAudioBytes - a.rxAudioBytes, 128 * 40 / 8);
  assert.equal(a.txAudioBytes, 64 * 40 / 8, 'the first report covers the first interval');
  const source = s.stats.get(uuid);
  assert.ok(source.running && source.reports >= 3);
  assert.equal(source.coveredMs, 40 * source.reports);
  assert.equal(heard.remove(), true);
  await settle((cb) => ctx.leaveRoom(cb));
});

test('no reports while the media stops; they start again from zero with it, and only the room\'s own listeners hear them', async (t) => {
  const { s, ctx, uuid } = await statsRoom({ intervalMs: 30 });
  const other = await statsRoom({ intervalMs: 0 });
  const me = ctx.getLocalMember().uuid;
  s.rooms.updateMember(uuid, me, { isAudioOn: true });
  const heard = listenStats(t, ctx);
  const elsewhere = listenStats(t, other.ctx);
  await waitUntil(() => heard.rounds() >= 2, { what: 'reports while the media runs' });

  // The rtc controller leaves the channel: the local member is out of it.
  await settle((cb) => ctx.getRtcController().leaveRtcChannel(cb));
  assert.equal(s.stats.get(uuid).running, false);
  const stopped = await quiet(heard, 60);
  const reports = s.stats.get(uuid).reports;
  await new Promise((resolve) => setTimeout(resolve, 150));
  assert.equal(heard.calls.length, stopped, 'nothing while the media is stopped');
  assert.equal(s.stats.get(uuid).reports, reports);

  await settle((cb) => ctx.getRtcController().joinRtcChannel(cb));
  await waitUntil(() => heard.rounds() > stopped / 6, { what: 'reports once the media runs again' });
  const again = round(heard.calls, stopped / 6).onRtcStats;
  assert.equal(again.txAudioBytes, 48 * 30 / 8, 'the counters start again with the call');
  assert.equal(again.totalDuration, 0);
  assert.deepEqual(elsewhere.calls, [], 'another room hears nothing of it');
  assert.deepEqual([heard.remove(), elsewhere.remove()], [true, true]);
  await settle((cb) => ctx.leaveRoom(cb));
  await settle((cb) => other.ctx.leaveRoom(cb));
});

test('a one-shot report: computed from the room, scripted kinds laid over, raised as the script command answers it', async (t) => {
  const { s, ctx, uuid } = await statsRoom({ intervalMs: 0, audioKbps: 40 });
  s.rooms.addMember(uuid, { uuid: 'bob', role: 'member', isVideoOn: true, isSharingScreen: true });
  const heard = listenStats(t, ctx);
  const sent = s.stats.report(uuid, {
    rtcStats: { cpuAppUsageRatio: 2 ** 32 - 1, memoryAppInKBytes: 2 ** 31 + 1, txBytes: 2 ** 40 + 1 },
    localAudio: [{ streamType: 0, volume: 3000000000 }],
    network: [],
  }, { mode: 'sync' });
  assert.equal(heard.calls.length, 0, 'reports reach script on its own thread, after the call');
  await waitUntil(() => heard.rounds() === 1, { what: 'the one-shot report' });
  const got = round(heard.calls, 0);
  assert.equal(got.onRtcStats.cpuAppUsageRatio, 4294967295);
  assert.equal(got.onRtcStats.memoryAppInKBytes, 2147483649);
  assert.equal(got.onRtcStats.txBytes, 2 ** 40 + 1);
  assert.equal(got.onRtcStats.rxVideoBytes, sent.rtcStats.rxVideoBytes, 'kinds not scripted are computed');
  assert.equal(got.onRtcStats.rxVideoBytes, (800 + 1200) * 1000 / 8, 'one second covered without an interval');
  assert.deepEqual(got.onLocalAudioStats, [record('onLocalAudioStats', [0, 0, 0, 0, 0, 0, 3000000000, 0])],
    'a scripted list replaces the computed one, fields it lacks at their defaults');
  assert.deepEqual(got.onRemoteVideoStats, sent.remoteVideo);
  assert.deepEqual(got.onRemoteVideoStats.bob.map((l) => l.layerType), [1, 2], 'main and sub layer');
  assert.deepEqual(got.onNetworkQuality, []);
  assert.deepEqual(s.stats.get(uuid).last, sent);

  assert.throws(() => s.stats.report(uuid, { tone: [] }), /no tone/);
  assert.throws(() => s.stats.report('no-such-room'), /no joined room/);
  assert.throws(() => s.stats.configure(uuid, { intervalMs: 5 }), /intervalMs/);
  assert.throws(() => s.stats.configure(uuid, { lossRate: 101 }), /lossRate/);
  assert.deepEqual(s.stats.get(uuid).settings.audioKbps, 40, 'a refused setting changes nothing');
  assert.equal(heard.remove(), true);
  await settle((cb) => ctx.leaveRoom(cb));
});

test('a room left stops reporting; its removed listener hears no more', async (t) => {
  const { s, ctx, uuid } = await statsRoom({ intervalMs: 25 });
  const heard = listenStats(t, ctx);
  await waitUntil(() => heard.rounds() >= 1, { what: 'a report' });
  assert.equal(heard.remove(), true);
  const removed = heard.calls.length;
  await new Promise((resolve) => setTimeout(resolve, 100));
  assert.ok(heard.calls.length - removed <= 6, 'at most the round already queued arrives after the removal');
  await settle((cb) => ctx.leaveRoom(cb));
  assert.throws(() => s.stats.get(uuid), /no joined room/);
  assert.equal(ctx.addRtcStatsListener(() => {}), -1, 'no room to register with');
});
