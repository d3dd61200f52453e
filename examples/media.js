'use strict';
// The demo meeting's media: devices, my own microphone, capture sources (the first
// thumbnail saved as a PNG) and a screen share, through the room's RTC controller.

const fs = require('node:fs');
const path = require('node:path');
const { PNG } = require('pngjs');

/** A BGRA thumbnail as a PNG. */
function thumbnailPng({ size: { width, height }, data }) {
  const png = new PNG({ width, height });
  for (let i = 0; i + 3 < data.length && i < width * height * 4; i += 4) {
    png.data[i] = data[i + 2];
    png.data[i + 1] = data[i + 1];
    png.data[i + 2] = data[i];
    png.data[i + 3] = data[i + 3];
  }
  return PNG.sync.write(png);
}

/**
 * `room` is the joined room's context; `act(event, start)` runs an operation and waits for
 * the room event it causes; `call(start)` waits for a callback.
 */
async function media({ room, act, call, say, outDir }) {
  const rtc = room.getRtcController();
  const names = (devices) => devices.map((d) => `${d.deviceName}${d.defaultDevice ? ' (default)' : ''}`).join(', ');
  say('cameras:', names(rtc.enumCameraDevices()));
  say('speakers:', names(rtc.enumPlayoutDevices()), 'volume', rtc.getPlayoutDeviceVolume());
  const microphones = rtc.enumRecordDevices();
  say('microphones:', names(microphones));
  const chosen = microphones[microphones.length - 1];
  say('choose microphone', chosen.deviceName, '->', rtc.selectRecordDevice(chosen.deviceId), 'now', rtc.getSelectedRecordDevice());

  const [, [mutedCode]] = await act('onMemberAudioMuteChanged', (cb) => rtc.muteMyAudio(cb));
  say('muted myself:', mutedCode, 'audio on?', room.getLocalMember().isAudioOn);
  await act('onMemberAudioMuteChanged', (cb) => rtc.unmuteMyAudio(true, cb));
  say('unmuted myself; audio on?', room.getLocalMember().isAudioOn);

  const [listCode, , sources] = await call((cb) => rtc.getScreenCaptureSourceList(cb));
  say('capture sources:', listCode, sources.map((s) => `#${s.id} ${s.title}`).join(', '));
  const first = sources.find((s) => s.thumbImage.data);
  if (first) {
    fs.mkdirSync(outDir, { recursive: true });
    const file = path.join(outDir, 'thumbnail-0.png');
    fs.writeFileSync(file, thumbnailPng(first.thumbImage));
    say('wrote', file, `${first.thumbImage.size.width}x${first.thumbImage.size.height}`);
  }
  await act('onMemberScreenShareStateChanged', (cb) => rtc.startScreenShare(first.id, { limitFrameRate: 15 }, cb));
  say('sharing:', rtc.getScreenSharingUserUuid());
  await act('onMemberScreenShareStateChanged', (cb) => rtc.stopShare(cb));
  say('share stopped; sharing now:', JSON.stringify(rtc.getScreenSharingUserUuid()));
}

module.exports = { media };
