'use strict';
// The viewer: the demo meeting served to headless Chromium, every tile showing its
// member's test pattern in a screenshot, the tiles following the room's events, and
// the server and its process ending cleanly.

const test = require('node:test');
const assert = require('node:assert/strict');
const os = require('node:os');
const path = require('node:path');
const { spawn } = require('node:child_process');
const http = require('node:http');
const { once } = require('node:events');
const { PNG } = require('pngjs');
const { root, sim } = require('./helpers');
const { launch } = require('./browser');
const { yuvToRgb, pattern } = require('./frame-images');
const { startViewer } = require('../examples/viewer/server');

let browser;
let viewer;
let page;
const pageErrors = [];

test.before(async () => {
  viewer = await startViewer({ users: 5, width: 320, height: 180, fps: 20, lively: false, say: () => {} });
  browser = await launch();
  page = await browser.newPage({ viewport: { width: 1100, height: 560 } });
  page.on('pageerror', (error) => pageErrors.push(String(error)));
  await page.goto(viewer.url);
});

test.after(async () => {
  await browser?.close();
  await viewer?.close();
});

const stats = () => page.evaluate(() => window.viewerStats());

/** Waits until the page has a tile for each of `uuids` (and no other) that drew `frames` frames. */
async function tilesDrawn(uuids, frames = 3) {
  await page.waitForFunction(({ uuids, frames }) => {
    const all = window.viewerStats?.() ?? [];
    return all.length === uuids.length && uuids.every((u) => all.some((t) => t.uuid === u && t.drawn >= frames));
  }, { uuids, frames }, { timeout: 20000 });
}

/** The screenshot's pixels and where every tile's canvas and label sit. */
async function snapshot(file) {
  const png = PNG.sync.read(await page.screenshot({ path: file }));
  const tiles = await page.$$eval('.tile', (elements) => elements.map((element) => {
    const box = element.querySelector('canvas').getBoundingClientRect();
    return {
      uuid: element.dataset.uuid,
      name: element.querySelector('.name').textContent,
      mic: element.querySelector('.mic').textContent,
      box: { x: box.x, y: box.y, width: box.width, height: box.height },
    };
  }));
  return { png, tiles };
}

/**
 * Checks that a tile shows the test pattern of user number `user`: eight vertical bars
 * of rising luma in the user's tint (mirrored for our own camera). Every bar is read
 * at its middle on rows spread over the picture; the median of each channel must be
 * within 6 of the reference (the moving bright band crosses at most two of the rows).
 */
function patternProblems(png, box, user, mirror) {
  const [u, v] = pattern.tint(user);
  const problems = [];
  for (let bar = 0; bar < 8; bar++) {
    const x = Math.round(box.x + ((bar + 0.5) / 8) * box.width);
    const samples = [];
    for (let i = 0; i < 9; i++) {
      const y = Math.round(box.y + box.height * (0.15 + 0.06 * i));
      const at = (y * png.width + x) * 4;
      samples.push([png.data[at], png.data[at + 1], png.data[at + 2]]);
    }
    const median = [0, 1, 2].map((c) => samples.map((s) => s[c]).sort((a, b) => a - b)[4]);
    const expected = yuvToRgb(pattern.barLuma(mirror ? 7 - bar : bar), u, v);
    if (median.some((value, c) => Math.abs(value - expected[c]) > 6)) {
      problems.push(`bar ${bar}: ${median} where ${expected} was expected`);
    }
  }
  return problems;
}

test('every member has a tile that shows its own test pattern, its name and its microphone', async () => {
  const members = viewer.meeting.members();
  assert.equal(members.length, 5);
  await tilesDrawn(members.map((m) => m.uuid));
  const file = path.join(os.tmpdir(), 'brimo-viewer.png');
  const { png, tiles } = await snapshot(file);
  assert.deepEqual(tiles.map((t) => t.uuid), members.map((m) => m.uuid), 'one tile a member, in the room\'s order');
  const patterns = new Set();
  for (const member of members) {
    const tile = tiles.find((t) => t.uuid === member.uuid);
    assert.equal(tile.name, member.local ? `${member.name} (me)` : member.name);
    assert.equal(tile.mic, member.isAudioOn ? 'mic on' : 'muted');
    assert.ok(tile.box.width > 200, `tile of ${member.name} is laid out`);
    assert.deepEqual(patternProblems(png, tile.box, member.pattern, member.local), [], `tile of ${member.name} (${file})`);
    patterns.add(member.pattern);
  }
  assert.equal(patterns.size, members.length, 'each member sends a pattern of its own');
  const all = await stats();
  assert.ok(all.every((t) => t.backend === 'webgl2' && t.width === 320 && t.height === 180), JSON.stringify(all));
});

test('the tiles follow the room: microphones, cameras, a member joining and one leaving', async () => {
  const { meeting } = viewer;
  const bob = meeting.members().find((m) => m.name === 'Bob');
  meeting.updateMember(bob.uuid, { isAudioOn: !bob.isAudioOn });
  const wanted = bob.isAudioOn ? 'muted' : 'mic on';
  await page.waitForFunction(({ uuid, wanted }) => document.querySelector(`.tile[data-uuid="${uuid}"] .mic`)?.textContent === wanted,
    { uuid: bob.uuid, wanted });

  const cy = meeting.members().find((m) => m.name === 'Cy');
  meeting.updateMember(cy.uuid, { isVideoOn: false });
  await page.waitForSelector(`.tile.video-off[data-uuid="${cy.uuid}"]`);
  const stopped = (await stats()).find((t) => t.uuid === cy.uuid).received;
  meeting.updateMember(cy.uuid, { isVideoOn: true });
  await page.waitForSelector(`.tile:not(.video-off)[data-uuid="${cy.uuid}"]`);
  await page.waitForFunction(({ uuid, stopped }) => window.viewerStats().find((t) => t.uuid === uuid).received > stopped + 2,
    { uuid: cy.uuid, stopped });

  const guest = meeting.addGuest();
  const everyone = (await meeting.whenMembers((list) => list.some((m) => m.uuid === guest))).map((m) => m.uuid);
  assert.equal(everyone.length, 6);
  await tilesDrawn(everyone, 2);
  const { png, tiles } = await snapshot();
  const guestTile = tiles.find((t) => t.uuid === guest);
  assert.deepEqual(patternProblems(png, guestTile.box, meeting.members().find((m) => m.uuid === guest).pattern, false), []);

  meeting.removeMember(guest);
  await page.waitForFunction((uuid) => !document.querySelector(`.tile[data-uuid="${uuid}"]`), guest);
  assert.equal((await stats()).length, 5);
  assert.deepEqual(pageErrors, []);
});

test('closing the viewer leaves the room, closes the page\'s socket and the port', async () => {
  const { url, meeting } = viewer;
  const roomUuid = meeting.roomUuid;
  assert.notEqual(sim().rooms.get(roomUuid), null);
  await viewer.close();
  await page.waitForFunction(() => document.getElementById('status').textContent === 'disconnected');
  assert.equal(sim().rooms.get(roomUuid), null, 'the room is left');
  await assert.rejects(fetch(url), 'nothing listens on the port any more');
});

test('npm run viewer\'s server stops by itself after --seconds and its process exits', async () => {
  const child = spawn(process.execPath, [path.join(root, 'examples/viewer/server.js'), '--users', '3', '--size', '64x36', '--seconds', '2'],
    { stdio: ['ignore', 'pipe', 'pipe'] });
  let out = '';
  child.stdout.on('data', (chunk) => { out += chunk; });
  child.stderr.on('data', (chunk) => { out += chunk; });
  const [code] = await new Promise((resolve) => child.on('exit', (...result) => resolve(result)));
  assert.equal(code, 0, out);
  assert.match(out, /viewer at http:\/\/127\.0\.0\.1:\d+\/ \(3 members, 64x36 at 30 fps\)/);
  assert.match(out, /viewer closed/);

  // A port in use: an error, and the process still ends.
  const busy = http.createServer().listen(0, '127.0.0.1');
  await once(busy, 'listening');
  const taken = spawn(process.execPath, [path.join(root, 'examples/viewer/server.js'), '--port', String(busy.address().port)],
    { stdio: ['ignore', 'pipe', 'pipe'] });
  let complaint = '';
  taken.stderr.on('data', (chunk) => { complaint += chunk; });
  const [takenCode] = await once(taken, 'exit');
  busy.close();
  assert.equal(takenCode, 1);
  assert.match(complaint, /viewer: listen EADDRINUSE/);

  const bad = spawn(process.execPath, [path.join(root, 'examples/viewer/server.js'), '--size', 'big'], { stdio: ['ignore', 'pipe', 'pipe'] });
  let errors = '';
  bad.stderr.on('data', (chunk) => { errors += chunk; });
  const [badCode] = await new Promise((resolve) => bad.on('exit', (...result) => resolve(result)));
  assert.equal(badCode, 2);
  assert.match(errors, /--size takes WIDTHxHEIGHT, not big/);
});
