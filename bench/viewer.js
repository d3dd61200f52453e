'use strict';
// The viewer end to end: the demo meeting with --users cameras of --size at 30 fps,
// its server polling getVideoFrame at 30 Hz and sending every new frame over the
// WebSocket, and headless Chromium drawing every tile with brimo/renderer. After a
// warm-up it counts, over --seconds, the frames the page drew and received per tile,
// the frames the server sent and the polls it made; it prints frames per second per
// tile (mean, lowest, highest), their ratio to the cameras' 30, and the server's CPU.
//
//   node bench/viewer.js [--users 16] [--size 1280x720] [--seconds 10] [--backend auto|webgl2|2d]

const { launch } = require('../test/browser');
const { startViewer } = require('../examples/viewer/server');

const arg = (name, fallback) => {
  const at = process.argv.indexOf(`--${name}`);
  return at > 0 ? process.argv[at + 1] : fallback;
};
const USERS = Number(arg('users', 16));
const [WIDTH, HEIGHT] = arg('size', '1280x720').split('x').map(Number);
const SECONDS = Number(arg('seconds', 10));
const BACKEND = arg('backend', 'auto');
const FPS = 30;

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

async function main() {
  const viewer = await startViewer({ users: USERS, width: WIDTH, height: HEIGHT, fps: FPS, lively: false, say: () => {} });
  const browser = await launch();
  try {
    const page = await browser.newPage({ viewport: { width: 1600, height: 1000 } });
    await page.goto(`${viewer.url}?backend=${BACKEND}`);
    await page.waitForFunction((users) => {
      const tiles = window.viewerStats?.() ?? [];
      return tiles.length === users && tiles.every((t) => t.drawn > 0);
    }, USERS, { timeout: 60000 });
    await sleep(2000);

    const read = async () => ({ at: performance.now(), cpu: process.cpuUsage(), page: await page.evaluate(() => window.viewerStats()), server: viewer.stats() });
    const before = await read();
    await sleep(SECONDS * 1000);
    const after = await read();

    const seconds = (after.at - before.at) / 1000;
    const perTile = (key) => after.page.map((t) => (t[key] - before.page.find((b) => b.uuid === t.uuid)[key]) / seconds);
    const drawn = perTile('drawn');
    const received = perTile('received');
    const sent = Object.keys(after.server.sent).reduce((sum, u) => sum + after.server.sent[u] - (before.server.sent[u] ?? 0), 0) / seconds;
    const mean = (values) => values.reduce((a, b) => a + b, 0) / values.length;
    const cpu = ((after.cpu.user - before.cpu.user + after.cpu.system - before.cpu.system) / 1e6 / seconds) * 100;
    const backend = after.page[0].backend;
    console.log(`viewer, ${USERS} users x ${WIDTH}x${HEIGHT} at ${FPS} fps, ${seconds.toFixed(1)} s, tiles drawn with ${backend}:`);
    console.log(`  drawn    ${mean(drawn).toFixed(1)} fps a tile (lowest ${Math.min(...drawn).toFixed(1)}, highest ${Math.max(...drawn).toFixed(1)}), `
      + `${(mean(drawn) / FPS).toFixed(2)} of the cameras' rate, ${(mean(drawn) * USERS).toFixed(0)} frames/s in all`);
    console.log(`  received ${mean(received).toFixed(1)} fps a tile; server sent ${sent.toFixed(0)} frames/s `
      + `(${((sent * WIDTH * HEIGHT * 1.5) / 1e6).toFixed(0)} MB/s), polled ${((after.server.polls - before.server.polls) / seconds).toFixed(1)} times/s`);
    console.log(`  server process CPU (meeting, simulated SDK and server): ${cpu.toFixed(0)}% of one core`);
  } finally {
    await browser.close();
    await viewer.close();
  }
}

main().catch((error) => {
  console.error(error);
  process.exitCode = 1;
});
