'use strict';
// The demo's video: poll the frame hub for every member's main stream, keep per-user
// figures, and write the newest frame of each user as a PNG (I420 converted to RGB).

const fs = require('node:fs');
const path = require('node:path');
const { PNG } = require('pngjs');

// BT.601 limited-range YUV to RGB.
function i420ToPng(bytes, width, height, yStride, uStride, yEnd, uEnd) {
  const png = new PNG({ width, height });
  const clamp = (v) => (v < 0 ? 0 : v > 255 ? 255 : v);
  for (let row = 0; row < height; row++) {
    for (let col = 0; col < width; col++) {
      const y = bytes[row * yStride + col] - 16;
      const chroma = (row >> 1) * uStride + (col >> 1);
      const u = bytes[yEnd + chroma] - 128;
      const v = bytes[uEnd + chroma] - 128;
      const at = (row * width + col) * 4;
      png.data[at] = clamp((298 * y + 409 * v + 128) >> 8);
      png.data[at + 1] = clamp((298 * y - 100 * u - 208 * v + 128) >> 8);
      png.data[at + 2] = clamp((298 * y + 516 * u + 128) >> 8);
      png.data[at + 3] = 255;
    }
  }
  return PNG.sync.write(png);
}

/**
 * Polls `users` for `seconds`, then writes one PNG per user into `outDir`.
 * Arrays start empty; a code 1 answer tells the size to allocate.
 */
async function watch(kit, users, { seconds = 3, outDir, say }) {
  const requests = users.map((userUuid) => ({ frame: { userUuid, bSubVideo: false, buffer: { bytes: new Uint8Array(0) } } }));
  const stats = new Map(users.map((u) => [u, { frames: 0, delays: [] }]));
  kit.startListenVideoFrame();
  const end = Date.now() + seconds * 1000;
  while (Date.now() < end) {
    kit.getVideoFrame(requests);
    for (const r of requests) {
      if (r.code === 1) r.frame.buffer.bytes = new Uint8Array(r.frame.buffer.vOffset);
      if (r.code === 0) {
        const s = stats.get(r.frame.userUuid);
        s.frames++;
        s.delays.push(r.delay);
      }
    }
    await new Promise((resolve) => setTimeout(resolve, 10));
  }
  kit.stopListenVideoFrame();
  fs.mkdirSync(outDir, { recursive: true });
  for (const r of requests) {
    const s = stats.get(r.frame.userUuid);
    const avg = s.delays.length ? s.delays.reduce((a, b) => a + b, 0) / s.delays.length : 0;
    say(`video ${r.frame.userUuid}: received ${r.total ?? 0}, delivered ${s.frames}, dropped ${r.drop ?? 0}, mean delay ${avg.toFixed(1)} ms`);
    if (s.frames === 0) continue;
    const { width, height, buffer } = r.frame;
    const file = path.join(outDir, `${r.frame.userUuid}.png`);
    fs.writeFileSync(file, i420ToPng(buffer.bytes, width, height, buffer.yStride, buffer.uStride, buffer.yOffset, buffer.uOffset));
    say(`  newest frame (${width}x${height}) written to ${file}`);
  }
}

module.exports = { watch, i420ToPng };
