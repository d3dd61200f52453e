'use strict';
// The README's video example runs as written: a frame of the simulated camera comes
// through the room listener and the frame store and is rendered into a PNG file.

const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { spawnSync } = require('node:child_process');
const { PNG } = require('pngjs');
const { root } = require('./helpers');

test('examples/render-video.js renders a frame of the simulated camera into a PNG', () => {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'brimo-video-'));
  try {
    const out = path.join(dir, 'frame.png');
    const run = spawnSync(process.execPath, [path.join(root, 'examples', 'render-video.js'), out], { encoding: 'utf8', timeout: 60000 });
    assert.equal(run.status, 0, run.stderr);
    assert.match(run.stdout, /frame 320x180 of bob written to/);
    const png = PNG.sync.read(fs.readFileSync(out));
    assert.deepEqual([png.width, png.height], [320, 180]);
    // The test pattern's tint is the same all over a row outside the band: not a blank image.
    const pixel = (x, y) => [...png.data.subarray((y * 320 + x) * 4, (y * 320 + x) * 4 + 3)];
    assert.notDeepEqual(pixel(100, 100), [0, 0, 0]);
    assert.deepEqual(pixel(100, 100), pixel(101, 100));
  } finally {
    fs.rmSync(dir, { recursive: true, force: true });
  }
});
