'use strict';
// I420 frames with known content and their RGB by a reference conversion, for the
// renderer's tests, the viewer's test and the benchmark.

/**
 * A frame of `width` x `height` whose pixel (x, y) is `pixel(x, y)` = [Y, U, V] (U and V
 * taken at the top left pixel of every two by two block). `yPad` and `chromaPad` widen
 * the rows past the picture, `gap` leaves bytes between the planes; all such bytes
 * hold `fill`, so a renderer that reads them shows it.
 */
function makeFrame(width, height, pixel, { yPad = 0, chromaPad = 0, gap = 0, fill = 0 } = {}) {
  const chromaWidth = (width + 1) >> 1;
  const chromaHeight = (height + 1) >> 1;
  const yStride = width + yPad;
  const uStride = chromaWidth + chromaPad;
  const vStride = chromaWidth + chromaPad;
  const yOffset = yStride * height + gap;
  const uOffset = yOffset + uStride * chromaHeight + gap;
  const vOffset = uOffset + vStride * chromaHeight;
  const bytes = new Uint8Array(vOffset).fill(fill);
  for (let row = 0; row < height; row++) {
    for (let col = 0; col < width; col++) {
      const [y, u, v] = pixel(col, row);
      bytes[row * yStride + col] = y;
      if (row % 2 === 0 && col % 2 === 0) {
        bytes[yOffset + (row >> 1) * uStride + (col >> 1)] = u;
        bytes[uOffset + (row >> 1) * vStride + (col >> 1)] = v;
      }
    }
  }
  return { width, height, buffer: { bytes, yStride, uStride, vStride, yOffset, uOffset, vOffset } };
}

/** BT.601 YUV to [r, g, b] in floating point, rounded and clamped to 0..255. */
function yuvToRgb(y, u, v, fullRange = false) {
  const clamp = (x) => Math.min(255, Math.max(0, Math.round(x)));
  const d = u - 128;
  const e = v - 128;
  if (fullRange) return [clamp(y + 1.402 * e), clamp(y - 0.344136 * d - 0.714136 * e), clamp(y + 1.772 * d)];
  const c = 1.164383 * (y - 16);
  return [clamp(c + 1.596027 * e), clamp(c - 0.391762 * d - 0.812968 * e), clamp(c + 2.017232 * d)];
}

/** The RGBA pixels (alpha 255) a frame should show, read from its bytes by its layout. */
function reference(frame, { fullRange = false, mirror = false } = {}) {
  const { width, height, buffer } = frame;
  const b = buffer.bytes instanceof Uint8Array ? buffer.bytes : new Uint8Array(buffer.bytes.buffer, buffer.bytes.byteOffset);
  const out = new Uint8Array(width * height * 4);
  for (let row = 0; row < height; row++) {
    for (let x = 0; x < width; x++) {
      const col = mirror ? width - 1 - x : x;
      const y = b[row * buffer.yStride + col];
      const u = b[buffer.yOffset + (row >> 1) * buffer.uStride + (col >> 1)];
      const v = b[buffer.uOffset + (row >> 1) * buffer.vStride + (col >> 1)];
      out.set([...yuvToRgb(y, u, v, fullRange), 255], (row * width + x) * 4);
    }
  }
  return out;
}

/**
 * Compares RGBA pixels with the expected ones: null when every channel is within
 * `tolerance`, else a description of the worst pixel and how many are off.
 */
function mismatch(actual, expected, width, tolerance = 2) {
  if (actual.length !== expected.length) return `${actual.length / 4} pixels where ${expected.length / 4} were expected`;
  let worst = -1;
  let worstDiff = 0;
  let off = 0;
  for (let i = 0; i < actual.length; i++) {
    const diff = Math.abs(actual[i] - expected[i]);
    if (diff > tolerance) off++;
    if (diff > worstDiff) {
      worstDiff = diff;
      worst = i;
    }
  }
  if (off === 0) return null;
  const p = worst >> 2;
  const at = p * 4;
  return `${off} channels off by more than ${tolerance}; worst at (${p % width}, ${Math.floor(p / width)}): `
    + `got ${[...actual.subarray(at, at + 4)]}, expected ${[...expected.subarray(at, at + 4)]}`;
}

/** The U and V tint of a user's stream in the simulated SDK's test pattern, and its bars' luma. */
const pattern = {
  tint: (user, stream = 0) => [(40 + user * 47 + stream * 90) & 0xff, (200 - user * 29 - stream * 60) & 0xff],
  barLuma: (bar) => 16 + 28 * bar,
};

module.exports = { makeFrame, yuvToRgb, reference, mismatch, pattern };
