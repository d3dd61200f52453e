'use strict';
// The simulated RTC controllers as a test scripts them: the machine a joined room
// starts with, devices and capture sources scripted and read back, the device events
// the room hears, and scripts that cannot be refused with nothing changed.

const { test, afterEach } = require('node:test');
const assert = require('node:assert/strict');
const { settle, joined, listen, closeListeners } = require('./room-helpers');

afterEach(closeListeners);

// What the room's listeners hear from one scripted change: every call up to a marker
// event raised after it (the SDK thread keeps the order).
async function heardFrom(heard, s, uuid, change) {
  const from = heard.calls.length;
  change();
  s.rooms.emit(uuid, 'onRtcDisconnect');
  await heard.next('onRtcDisconnect');
  return heard.calls.slice(from, -1);
}

const leave = (ctx) => settle((cb) => ctx.leaveRoom(cb));
const ids = (devices) => devices.map((d) => d.deviceId);

test('a joined room starts with a healthy machine and nothing told', async () => {
  const { s, ctx, uuid } = await joined();
  const rtc = s.rtc.get(uuid);
  for (const kind of ['cameras', 'playouts', 'records']) {
    assert.equal(rtc[kind].length, 2, kind);
    assert.deepEqual(rtc[kind].map((d) => d.defaultDevice), [true, false], `${kind}: the first is the default`);
    for (const d of rtc[kind]) {
      assert.deepEqual(Object.keys(d).sort(), ['defaultDevice', 'deviceId', 'deviceName', 'unavailable']);
      assert.ok(d.deviceId && d.deviceName && d.unavailable === false, JSON.stringify(d));
    }
  }
  assert.deepEqual([rtc.selectedCamera, rtc.selectedPlayout, rtc.selectedRecord],
    [rtc.cameras[0].deviceId, rtc.playouts[0].deviceId, rtc.records[0].deviceId], 'the defaults are chosen');
  assert.deepEqual([rtc.playoutVolume, rtc.recordVolume, rtc.playoutMute, rtc.supported], [100, 100, false, true]);
  assert.equal(rtc.virtualBackgroundSupportedType, 3);
  assert.deepEqual(rtc.sources.map((src) => src.type), [0, 0, 1], 'two screens and a window');
  assert.deepEqual(rtc.sources.map((src) => src.primaryMonitor), [true, false, false]);
  assert.equal(new Set(rtc.sources.map((src) => src.id)).size, 3, 'every source has an id of its own');
  assert.ok(rtc.sources[2].id > 2 ** 32, 'a window handle beyond 32 bits');
  for (const src of rtc.sources) {
    for (const image of [src.thumbnail, src.icon]) {
      const bytes = image.bytes === null ? [] : Buffer.from(image.bytes, 'base64');
      assert.equal(bytes.length, image.length, `${src.title}: length counts the bytes`);
      assert.equal(image.length, image.width * image.height * 4, `${src.title}: four bytes a pixel`);
    }
  }
  assert.ok(rtc.sources[0].thumbnail.length > 0 && rtc.sources[2].icon.length > 0, 'thumbnails, and a window icon');
  assert.equal(rtc.sources[0].icon.bytes, null, 'a screen has no icon');
  assert.equal(rtc.share, null);
  assert.deepEqual(rtc.localRecord,
    { recording: false, remuxing: false, params: null, layouts: [], framesPushed: 0, lastFrame: null });
  const told = Object.entries(rtc.settings);
  assert.ok(told.length > 20, 'every subject is shown');
  for (const [subject, value] of told) {
    const untold = value === null || value === false || (typeof value === 'object' && Object.keys(value).length === 0);
    assert.ok(untold, `${subject} was never told: ${JSON.stringify(value)}`);
  }
  await leave(ctx);
});

test('scripted devices replace their lists, and the room hears each device gone or added and a new default', async () => {
  const { s, ctx, uuid } = await joined();
  const heard = listen(ctx);
  const before = s.rtc.get(uuid);
  // A kit of an earlier test may be collected meanwhile: its destroyQVParlo is not ours.
  const operations = () => s.journal().filter((e) => e.op !== 'destroyQVParlo').length;
  const journalled = operations();
  const calls = await heardFrom(heard, s, uuid, () => s.rtc.setDevices(uuid, {
    playouts: [before.playouts[1], { deviceId: 'usb-dac', deviceName: 'USB DAC', defaultDevice: true }],
    cameras: [{ deviceId: 'cam-4k' }],
  }));
  assert.deepEqual(calls, [
    ['onCameraDeviceChanged', before.cameras[0].deviceId, false],
    ['onCameraDeviceChanged', before.cameras[1].deviceId, false],
    ['onCameraDeviceChanged', 'cam-4k', true],
    ['onPlayoutDeviceChanged', before.playouts[0].deviceId, false],
    ['onPlayoutDeviceChanged', 'usb-dac', true],
    ['onDefaultPlayoutDeviceChanged', 'usb-dac'],
  ]);
  const after = s.rtc.get(uuid);
  assert.deepEqual(after.cameras, [{ deviceId: 'cam-4k', deviceName: '', unavailable: false, defaultDevice: false }]);
  assert.equal(after.selectedCamera, '', 'no default camera to fall back to');
  assert.equal(after.selectedPlayout, 'usb-dac', 'the chosen device went: the new default is chosen');
  assert.deepEqual(after.records, before.records, 'lists not given stay');
  assert.equal(operations(), journalled, 'scripting the machine is not an SDK operation');

  const quiet = await heardFrom(heard, s, uuid, () => s.rtc.update(uuid, { selectedPlayout: before.playouts[1].deviceId }));
  assert.deepEqual(quiet, [], 'choosing a device reports nothing');
  assert.equal(s.rtc.get(uuid).selectedPlayout, before.playouts[1].deviceId);
  const unplugged = await heardFrom(heard, s, uuid, () => s.rtc.setDevices(uuid, { records: [] }));
  assert.deepEqual(unplugged.map((c) => c.slice(0, 2)), [
    ['onRecordDeviceChanged', before.records[0].deviceId],
    ['onRecordDeviceChanged', before.records[1].deviceId],
    ['onDefaultRecordDeviceChanged', ''],
  ]);
  assert.equal(s.rtc.get(uuid).selectedRecord, '');
  heard.remove();
  await leave(ctx);
});

test('the machine keeps volumes over the whole unsigned range, and its flags, as scripted', async () => {
  const { s, ctx, uuid } = await joined();
  const changes = { playoutVolume: 2 ** 32 - 1, recordVolume: 2 ** 31 + 5, playoutMute: true, supported: false,
    virtualBackgroundSupportedType: 1 };
  s.rtc.update(uuid, changes);
  const rtc = s.rtc.get(uuid);
  for (const [key, value] of Object.entries(changes)) assert.equal(rtc[key], value, key);
  s.rtc.update(uuid, { selectedCamera: '' });
  assert.equal(s.rtc.get(uuid).selectedCamera, '', 'choosing nothing is a choice');
  await leave(ctx);
});

test('capture sources take their bytes as typed arrays, numbers or base64 and show them as base64', async () => {
  const { s, ctx, uuid } = await joined();
  const pixels = Uint8Array.from({ length: 2 * 3 * 4 }, (_, i) => (i * 37) & 0xff);
  const wide = new Uint16Array([0x0102, 0xfffe]);
  s.rtc.setSources(uuid, [
    { type: 1, id: 2 ** 40 + 3, title: 'Notes', name: 'Editor', processPath: '/bin/ed', thumbnail: { width: 2, height: 3, bytes: pixels } },
    { id: 7, thumbnail: { width: 1, height: 1, bytes: [0, 128, 255, 1] }, icon: { width: 1, height: 1, bytes: wide } },
    { id: 8, thumbnail: { width: 2, height: 2, length: 16 }, icon: { bytes: pixels.buffer } },
    { id: 9, thumbnail: { width: 1, height: 1, bytes: Buffer.from([9, 8, 7, 6]).toString('base64') } },
  ]);
  const [notes, numbers, lengthOnly, base64] = s.rtc.get(uuid).sources;
  assert.deepEqual({ ...notes, thumbnail: undefined, icon: undefined }, {
    type: 1, id: 2 ** 40 + 3, title: 'Notes', name: 'Editor', processPath: '/bin/ed', primaryMonitor: false,
    thumbnail: undefined, icon: undefined,
  });
  assert.deepEqual(notes.thumbnail, { width: 2, height: 3, length: pixels.length, bytes: Buffer.from(pixels).toString('base64') });
  assert.deepEqual(notes.icon, { width: 0, height: 0, length: 0, bytes: null });
  assert.deepEqual([...Buffer.from(numbers.thumbnail.bytes, 'base64')], [0, 128, 255, 1]);
  assert.deepEqual([...Buffer.from(numbers.icon.bytes, 'base64')], [...Buffer.from(wide.buffer)], 'a typed array gives its bytes');
  assert.deepEqual(lengthOnly.thumbnail, { width: 2, height: 2, length: 16, bytes: null }, 'a length without bytes');
  assert.equal(lengthOnly.icon.length, pixels.length, 'an ArrayBuffer gives its bytes');
  assert.deepEqual([...Buffer.from(base64.thumbnail.bytes, 'base64')], [9, 8, 7, 6]);
  s.rtc.update(uuid, { sources: [{ id: 1, thumbnail: { bytes: new Uint8Array([5]) } }] });
  assert.deepEqual(s.rtc.get(uuid).sources.map((src) => [src.id, src.thumbnail.length]), [[1, 1]], 'update takes sources too');
  s.rtc.setSources(uuid, []);
  assert.deepEqual(s.rtc.get(uuid).sources, [], 'nothing to capture');
  await leave(ctx);
});

test('a script the machine cannot take throws a clear error, changes nothing and raises nothing', async () => {
  const { s, ctx, uuid } = await joined();
  const heard = listen(ctx);
  const before = s.rtc.get(uuid);
  const wrong = [
    [() => s.rtc.setDevices('nowhere', { cameras: [] }), /no joined room nowhere/],
    [() => s.rtc.setDevices(uuid, { cameras: [{ deviceName: 'nameless' }] }), /cameras: every device needs a deviceId/],
    [() => s.rtc.setDevices(uuid, { records: [{ deviceId: 'a' }, { deviceId: 'a' }] }), /records: device a is listed twice/],
    [() => s.rtc.setDevices(uuid, { playouts: [{ deviceId: 'a', defaultDevice: true }, { deviceId: 'b', defaultDevice: true }] }),
      /playouts: more than one default device/],
    [() => s.rtc.setDevices(uuid, { cameras: [{ deviceId: 'new' }], speakers: [] }), /setDevices takes cameras, playouts, records, not speakers/],
    [() => s.rtc.setDevices(uuid, { cameras: 'all' }), /parlo sim/],
    [() => s.rtc.update(uuid, { cameras: [{ deviceId: 'new' }], selectedCamera: 'old' }), /selectedCamera: no device old in cameras/],
    [() => s.rtc.update(uuid, { selectedRecord: 'missing' }), /selectedRecord: no device missing in records/],
    [() => s.rtc.update(uuid, { playoutMute: 'yes' }), /parlo sim/],
    [() => s.rtc.update(uuid, { speakerVolume: 3 }), /no RTC state speakerVolume/],
    [() => s.rtc.update(uuid, { settings: { caption: true } }), /settings is what the SDK was told, not scriptable/],
    [() => s.rtc.update(uuid, { share: null }), /share is what the SDK was told/],
    [() => s.rtc.update(uuid, { localRecord: { recording: true } }), /localRecord is what the SDK was told/],
    [() => s.rtc.update(uuid, 'loud'), /RTC changes must be an object/],
    [() => s.rtc.setSources(uuid, { id: 1 }), /setSources takes an array of sources/],
    [() => s.rtc.setSources(uuid, [{ id: 1, thumbnail: { bytes: 'not base64!' } }]), /bytes are not base64/],
    [() => s.rtc.setSources(uuid, [{ id: 1, icon: { bytes: [1, 256] } }]), /image bytes are numbers 0 to 255/],
    [() => s.rtc.setSources(uuid, [{ id: 1, icon: { bytes: [1.5] } }]), /image bytes are numbers 0 to 255/],
    [() => s.rtc.setSources(uuid, [{ id: 1, icon: { bytes: { 0: 1 } } }]), /base64 or an array of numbers/],
    [() => s.rtc.setSources(uuid, [{ id: 1, thumbnail: { bytes: [1, 2], length: 3 } }]), /length is the count of its bytes/],
    [() => s.rtc.setSources(uuid, [{ id: 'one' }]), /parlo sim/],
  ];
  const calls = await heardFrom(heard, s, uuid, () => {
    for (const [action, message] of wrong) assert.throws(action, message, action.toString());
  });
  assert.deepEqual(calls, [], 'nothing raised');
  assert.deepEqual(s.rtc.get(uuid), before, 'nothing changed');
  assert.equal(s.rtc.get('nowhere'), null);
  heard.remove();
  await leave(ctx);
});

test('every join makes a controller of its own, which goes with the room', async () => {
  const first = await joined();
  const second = await joined();
  const { s } = first;
  s.rtc.setDevices(first.uuid, { cameras: [{ deviceId: 'only-here', defaultDevice: true }] });
  assert.deepEqual(ids(s.rtc.get(first.uuid).cameras), ['only-here']);
  assert.notDeepEqual(ids(s.rtc.get(second.uuid).cameras), ['only-here'], 'the other room keeps its own');

  s.rooms.setLink(first.uuid, 'rtcController', false);
  assert.deepEqual(s.links()[`rtcController@${first.uuid}`], false);
  assert.deepEqual(ids(s.rtc.get(first.uuid).cameras), ['only-here'], 'a missing link hides the controller, not its state');
  s.rooms.setLink(first.uuid, 'rtcController', true);

  await leave(first.ctx);
  assert.equal(s.rtc.get(first.uuid), null, 'a left room has no controller');
  assert.throws(() => s.rtc.update(first.uuid, { playoutMute: true }), /no joined room/);
  const again = await joined({ roomUuid: first.uuid });
  assert.deepEqual(s.rtc.get(again.uuid), s.rtc.get(second.uuid), 'joining again starts afresh');
  await leave(again.ctx);
  await leave(second.ctx);
});

test('device events reach only the room whose machine changed', async () => {
  const mine = await joined();
  const other = await joined();
  const { s } = mine;
  const heardMine = listen(mine.ctx);
  const heardOther = listen(other.ctx);
  const calls = await heardFrom(heardMine, s, mine.uuid, () => s.rtc.setDevices(mine.uuid, { cameras: [] }));
  assert.equal(calls.length, 2, 'both cameras went');
  const quiet = await heardFrom(heardOther, s, other.uuid, () => {});
  assert.deepEqual(quiet, [], 'the other room heard nothing');
  heardMine.remove();
  heardOther.remove();
  await leave(mine.ctx);
  await leave(other.ctx);
});

test('what get() shows of the machine, update() takes back unchanged and silently', async () => {
  const { s, ctx, uuid } = await joined();
  const heard = listen(ctx);
  await heardFrom(heard, s, uuid, () =>
    s.rtc.update(uuid, { playoutVolume: 2 ** 32 - 2, cameras: [{ deviceId: 'c', unavailable: true, defaultDevice: true }] }));
  const before = s.rtc.get(uuid);
  const machine = {};
  for (const key of ['supported', 'virtualBackgroundSupportedType', 'cameras', 'playouts', 'records', 'selectedCamera',
    'selectedPlayout', 'selectedRecord', 'playoutVolume', 'recordVolume', 'playoutMute', 'sources']) machine[key] = before[key];
  const calls = await heardFrom(heard, s, uuid, () => s.rtc.update(uuid, machine));
  assert.deepEqual(calls, [], 'the same devices report nothing');
  assert.deepEqual(s.rtc.get(uuid), before);
  heard.remove();
  await leave(ctx);
});
