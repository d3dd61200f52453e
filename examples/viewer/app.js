// The viewer page: one tile per member of the meeting, each drawing that member's frames
// with brimo/renderer as they arrive over the WebSocket; names, microphone state and
// frames per second on every tile. window.viewerStats() tells what each tile has drawn.

import { I420Renderer } from '/renderer/index.mjs';

const HEADER_WORDS = 11;   // kind and uuid length, then the frame's layout (server.js: HEADER)
const tiles = new Map();   // uuid -> tile
const names = new TextDecoder();
const $ = (id) => document.getElementById(id);
// ?backend=2d draws with the 2D canvas even where WebGL2 is there.
const backend = new URLSearchParams(location.search).get('backend') ?? 'auto';

function makeTile(member) {
  const element = document.createElement('div');
  element.className = 'tile';
  element.dataset.uuid = member.uuid;
  element.innerHTML = '<canvas></canvas><div class="off">camera off</div>'
    + '<div class="label"><span class="name"></span><span class="mic"></span><span class="fps"></span></div>';
  const canvas = element.querySelector('canvas');
  const tile = {
    element,
    renderer: new I420Renderer(canvas, { mirror: member.local, backend }),
    frame: { width: 0, height: 0, buffer: { bytes: null, yStride: 0, uStride: 0, vStride: 0, yOffset: 0, uOffset: 0, vOffset: 0 } },
    pending: null,   // the newest message not drawn yet
    received: 0,
    drawn: 0,
    lastSecond: { at: performance.now(), drawn: 0 },
    fps: 0,
  };
  // With WebGL2 the canvas keeps the tile's own resolution (at most the frame's, in the
  // frame's shape): the shader then runs once per pixel shown, not per pixel sent.
  if (tile.renderer.backend === 'webgl2') {
    tile.renderer.resize = false;
    tile.box = { width: 0, height: 0 };
    tile.observer = new ResizeObserver(([entry]) => {
      tile.box.width = entry.contentRect.width * devicePixelRatio;
      tile.box.height = entry.contentRect.height * devicePixelRatio;
    });
    tile.observer.observe(canvas);
  }
  $('tiles').append(element);
  return tile;
}

// The canvas size a frame is drawn at: the tile's, in the frame's shape, never above the frame's.
function fitCanvas(tile, width, height) {
  const { canvas } = tile.renderer;
  const scale = Math.min(1, tile.box.width / width, tile.box.height / height) || 1;
  const w = Math.max(1, Math.round(width * scale));
  const h = Math.max(1, Math.round(height * scale));
  if (canvas.width !== w) canvas.width = w;
  if (canvas.height !== h) canvas.height = h;
}

function showMembers(members) {
  const present = new Set(members.map((m) => m.uuid));
  for (const [uuid, tile] of tiles) {
    if (present.has(uuid)) continue;
    tile.renderer.dispose();
    tile.observer?.disconnect();
    tile.element.remove();
    tiles.delete(uuid);
  }
  for (const member of members) {
    const tile = tiles.get(member.uuid) ?? makeTile(member);
    tiles.set(member.uuid, tile);
    const { element } = tile;
    element.querySelector('.name').textContent = member.local ? `${member.name} (me)` : member.name;
    const mic = element.querySelector('.mic');
    mic.textContent = member.isAudioOn ? 'mic on' : 'muted';
    mic.classList.toggle('muted', !member.isAudioOn);
    element.classList.toggle('video-off', !member.isVideoOn);
    $('tiles').append(element);   // in the room's order
  }
  $('status').textContent = `${members.length} in the room`;
}

// A frame message: keeps only the newest per tile; drawing waits for the next animation frame.
function receiveFrame(data) {
  const head = new Uint32Array(data, 0, HEADER_WORDS);
  const nameLength = head[0] >>> 16;
  const uuid = names.decode(new Uint8Array(data, HEADER_WORDS * 4, nameLength));
  const tile = tiles.get(uuid);
  if (!tile) return;
  tile.received++;
  tile.pending = data;
}

function drawFrame(tile, data) {
  const head = new Uint32Array(data, 0, HEADER_WORDS);
  const pixelsAt = HEADER_WORDS * 4 + Math.ceil((head[0] >>> 16) / 4) * 4;
  const { frame } = tile;
  const { buffer } = frame;
  [frame.width, frame.height] = [head[1], head[2]];
  [buffer.yStride, buffer.uStride, buffer.vStride, buffer.yOffset, buffer.uOffset, buffer.vOffset] = head.subarray(3, 9);
  buffer.bytes = new Uint8Array(data, pixelsAt, buffer.vOffset);
  if (tile.observer) fitCanvas(tile, frame.width, frame.height);
  tile.renderer.draw(frame);
  tile.drawn++;
}

function animate(now) {
  for (const tile of tiles.values()) {
    if (tile.pending) {
      drawFrame(tile, tile.pending);
      tile.pending = null;
    }
    const elapsed = now - tile.lastSecond.at;
    if (elapsed >= 1000) {
      tile.fps = ((tile.drawn - tile.lastSecond.drawn) * 1000) / elapsed;
      tile.lastSecond = { at: now, drawn: tile.drawn };
      const off = tile.element.classList.contains('video-off');
      tile.element.querySelector('.fps').textContent = off ? '' : `${tile.fps.toFixed(1)} fps`;
    }
  }
  requestAnimationFrame(animate);
}

function connect() {
  const socket = new WebSocket(`ws://${location.host}/video`);
  socket.binaryType = 'arraybuffer';
  socket.onmessage = ({ data }) => {
    if (typeof data !== 'string') return receiveFrame(data);
    const message = JSON.parse(data);
    if (message.type === 'hello') $('room').textContent = message.room;
    if (message.type === 'members') showMembers(message.members);
  };
  socket.onclose = () => {
    $('status').textContent = 'disconnected';
  };
}

window.viewerStats = () => [...tiles].map(([uuid, t]) => ({
  uuid,
  received: t.received,
  drawn: t.drawn,
  fps: t.fps,
  backend: t.renderer.backend,
  width: t.frame.width,
  height: t.frame.height,
}));

connect();
requestAnimationFrame(animate);
