'use strict';
// brimo/renderer in headless Chromium: what one draw of a 720p and of a 1080p frame
// costs with WebGL2 and with the 2D canvas, measured in the same page and run.
//
// A draw counts until its picture is in the canvas: WebGL2 draws are followed by a
// one-pixel readPixels, which waits for the GPU (here SwiftShader, the CPU) to finish;
// the 2D canvas converts in script and is done when putImageData returns. Beside it,
// the cost when a run of draws waits for the GPU once, at its end. Per
// configuration it prints the median and the range over --rounds rounds of --draws
// draws, and the ratios 2D / WebGL2 and 1080p / 720p. The WebGL2 backend's renderer
// string is printed first: on machines without a GPU it is SwiftShader.
//
//   node bench/renderer.js [--draws 30] [--rounds 5]

const { launch, rendererPage } = require('../test/browser');

const arg = (name, fallback) => {
  const at = process.argv.indexOf(`--${name}`);
  return at > 0 ? Number(process.argv[at + 1]) : fallback;
};
const DRAWS = arg('draws', 30);
const ROUNDS = arg('rounds', 5);
const SIZES = [[1280, 720], [1920, 1080]];

// In the page: times `draws` draws of a frame of the simulated camera's kind (bars, a
// band, a tint), two frames alternating so no upload repeats the one before.
async function measure(page, backend, width, height) {
  return page.evaluate(async ({ backend, width, height, draws, rounds }) => {
    const frames = [0, 1].map((n) => {
      const cw = width >> 1;
      const ch = height >> 1;
      const bytes = new Uint8Array(width * height + 2 * cw * ch);
      for (let row = 0; row < height; row++) {
        for (let col = 0; col < width; col++) {
          bytes[row * width + col] = (row >> 2) % 45 === n * 20 ? 235 : 16 + 28 * ((col * 8 / width) | 0);
        }
      }
      bytes.fill(90 + n, width * height, width * height + cw * ch);
      bytes.fill(170 - n, width * height + cw * ch);
      return { width, height, buffer: { bytes, yStride: width, uStride: cw, vStride: cw, yOffset: width * height, uOffset: width * height + cw * ch, vOffset: bytes.length } };
    });
    const canvas = document.createElement('canvas');
    document.body.append(canvas);
    const renderer = new window.I420Renderer(canvas, { backend });
    const gl = renderer.backend === 'webgl2' ? canvas.getContext('webgl2') : null;
    const pixel = new Uint8Array(4);
    const finish = () => gl?.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, pixel);
    for (let i = 0; i < 5; i++) {
      renderer.draw(frames[i % 2]);
      finish();
    }
    const perDraw = [];
    const pipelined = [];
    for (let r = 0; r < rounds; r++) {
      let start = performance.now();
      for (let i = 0; i < draws; i++) {
        renderer.draw(frames[i % 2]);
        finish();
      }
      perDraw.push((performance.now() - start) / draws);
      start = performance.now();
      for (let i = 0; i < draws; i++) renderer.draw(frames[i % 2]);
      finish();
      pipelined.push((performance.now() - start) / draws);
      await new Promise((resolve) => setTimeout(resolve, 0));
    }
    let renderer_ = '';
    if (gl) {
      const info = gl.getExtension('WEBGL_debug_renderer_info');
      renderer_ = info ? gl.getParameter(info.UNMASKED_RENDERER_WEBGL) : gl.getParameter(gl.RENDERER);
    }
    renderer.dispose();
    canvas.remove();
    return { perDraw, pipelined, renderer: renderer_ };
  }, { backend, width, height, draws: DRAWS, rounds: ROUNDS });
}

const median = (values) => [...values].sort((a, b) => a - b)[values.length >> 1];

async function main() {
  const browser = await launch();
  try {
    const page = await rendererPage(browser);
    const results = {};
    for (const [width, height] of SIZES) {
      for (const backend of ['webgl2', '2d']) {
        const { perDraw, pipelined, renderer } = await measure(page, backend, width, height);
        if (renderer && !results.gpu) {
          results.gpu = renderer;
          console.log(`WebGL2 renderer: ${renderer}`);
        }
        const ms = median(perDraw);
        results[`${backend} ${height}p`] = ms;
        console.log(`${backend.padEnd(6)} ${width}x${height}: ${ms.toFixed(2)} ms a draw (median of ${ROUNDS} x ${DRAWS}; range `
          + `${Math.min(...perDraw).toFixed(2)}-${Math.max(...perDraw).toFixed(2)}), ${(1000 / ms).toFixed(0)} draws/s; `
          + `${median(pipelined).toFixed(2)} ms when ${DRAWS} draws wait for one another only at the end`);
      }
    }
    for (const height of [720, 1080]) {
      console.log(`ratio 2d / webgl2 at ${height}p: ${(results[`2d ${height}p`] / results[`webgl2 ${height}p`]).toFixed(2)}`);
    }
    for (const backend of ['webgl2', '2d']) {
      console.log(`ratio 1080p / 720p with ${backend}: ${(results[`${backend} 1080p`] / results[`${backend} 720p`]).toFixed(2)} (pixels: 2.25)`);
    }
  } finally {
    await browser.close();
  }
}

main().catch((error) => {
  console.error(error);
  process.exitCode = 1;
});
