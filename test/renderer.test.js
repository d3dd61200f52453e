'use strict';
// brimo/renderer in headless Chromium: frames of known content, drawn with WebGL2 and
// with the 2D canvas, read back and held against a reference conversion (within 2 per
// channel); and its argument checks in Node.

const test = require('node:test');
const assert = require('node:assert/strict');
const { brimo, sim, nextCall } = require('./helpers');
const { launch, rendererPage } = require('./browser');
const { makeFrame, reference, mismatch } = require('./frame-images');

const BACKENDS = ['webgl2', '2d'];

// --- frames from the simulated SDK, exactly as getVideoFrame fills them ---

let kit;
let room;
let roomListener;

async function joinRoom() {
  kit = new (brimo().IQVParloWrap)();
  kit.initialize({ appKey: 'renderer' }, () => {});
  const { callback, promise } = nextCall();
  kit.getRoomService().joinRoom({ roomUuid: 'renderer-room', userName: 'me' }, {}, callback);
  const { args: [code, , context] } = await promise;
  assert.equal(code, 0);
  room = context;
  roomListener = room.addRoomListener(() => {});   // frames reach rooms with a listener
  kit.startListenVideoFrame();
}

/** Pushes one frame through the SDK (`settings` of sim.frames.push) and fetches it. */
function fetchFrame(settings) {
  const user = `renderer-user-${settings.userIndex ?? 1}`;
  sim().frames.push({ room: 'renderer-room', user, mode: 'sync', ...settings });
  const request = { frame: { userUuid: user, bSubVideo: false, buffer: { bytes: new Uint8Array(0) } } };
  kit.getVideoFrame([request]);
  assert.equal(request.code, 1, 'an empty array learns the size');
  request.frame.buffer.bytes = new Uint8Array(request.frame.buffer.vOffset);
  kit.getVideoFrame([request]);
  assert.equal(request.code, 0);
  return request.frame;
}

// --- the page side ---

let browser;
let page;

test.before(async () => {
  await joinRoom();
  browser = await launch();
  page = await rendererPage(browser);
});

test.after(async () => {
  await browser?.close();
  if (kit) {
    kit.stopListenVideoFrame();
    room.removeRoomListener(roomListener);
  }
});

const toBase64 = (bytes) => Buffer.from(bytes.buffer, bytes.byteOffset, bytes.byteLength).toString('base64');

// A frame as it crosses into the page: its bytes in base64, how the page should hold
// them (`as`: 'uint16' or 'offset' for a view into a larger buffer).
function wire(frame, as) {
  const { bytes, ...layout } = frame.buffer;
  return { width: frame.width, height: frame.height, layout, bytes: toBase64(bytes), as };
}

/**
 * Draws `steps` ({ frame, mirror?, as? }) on one renderer made with `options` and
 * reads the canvas back after every draw. Answers { backend, frames: [{ width,
 * height, pixels }] } and the page's count of texture calls when `countTextures`.
 */
async function drawSteps(options, steps, { precontext, countTextures = false } = {}) {
  const result = await page.evaluate(async ({ options, steps, precontext, countTextures }) => {
    const proto = WebGL2RenderingContext.prototype;
    const counts = { createTexture: 0, texStorage2D: 0, texImage2D: 0, deleteTexture: 0 };
    const originals = {};
    if (countTextures) {
      for (const name of Object.keys(counts)) {
        originals[name] = proto[name];
        proto[name] = function (...args) {
          counts[name]++;
          return originals[name].apply(this, args);
        };
      }
    }
    try {
      const decode = (text) => Uint8Array.from(atob(text), (c) => c.charCodeAt(0));
      const encode = (bytes) => {
        let text = '';
        for (let i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
        return btoa(text);
      };
      const canvas = document.createElement('canvas');
      if (precontext) canvas.getContext(precontext);
      const renderer = new window.I420Renderer(canvas, options);
      const frames = [];
      const backend = renderer.backend;
      for (const step of steps) {
        if (step.mirror !== undefined) renderer.mirror = step.mirror;
        const { width, height, layout, bytes: text, as } = step.frame;
        let bytes = decode(text);
        if (as === 'uint16') {
          const words = new Uint16Array(Math.ceil(bytes.length / 2));
          new Uint8Array(words.buffer).set(bytes);
          bytes = words;
        } else if (as === 'offset') {
          const message = new Uint8Array(bytes.length + 40).fill(77);
          message.set(bytes, 37);
          bytes = message.subarray(37, 37 + bytes.length);
        }
        renderer.draw({ width, height, buffer: { ...layout, bytes } });
        // Copied out in the same task as the draw, before the page is composited.
        const read = document.createElement('canvas');
        read.width = canvas.width;
        read.height = canvas.height;
        const context = read.getContext('2d', { willReadFrequently: true });
        context.drawImage(canvas, 0, 0);
        frames.push({ width: read.width, height: read.height, pixels: encode(context.getImageData(0, 0, read.width, read.height).data) });
      }
      renderer.dispose();
      return { backend, frames, counts };
    } finally {
      for (const name of Object.keys(originals)) proto[name] = originals[name];
    }
  }, { options, steps: steps.map((s) => ({ ...s, frame: wire(s.frame, s.as) })), precontext, countTextures });
  result.frames = result.frames.map((f) => ({ ...f, pixels: new Uint8Array(Buffer.from(f.pixels, 'base64')) }));
  return result;
}

/** Draws every frame with `backend` and checks each against the reference. */
async function checkFrames(t, backend, frames, options = {}) {
  const steps = frames.map((frame) => ({ frame }));
  const drawn = await drawSteps({ backend, ...options }, steps);
  assert.equal(drawn.backend, backend);
  frames.forEach((frame, i) => {
    const got = drawn.frames[i];
    assert.deepEqual([got.width, got.height], [frame.width, frame.height], 'the canvas takes the frame size');
    const problem = mismatch(got.pixels, reference(frame, options), frame.width);
    assert.equal(problem, null, `${backend}, frame ${i} (${frame.width}x${frame.height}): ${problem}`);
  });
}

const solid = (y, u, v) => makeFrame(8, 6, () => [y, u, v]);
const SOLIDS = [
  solid(16, 128, 128), solid(235, 128, 128), solid(81, 90, 240), solid(145, 54, 34), solid(41, 240, 110),
  solid(126, 128, 128), solid(0, 0, 0), solid(255, 255, 255), solid(255, 0, 255), solid(0, 255, 0),
];
const gradient = () => makeFrame(256, 48, (x, y) => [x, (y * 5) & 255, 255 - x]);

for (const backend of BACKENDS) {
  test(`${backend}: the simulated SDK's test pattern, fetched by getVideoFrame`, async (t) => {
    const frames = [
      fetchFrame({ width: 320, height: 180, userIndex: 3, frame: 7 }),
      fetchFrame({ width: 64, height: 36, userIndex: 11, frame: 40 }),
    ];
    assert.deepEqual(sim().frames.inspect(frames[0].buffer.bytes, 320, 180), { user: 3, stream: 0, frame: 7, whole: true });
    await checkFrames(t, backend, frames);
  });

  test(`${backend}: solid colours, limited range, out-of-range values clamped`, async (t) => {
    await checkFrames(t, backend, SOLIDS);
  });

  test(`${backend}: gradients in both ranges`, async (t) => {
    await checkFrames(t, backend, [gradient()]);
    await checkFrames(t, backend, [gradient(), solid(0, 0, 255), solid(255, 128, 128)], { fullRange: true });
  });

  test(`${backend}: strides wider than the width, gaps between the planes`, async (t) => {
    const tile = (x, y) => [(x * 7 + y * 3) & 255, (x * 11) & 255, (y * 13 + 40) & 255];
    // The bytes outside the picture are white in Y and saturated in U and V: read, they show.
    await checkFrames(t, backend, [
      makeFrame(50, 30, tile, { yPad: 14, chromaPad: 7, gap: 9, fill: 255 }),
      makeFrame(33, 17, tile, { yPad: 31, chromaPad: 1, fill: 0 }),
    ]);
  });

  test(`${backend}: a strided frame as the SDK describes it reaches the page the same`, async (t) => {
    const source = makeFrame(64, 36, (x, y) => [(x * 3 + y) & 255, 60 + y, 200 - x], { yPad: 16, chromaPad: 8, fill: 255 });
    const { buffer } = source;
    const frame = fetchFrame({
      width: 64, height: 36, userIndex: 5, bytes: buffer.bytes,
      offsets: [0, buffer.yOffset, buffer.uOffset, 0], strides: [buffer.yStride, buffer.uStride, buffer.vStride, 0],
    });
    assert.deepEqual([frame.buffer.yStride, frame.buffer.uStride, frame.buffer.vOffset], [80, 40, buffer.vOffset]);
    await checkFrames(t, backend, [frame]);
  });

  test(`${backend}: odd sizes and the smallest frames`, async (t) => {
    const pixel = (x, y) => [30 + x * 20 + y * 9, 70 + x * 15, 180 - y * 25];
    await checkFrames(t, backend, [makeFrame(7, 5, pixel), makeFrame(2, 2, pixel), makeFrame(1, 1, pixel), makeFrame(3, 8, pixel)]);
  });

  test(`${backend}: one renderer through size changes, mirrored and not`, async () => {
    const pixel = (x, y) => [16 + ((x * 5 + y) % 220), 40 + (x % 180), 220 - (y % 200)];
    const steps = [
      { frame: makeFrame(64, 36, pixel), mirror: false },
      { frame: makeFrame(7, 5, pixel), mirror: true },
      { frame: makeFrame(320, 180, pixel) },
      { frame: makeFrame(320, 180, pixel), mirror: false },
      { frame: makeFrame(64, 36, pixel), as: 'uint16' },
      { frame: makeFrame(31, 9, pixel), as: 'offset', mirror: true },
    ];
    const drawn = await drawSteps({ backend }, steps);
    let mirror = false;
    steps.forEach((step, i) => {
      if (step.mirror !== undefined) mirror = step.mirror;
      const { frame } = step;
      assert.deepEqual([drawn.frames[i].width, drawn.frames[i].height], [frame.width, frame.height]);
      const problem = mismatch(drawn.frames[i].pixels, reference(frame, { mirror }), frame.width);
      assert.equal(problem, null, `step ${i} (${frame.width}x${frame.height}, mirror ${mirror}): ${problem}`);
    });
  });
}

test('webgl2 is what the renderer takes by default, and its textures live as long as the frame size', async () => {
  const pixel = (x, y) => [x & 255, y & 255, 128];
  const steps = [];
  for (let i = 0; i < 10; i++) steps.push({ frame: makeFrame(96, 54, pixel) });
  steps.push({ frame: makeFrame(48, 30, pixel) });
  for (let i = 0; i < 5; i++) steps.push({ frame: makeFrame(48, 30, pixel) });
  const drawn = await drawSteps({}, steps, { countTextures: true });
  assert.equal(drawn.backend, 'webgl2');
  // Three planes for the first size, three for the second; the first three freed then,
  // the second three by dispose.
  assert.deepEqual(drawn.counts, { createTexture: 6, texStorage2D: 6, texImage2D: 0, deleteTexture: 6 });
  assert.equal(mismatch(drawn.frames[15].pixels, reference(steps[15].frame), 48), null);
});

test('a canvas that already draws in 2D gets the 2D renderer; one that cannot do WebGL2 refuses webgl2', async () => {
  const frame = makeFrame(10, 4, (x) => [20 * x + 20, 100, 160]);
  const drawn = await drawSteps({}, [{ frame }], { precontext: '2d' });
  assert.equal(drawn.backend, '2d');
  assert.equal(mismatch(drawn.frames[0].pixels, reference(frame), 10), null);
  await assert.rejects(drawSteps({ backend: 'webgl2' }, [{ frame }], { precontext: '2d' }), /gives no WebGL2 context/);
});

test('bad frames throw in the page and leave the renderer usable; dispose ends it', async () => {
  const outcome = await page.evaluate(() => {
    const canvas = document.createElement('canvas');
    const renderer = new window.I420Renderer(canvas);
    const buffer = { bytes: new Uint8Array(24), yStride: 4, uStride: 2, vStride: 2, yOffset: 16, uOffset: 20, vOffset: 24 };
    const errors = [];
    const attempt = (frame) => {
      try {
        renderer.draw(frame);
        errors.push('drawn');
      } catch (error) {
        errors.push(`${error.name}: ${error.message}`);
      }
    };
    attempt({ width: 4, height: 4, buffer });
    attempt({ width: 4, height: 4, buffer: { ...buffer, bytes: new Uint8Array(23) } });
    attempt({ width: 5, height: 4, buffer });
    attempt({ width: 4, height: 4 });
    const backend = renderer.backend;
    renderer.dispose();
    renderer.dispose();
    attempt({ width: 4, height: 4, buffer });
    return { errors, backend, after: renderer.backend };
  });
  assert.deepEqual(outcome.errors, [
    'drawn',
    'RangeError: the frame needs 24 bytes, bytes holds 23',
    'RangeError: yStride 4 is narrower than the width 5',
    'TypeError: frame.buffer must be an object',
    'Error: I420Renderer: draw after dispose',
  ]);
  assert.deepEqual([outcome.backend, outcome.after], ['webgl2', null]);
  assert.deepEqual(page.errors, []);
});

test('webgl2: a lost context draws nothing and throws nothing; once restored, frames draw right again', async () => {
  const frame = makeFrame(16, 8, (x, y) => [40 + x * 12, 60 + y * 20, 200 - x * 8]);
  const outcome = await page.evaluate(async ({ bytes, layout, width, height }) => {
    const canvas = document.createElement('canvas');
    const renderer = new window.I420Renderer(canvas);
    const frame = { width, height, buffer: { ...layout, bytes: Uint8Array.from(atob(bytes), (c) => c.charCodeAt(0)) } };
    const lose = canvas.getContext('webgl2').getExtension('WEBGL_lose_context');
    renderer.draw(frame);
    const event = (name) => new Promise((resolve, reject) => {
      canvas.addEventListener(name, resolve, { once: true });
      setTimeout(() => reject(new Error(`no ${name} event`)), 10000);
    });
    const lost = event('webglcontextlost');
    lose.loseContext();
    await lost;
    await new Promise((resolve) => setTimeout(resolve, 0));   // restoring is allowed once the event is over
    renderer.draw(frame);   // nothing to draw on, and no error
    const restored = event('webglcontextrestored');
    lose.restoreContext();
    await restored;
    renderer.draw(frame);
    const read = document.createElement('canvas');
    [read.width, read.height] = [canvas.width, canvas.height];
    const context = read.getContext('2d');
    context.drawImage(canvas, 0, 0);
    const pixels = Array.from(context.getImageData(0, 0, width, height).data);
    renderer.dispose();
    return { pixels };
  }, wire(frame));
  assert.equal(mismatch(Uint8Array.from(outcome.pixels), reference(frame), 16), null);
});

// --- in Node: both module forms, and the checks that need no browser ---

// A canvas with a 2D context that records what is drawn.
function fakeCanvas({ webgl2 = false } = {}) {
  const canvas = {
    width: 0,
    height: 0,
    puts: [],
    getContext(kind) {
      if (kind === 'webgl2' && !webgl2) return null;
      if (kind !== '2d') return null;
      return {
        createImageData: (w, h) => ({ width: w, height: h, data: new Uint8ClampedArray(w * h * 4) }),
        putImageData: (image, x, y) => canvas.puts.push({ image, x, y, copy: Uint8Array.from(image.data) }),
      };
    },
  };
  return canvas;
}

test('brimo/renderer loads as CommonJS and as an ES module, with the same class', async () => {
  const cjs = require('brimo/renderer');
  const esm = await import('brimo/renderer');
  assert.deepEqual(Object.keys(cjs), ['I420Renderer']);
  assert.deepEqual(Object.keys(esm).sort(), ['I420Renderer']);
  assert.equal(cjs.I420Renderer.toString(), esm.I420Renderer.toString(), 'index.cjs is made from index.mjs as it is now');
});

test('in Node, without WebGL2, the 2D path converts frames as the reference does and reuses its image', () => {
  const { I420Renderer } = require('brimo/renderer');
  const canvas = fakeCanvas();
  const renderer = new I420Renderer(canvas, { mirror: true });
  assert.equal(renderer.backend, '2d');
  const frame = makeFrame(9, 7, (x, y) => [x * 25, 30 + y * 30, 250 - x * 20], { yPad: 3, chromaPad: 2, gap: 5, fill: 255 });
  renderer.draw(frame);
  renderer.draw(frame);
  assert.deepEqual([canvas.width, canvas.height], [9, 7]);
  assert.equal(canvas.puts.length, 2);
  assert.equal(canvas.puts[0].image, canvas.puts[1].image, 'one image while the size stays');
  assert.equal(mismatch(canvas.puts[1].copy, reference(frame, { mirror: true }), 9), null);
});

test('constructor and draw refuse what is not a canvas, an option or a frame, with clear errors', () => {
  const { I420Renderer } = require('brimo/renderer');
  assert.throws(() => new I420Renderer(null), { name: 'TypeError', message: 'I420Renderer needs a canvas' });
  assert.throws(() => new I420Renderer({}), { name: 'TypeError', message: 'I420Renderer needs a canvas' });
  assert.throws(() => new I420Renderer(fakeCanvas(), { backend: 'webgl' }), /backend must be 'auto', 'webgl2' or '2d'/);
  assert.throws(() => new I420Renderer(fakeCanvas(), { backend: 'webgl2' }), /gives no WebGL2 context/);
  assert.throws(() => new I420Renderer({ getContext: () => null }), /neither a WebGL2 nor a 2D context/);

  const renderer = new I420Renderer(fakeCanvas());
  const good = makeFrame(6, 4, () => [100, 100, 100]);
  const withBuffer = (changes) => ({ ...good, buffer: { ...good.buffer, ...changes } });
  assert.throws(() => renderer.draw(undefined), { name: 'TypeError', message: 'draw expects a frame object' });
  assert.throws(() => renderer.draw(withBuffer({ bytes: [1, 2, 3] })), { name: 'TypeError', message: 'frame.buffer.bytes must be a typed array' });
  assert.throws(() => renderer.draw({ ...good, width: 0 }), { name: 'RangeError', message: 'frame.width must be a positive integer, not 0' });
  assert.throws(() => renderer.draw({ ...good, height: 2.5 }), { name: 'RangeError' });
  assert.throws(() => renderer.draw(withBuffer({ uStride: -1 })), { message: 'frame.buffer.uStride must be a whole number, not -1' });
  assert.throws(() => renderer.draw(withBuffer({ vStride: 2 })), /must be at least the chroma width 3/);
  assert.throws(() => renderer.draw(withBuffer({ yOffset: 23 })), { message: 'the Y plane runs past yOffset' });
  assert.throws(() => renderer.draw(withBuffer({ uOffset: 29 })), { message: 'the U plane runs past uOffset' });
  assert.throws(() => renderer.draw(withBuffer({ vOffset: 35 })), { message: 'the V plane runs past vOffset' });
  assert.throws(() => renderer.draw(withBuffer({ bytes: new Uint8Array(35) })), { message: 'the frame needs 36 bytes, bytes holds 35' });
  renderer.draw(good);
});
