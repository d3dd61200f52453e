'use strict';
// The demo meeting with its video live in a browser: a server on 127.0.0.1 polls
// getVideoFrame at 30 Hz for every member and sends each new frame to the page over a
// WebSocket, as one binary message; the page draws a tile per member with
// brimo/renderer. Run with `npm run viewer` and open the address it prints.
//
//   node examples/viewer/server.js [--port 8080] [--users 6] [--size 1280x720] [--fps 30] [--seconds 60] [--quiet]
//
// A frame message: a header of little-endian 32-bit words (see HEADER), the member's
// uuid in UTF-8 padded to four bytes, then the I420 bytes as getVideoFrame wrote them.
// Text messages are JSON: { type: 'members', members: [...] } whenever the member list
// changes, and { type: 'hello', room } first.

const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');
const { WebSocketServer } = require('ws');
const { Meeting, liven } = require('./meeting');

// Header words, in order, after a first word holding the message kind (1: a frame) in
// its low byte and the uuid's byte length in its high 16 bits.
const HEADER = ['width', 'height', 'yStride', 'uStride', 'vStride', 'yOffset', 'uOffset', 'vOffset', 'total', 'delay'];
const HEADER_BYTES = 4 * (1 + HEADER.length);
const POLL_MS = 1000 / 30;
const SLOTS = 2;   // messages per member in flight: one being sent while the next is filled
const EMPTY = new Uint8Array(0);

const here = __dirname;
const FILES = {
  '/': [path.join(here, 'index.html'), 'text/html; charset=utf-8'],
  '/app.js': [path.join(here, 'app.js'), 'text/javascript; charset=utf-8'],
  '/renderer/index.mjs': [path.join(here, '..', '..', 'renderer', 'index.mjs'), 'text/javascript; charset=utf-8'],
};

/**
 * One member's video: its request to getVideoFrame and the messages its frames are
 * fetched into. A message goes back to the free list once every client has been
 * handed it; while none is free the request asks with an empty array, which leaves
 * the newest frame waiting in the frame hub.
 */
class Feed {
  constructor(uuid) {
    this.uuid = uuid;
    this.name = Buffer.from(uuid, 'utf8');
    this.pixelsAt = HEADER_BYTES + Math.ceil(this.name.length / 4) * 4;
    this.request = { frame: { userUuid: uuid, bSubVideo: false, buffer: { bytes: EMPTY } } };
    this.free = [];
    this.size = -1;
    this.sent = 0;
  }

  // Messages for frames of `size` bytes; those still in flight are dropped when they return.
  allocate(size) {
    this.size = size;
    this.free = [];
    for (let i = 0; i < SLOTS; i++) {
      const message = Buffer.alloc(this.pixelsAt + size);
      message.writeUInt32LE(1 | (this.name.length << 16), 0);
      this.name.copy(message, HEADER_BYTES);
      this.free.push({ message, pixels: new Uint8Array(message.buffer, message.byteOffset + this.pixelsAt, size), size, pending: 0 });
    }
  }

  // Before a poll: an array to fetch into (the first time an empty one, to learn the size).
  arm() {
    this.slot = this.free.pop() ?? null;
    this.request.frame.buffer.bytes = this.slot ? this.slot.pixels : EMPTY;
  }

  // After a poll: the message to send, or null.
  take() {
    const { request, slot } = this;
    this.slot = null;
    if (request.code === 1 && (slot !== null || this.size < 0)) {
      this.allocate(request.frame.buffer.vOffset);   // the first frame or a new size
      return null;
    }
    if (slot === null) return null;
    if (request.code !== 0) {
      this.free.push(slot);
      return null;
    }
    const { frame } = request;
    const words = [frame.width, frame.height, frame.buffer.yStride, frame.buffer.uStride, frame.buffer.vStride,
      frame.buffer.yOffset, frame.buffer.uOffset, frame.buffer.vOffset, request.total >>> 0, Math.max(0, request.delay) >>> 0];
    for (let i = 0; i < words.length; i++) slot.message.writeUInt32LE(words[i], 4 + 4 * i);
    // A smaller frame fits this message (the page reads up to vOffset); the next ones get their own size.
    if (frame.buffer.vOffset !== this.size) this.allocate(frame.buffer.vOffset);
    return slot;
  }

  // A message handed to every client comes back for the next frame (if its size still holds).
  release(slot) {
    if (--slot.pending <= 0 && slot.size === this.size) this.free.push(slot);
  }
}

/**
 * Starts the meeting and the server. Options: host (127.0.0.1), port (0: any free
 * one), users (6), width (640), height (360), fps (30), lively (true: members come,
 * go, mute and unmute), say (console.log). Answers { url, meeting, stats(), close() }.
 */
async function startViewer({ host = '127.0.0.1', port = 0, users = 6, width = 640, height = 360, fps = 30, lively = true, say = console.log } = {}) {
  const clients = new Set();
  const feeds = new Map();
  let members = [];
  const broadcast = (text) => {
    for (const ws of clients) ws.send(text);
  };
  const meeting = await Meeting.open({
    users, width, height, fps,
    onMembers: (list) => {
      members = list;
      broadcast(JSON.stringify({ type: 'members', members }));
    },
  });

  const server = http.createServer((req, res) => {
    const file = req.method === 'GET' && FILES[new URL(req.url, 'http://x').pathname];
    if (!file) {
      res.writeHead(404, { 'content-type': 'text/plain' }).end('not found');
      return;
    }
    fs.readFile(file[0], (error, body) => {
      if (error) res.writeHead(500, { 'content-type': 'text/plain' }).end(String(error.message));
      else res.writeHead(200, { 'content-type': file[1], 'cache-control': 'no-store' }).end(body);
    });
  });
  const wss = new WebSocketServer({ server, path: '/video' });
  wss.on('error', () => {});   // the HTTP server's own errors, which listen() reports
  wss.on('connection', (ws) => {
    clients.add(ws);
    ws.on('close', () => clients.delete(ws));
    ws.on('error', () => clients.delete(ws));
    ws.send(JSON.stringify({ type: 'hello', room: meeting.room.getRoomName() }));
    ws.send(JSON.stringify({ type: 'members', members }));
  });

  // The poll: one getVideoFrame for every member whose camera is on, each new frame
  // to every client.
  const requests = [];
  let polls = 0;
  const poll = () => {
    polls++;
    requests.length = 0;
    for (const m of members) {
      if (!m.isVideoOn) continue;
      let feed = feeds.get(m.uuid);
      if (!feed) feeds.set(m.uuid, (feed = new Feed(m.uuid)));
      feed.arm();
      requests.push(feed);
    }
    for (const uuid of feeds.keys()) if (!members.some((m) => m.uuid === uuid && m.isVideoOn)) feeds.delete(uuid);
    if (requests.length === 0) return;
    meeting.kit.getVideoFrame(requests.map((feed) => feed.request));
    for (const feed of requests) {
      const slot = feed.take();
      if (slot === null) continue;
      slot.pending = clients.size;
      if (clients.size === 0) {
        feed.free.push(slot);
        continue;
      }
      feed.sent++;
      for (const ws of clients) ws.send(slot.message, { binary: true }, () => feed.release(slot));
    }
  };
  // Paced against the clock, so that a slow poll does not slow the ones after it.
  const started = performance.now();
  let timer = null;
  const schedule = () => {
    const next = started + (polls + 1) * POLL_MS;
    timer = setTimeout(() => {
      poll();
      schedule();
    }, Math.max(0, next - performance.now()));
  };
  schedule();
  const stopLiving = lively ? liven(meeting) : () => {};

  let closing = null;
  const close = () => {
    closing ??= (async () => {
      clearTimeout(timer);
      stopLiving();
      for (const ws of clients) ws.terminate();
      await new Promise((resolve) => wss.close(resolve));
      if (server.listening) await new Promise((resolve) => server.close(resolve));
      await meeting.close();
    })();
    return closing;
  };

  try {
    await new Promise((resolve, reject) => {
      server.once('error', reject);
      server.listen(port, host, resolve);
    });
  } catch (error) {
    await close();   // a port in use: the meeting ends, so the process can too
    throw error;
  }
  const url = `http://${host}:${server.address().port}/`;
  say(`viewer at ${url} (${members.length} members, ${width}x${height} at ${fps} fps)`);

  const stats = () => ({
    polls,
    clients: clients.size,
    sent: Object.fromEntries([...feeds].map(([uuid, feed]) => [uuid, feed.sent])),
  });
  return { url, meeting, stats, close };
}

function parseArgs(argv) {
  const options = {};
  for (let i = 0; i < argv.length; i++) {
    const [flag, value] = [argv[i], argv[i + 1]];
    const number = () => {
      const n = Number(value);
      if (!Number.isInteger(n) || n < 0) throw new Error(`${flag} takes a whole number, not ${value}`);
      i++;
      return n;
    };
    if (flag === '--port') options.port = number();
    else if (flag === '--users') options.users = number();
    else if (flag === '--fps') options.fps = number();
    else if (flag === '--seconds') options.seconds = number();
    else if (flag === '--quiet') options.lively = false;
    else if (flag === '--size') {
      const match = /^(\d+)x(\d+)$/.exec(value ?? '');
      if (!match) throw new Error(`--size takes WIDTHxHEIGHT, not ${value}`);
      [options.width, options.height] = [Number(match[1]), Number(match[2])];
      i++;
    } else throw new Error(`unknown option ${flag}`);
  }
  return options;
}

async function main() {
  let options;
  try {
    options = parseArgs(process.argv.slice(2));
  } catch (error) {
    console.error(error.message);
    process.exitCode = 2;
    return;
  }
  const viewer = await startViewer(options);
  console.log(options.seconds ? `stopping after ${options.seconds} s` : 'Ctrl-C stops it');
  const stop = async () => {
    await viewer.close();
    console.log('viewer closed');
  };
  const timer = options.seconds ? setTimeout(stop, options.seconds * 1000) : null;
  for (const signal of ['SIGINT', 'SIGTERM']) {
    process.once(signal, () => {
      clearTimeout(timer);
      stop();
    });
  }
}

if (require.main === module) {
  main().catch((error) => {
    console.error(`viewer: ${error.message}`);
    process.exitCode = 1;
  });
}

module.exports = { startViewer, HEADER, HEADER_BYTES };
