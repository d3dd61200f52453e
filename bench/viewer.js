'use strict';
// The viewer end to end: the demo meeting with --users cameras of --size at 30 fps,
// its server polling getVideoFrame at 30 Hz and sending every new frame over the
// WebSocket, and headless Chromium drawing every tile with brimo/renderer. After a
// warm-up it counts, over --seconds, the frames the page drew and received per tile,
// the frames the server sent and the polls it made; it prints frames per second per
// tile (mean, lowest, highest), their ratio to the cameras' 30, and the server's CPU.
// Before it, in the same run and browser, a bare page that only receives the frames
// gives the rate the WebSocket alone carries into Chromium.
//
// Chromium is driven here through its DevTools protocol with nothing but evaluations:
// a test driver that follows the page's network (as Playwright does) copies every
// WebSocket message into its own protocol, which alone costs most of the rate.
//
//   node bench/viewer.js [--users 16] [--size 1280x720] [--seconds 10] [--backend auto|webgl2|2d]

const { spawn } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const WebSocket = require('ws');
const { executablePath, ARGS } = require('../test/browser');
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

/** Headless Chromium showing `url`, with evaluate(expression) in its page, navigate(url) and close(). */
async function openChromium(url) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'brimo-bench-'));
  const child = spawn(executablePath, ['--headless', ...ARGS, `--user-data-dir=${profile}`, '--remote-debugging-port=0',
    '--window-size=1600,1000', url], { stdio: 'ignore' });
  const close = async () => {
    if (child.exitCode === null) {
      child.kill();
      await new Promise((resolve) => child.once('exit', resolve));
    }
    fs.rmSync(profile, { recursive: true, force: true });
  };
  try {
    // Chromium writes its port into the profile once it listens.
    const portFile = path.join(profile, 'DevToolsActivePort');
    let page;
    for (let i = 0; i < 200 && !page; i++) {
      await sleep(100);
      if (!fs.existsSync(portFile)) continue;
      const port = fs.readFileSync(portFile, 'utf8').split('\n')[0];
      const targets = await fetch(`http://127.0.0.1:${port}/json`).then((r) => r.json()).catch(() => []);
      page = targets.find((t) => t.type === 'page' && t.url.startsWith(url));
    }
    if (!page) throw new Error('Chromium showed no page');
    const socket = new WebSocket(page.webSocketDebuggerUrl);
    await new Promise((resolve, reject) => socket.once('open', resolve).once('error', reject));
    let id = 0;
    const send = (method, params) => new Promise((resolve, reject) => {
      const mine = ++id;
      const onMessage = (data) => {
        const message = JSON.parse(data);
        if (message.id !== mine) return;
        socket.off('message', onMessage);
        if (message.error) reject(new Error(`${method}: ${message.error.message}`));
        else resolve(message.result);
      };
      socket.on('message', onMessage);
      socket.send(JSON.stringify({ id: mine, method, params }));
    });
    const evaluate = async (expression) => {
      const { result, exceptionDetails } = await send('Runtime.evaluate', { expression, awaitPromise: true, returnByValue: true });
      if (exceptionDetails) throw new Error(exceptionDetails.exception?.description ?? exceptionDetails.text);
      return result.value;
    };
    const navigate = (to) => send('Page.navigate', { url: to });
    return { evaluate, navigate, close: async () => { socket.close(); await close(); } };
  } catch (error) {
    await close();
    throw error;
  }
}

// Polls `expression` until true; a page in the middle of loading counts as false.
async function waitFor(evaluate, expression, what) {
  for (let i = 0; i < 600; i++) {
    if (await evaluate(expression).catch(() => false)) return;
    await sleep(100);
  }
  throw new Error(`timed out waiting for ${what}`);
}

async function main() {
  const viewer = await startViewer({ users: USERS, width: WIDTH, height: HEIGHT, fps: FPS, lively: false, say: () => {} });
  let chromium;
  try {
    // The transport alone first, on a bare page of the same server: a socket that only
    // counts frame messages. Then the viewer in the same tab.
    chromium = await openChromium(`${viewer.url}bare`);
    const { evaluate, navigate } = chromium;
    await waitFor(evaluate, `location.pathname === '/bare' && document.readyState === 'complete'`, 'the bare page');
    const transport = await evaluate(`(async () => {
      const socket = new WebSocket('${viewer.url.replace('http', 'ws')}video');
      socket.binaryType = 'arraybuffer';
      let frames = 0;
      socket.onmessage = ({ data }) => { if (typeof data !== 'string') frames++; };
      await new Promise((resolve) => { socket.onopen = resolve; });
      await new Promise((resolve) => setTimeout(resolve, 2000));
      const start = [performance.now(), frames];
      await new Promise((resolve) => setTimeout(resolve, ${Math.min(SECONDS, 5) * 1000}));
      socket.close();
      return (frames - start[1]) / ((performance.now() - start[0]) / 1000);
    })()`);
    await navigate(`${viewer.url}?backend=${BACKEND}`);
    await waitFor(evaluate, `(window.viewerStats?.() ?? []).filter((t) => t.drawn > 0).length === ${USERS}`, 'every tile to draw');
    await sleep(2000);

    const read = async () => ({ at: performance.now(), cpu: process.cpuUsage(), page: await evaluate('window.viewerStats()'), server: viewer.stats() });
    const before = await read();
    await sleep(SECONDS * 1000);
    const after = await read();

    const seconds = (after.at - before.at) / 1000;
    const perTile = (key) => after.page.map((t) => (t[key] - (before.page.find((b) => b.uuid === t.uuid)?.[key] ?? 0)) / seconds);
    const drawn = perTile('drawn');
    const received = perTile('received');
    const sent = Object.keys(after.server.sent).reduce((sum, u) => sum + after.server.sent[u] - (before.server.sent[u] ?? 0), 0) / seconds;
    const mean = (values) => values.reduce((a, b) => a + b, 0) / values.length;
    const cpu = ((after.cpu.user - before.cpu.user + after.cpu.system - before.cpu.system) / 1e6 / seconds) * 100;
    const mb = (frames) => ((frames * WIDTH * HEIGHT * 1.5) / 1e6).toFixed(0);
    console.log(`viewer, ${USERS} users x ${WIDTH}x${HEIGHT} at ${FPS} fps, ${seconds.toFixed(1)} s, tiles drawn with ${after.page[0].backend}:`);
    console.log(`  drawn    ${mean(drawn).toFixed(1)} fps a tile (lowest ${Math.min(...drawn).toFixed(1)}, highest ${Math.max(...drawn).toFixed(1)}), `
      + `${(mean(drawn) / FPS).toFixed(2)} of the cameras' rate, ${(mean(drawn) * USERS).toFixed(0)} frames/s in all`);
    console.log(`  received ${mean(received).toFixed(1)} fps a tile; server sent ${sent.toFixed(0)} frames/s (${mb(sent)} MB/s), `
      + `polled ${((after.server.polls - before.server.polls) / seconds).toFixed(1)} times/s`);
    console.log(`  a socket that only receives: ${transport.toFixed(0)} frames/s (${mb(transport)} MB/s, ${(transport / USERS).toFixed(1)} a tile); `
      + `the viewer draws ${((mean(drawn) * USERS) / transport).toFixed(2)} of that`);
    console.log(`  server process CPU (meeting, simulated SDK and server): ${cpu.toFixed(0)}% of one core`);
  } finally {
    await chromium?.close();
    await viewer.close();
  }
}

main().catch((error) => {
  console.error(error);
  process.exitCode = 1;
});
