'use strict';
// Video frames: the SDK hands decoded frames to room listeners; script polls the
// frame hub with its own typed arrays.

const test = require('node:test');
const assert = require('node:assert/strict');
const { brimo, sim, nextCall } = require('./helpers');

const W = 64;
const H = 36;
const SIZE = W * H * 1.5;

let kit;
let room;
let listenerId;
let roomCount = 0;

// A joined room with a room listener, so the SDK has somewhere to send frames.
async function joinRoom() {
  const s = sim();
  kit = kit || new (brimo().IQVParloWrap)();
  kit.initialize({ appKey: 'frames' }, () => {});
  const uuid = `frames-room-${++roomCount}`;
  const { callback, promise } = nextCall();
  kit.getRoomService().joinRoom({ roomUuid: uuid, userName: 'me' }, {}, callback);
  const { args: [code, , context] } = await promise;
  assert.equal(code, 0);
  listenerId = context.addRoomListener(() => {});
  assert.equal(s.listeners('room', uuid), 1);
  room = { uuid, context };
  return room;
}

function request(userUuid, { sub = false, bytes = new Uint8Array(SIZE) } = {}) {
  return { frame: { userUuid, bSubVideo: sub, buffer: { bytes } } };
}

function push(user, options = {}) {
  sim().frames.push({ room: room.uuid, user, width: W, height: H, mode: 'sync', ...options });
}

test.before(joinRoom);
test.after(() => {
  kit.stopListenVideoFrame();
  room.context.removeRoomListener(listenerId);
});

test('not listening: frames are neither stored nor counted, every request answers 2', () => {
  kit.stopListenVideoFrame();
  const before = sim().frames.hubStats().stored;
  push('quiet-user');
  const r = request('quiet-user');
  kit.getVideoFrame([r]);
  assert.equal(r.code, 2);
  assert.equal(r.total, undefined, 'no counters for a key that never stored a frame');
  assert.equal(sim().frames.hubStats().stored, before);
});

test('the newest frame wins: three frames before a poll give total 3, drop 2, and the third frame', () => {
  kit.startListenVideoFrame();
  for (const frame of [1, 2, 3]) push('u1', { frame });
  const r = request('u1');
  r.delay = 'untouched';
  kit.getVideoFrame([r]);
  assert.equal(r.code, 0);
  assert.deepEqual([r.total, r.drop], [3, 2]);
  assert.equal(typeof r.delay, 'number');
  assert.ok(r.delay >= 0);
  const seen = sim().frames.inspect(r.frame.buffer.bytes, W, H);
  assert.deepEqual(seen, { user: 1, stream: 0, frame: 3, whole: true });
  const { frame } = r;
  assert.deepEqual(
    [frame.bSubVideo, frame.type, frame.width, frame.height],
    [false, 0, W, H],
  );
  assert.deepEqual(
    [frame.buffer.yStride, frame.buffer.uStride, frame.buffer.vStride, frame.buffer.yOffset, frame.buffer.uOffset, frame.buffer.vOffset],
    [W, W / 2, W / 2, W * H, W * H * 1.25, SIZE],
  );

  // Right after a delivery there is nothing new: code 2, delay left alone.
  const again = request('u1');
  again.delay = 'untouched';
  kit.getVideoFrame([again]);
  assert.equal(again.code, 2);
  assert.equal(again.delay, 'untouched');
});

test('capacity is counted in bytes: one byte short gets code 1 and the layout, the exact size gets the frame', () => {
  kit.startListenVideoFrame();
  push('u2', { frame: 9, userIndex: 2 });
  const short = request('u2', { bytes: new Uint8Array(SIZE - 1) });
  kit.getVideoFrame([short]);
  assert.equal(short.code, 1);
  assert.equal(short.frame.buffer.vOffset, SIZE, 'script can size a new array from vOffset');
  assert.ok(short.frame.buffer.bytes.every((b) => b === 0), 'nothing written into a too-small array');

  const halfWords = request('u2', { bytes: new Uint16Array(SIZE / 2) });
  kit.getVideoFrame([halfWords]);
  assert.equal(halfWords.code, 0, 'a Uint16Array of half the elements holds the same bytes');
  const bytes = new Uint8Array(halfWords.frame.buffer.bytes.buffer);
  assert.deepEqual(sim().frames.inspect(bytes, W, H), { user: 2, stream: 0, frame: 9, whole: true });

  push('u2', { frame: 10, userIndex: 2 });
  const bigints = request('u2', { bytes: new BigInt64Array(SIZE) });
  kit.getVideoFrame([bigints]);
  assert.equal(bigints.code, 1, '64-bit integer arrays hold no pixels');
});

test('the sub stream has its own key and counters', () => {
  kit.startListenVideoFrame();
  push('u3', { sub: true, userIndex: 3, frame: 4 });
  const main = request('u3');
  const sub = request('u3', { sub: 1 });
  kit.getVideoFrame([main, sub]);
  assert.equal(main.code, 2);
  assert.equal(sub.code, 0);
  assert.equal(sub.frame.bSubVideo, true);
  assert.equal(sub.total, 1);
  assert.deepEqual(sim().frames.inspect(sub.frame.buffer.bytes, W, H), { user: 3, stream: 1, frame: 4, whole: true });
});

test('a stored frame survives a poll that asks for it and is released by one that does not', () => {
  kit.startListenVideoFrame();
  push('u4');
  push('u5');
  const held = () => sim().frames.hubStats().held;
  const asksU5 = request('u5');
  kit.getVideoFrame([request('u4', { bytes: new Uint8Array(1) }), asksU5]);
  assert.equal(asksU5.code, 0);
  assert.equal(held(), 2, 'the poll released every frame it did not ask for, and kept both it did');
  kit.getVideoFrame([request('u4', { bytes: new Uint8Array(1) })]);
  assert.equal(held(), 1, "u5's frame was released");
  const late = request('u5');
  kit.getVideoFrame([late]);
  assert.equal(late.code, 2);
  assert.equal(late.total, undefined, 'a released key answers 2 before its counters');
});

test('counters continue across stop and start', () => {
  kit.startListenVideoFrame();
  push('u6');
  push('u6');
  kit.stopListenVideoFrame();
  push('u6'); // not listening: not counted
  kit.startListenVideoFrame();
  push('u6');
  const r = request('u6');
  kit.getVideoFrame([r]);
  assert.equal(r.code, 0);
  assert.deepEqual([r.total, r.drop], [3, 1]);
});

test('a frame is counted however the SDK describes it; only one that cannot be read is skipped', () => {
  kit.startListenVideoFrame();
  const stats = sim().frames.hubStats();
  push('odd', { offsets: [0, 100, 50, 0] }); // U plane after V: nothing can be read
  const r = request('odd');
  kit.getVideoFrame([r]);
  // Nothing stored under the key yet, so no counters are written either.
  assert.deepEqual([r.code, r.total, sim().frames.hubStats().skipped - stats.skipped], [2, undefined, 1]);
  // The Y offset takes no part in the buffer: the buffer is read from its first byte.
  push('odd', { offsets: [-8, W * H, W * H * 1.25, 0], frame: 3 });
  kit.getVideoFrame([r]);
  assert.deepEqual([r.code, r.total, r.drop, r.frame.buffer.vOffset], [0, 2, 0, SIZE]);
  assert.equal(sim().frames.inspect(r.frame.buffer.bytes, W, H).frame, 3);
  // A frame without pixels is a frame too, and fits any array.
  push('odd', { offsets: [0, 0, 0, 0] });
  const empty = request('odd', { bytes: new Uint8Array(0) });
  kit.getVideoFrame([empty]);
  assert.deepEqual([empty.code, empty.total, empty.frame.buffer.vOffset], [0, 3, 0]);
  // The simulated SDK itself refuses sizes no camera delivers, before drawing a byte.
  assert.throws(() => push('odd', { width: 1e9, height: 1e9 }), /frame width and height/);
  assert.throws(() => sim().frames.start({ room: room.uuid, users: 1e6 }), /1 to 256 users/);
});

test('a getter that detaches or shrinks the array before the copy gets nothing written into it', () => {
  kit.startListenVideoFrame();
  for (const spoil of [
    (buffer) => structuredClone(buffer, { transfer: [buffer] }),
    (buffer) => buffer.resize(16),
  ]) {
    push('spoiler');
    const buffer = new ArrayBuffer(SIZE, { maxByteLength: SIZE });
    const bytes = new Uint8Array(buffer);
    const r = { frame: { get userUuid() { spoil(buffer); return 'spoiler'; }, bSubVideo: false, buffer: { bytes } } };
    kit.getVideoFrame([r]);
    assert.equal(r.code, 1, 'the array is too small now');
    assert.equal(r.frame.buffer.vOffset, SIZE);
  }
});

test('bad requests raise the runtime error; re-entering the hub from a getter is refused', () => {
  kit.startListenVideoFrame();
  assert.throws(() => kit.getVideoFrame('u1'));
  assert.throws(() => kit.getVideoFrame([{}]));
  assert.equal(kit.getVideoFrame([]), undefined);
  const sneaky = { frame: { get userUuid() { kit.getVideoFrame([request('u1')]); return 'u1'; }, buffer: { bytes: new Uint8Array(1) } } };
  assert.throws(() => kit.getVideoFrame([sneaky]), /cannot be called while getVideoFrame/);
  // Script run by a getter may call into the SDK, whose threads keep storing frames meanwhile.
  const busy = { frame: { get userUuid() { push('u9', { mode: 'sync' }); return 'u9'; }, buffer: { bytes: new Uint8Array(SIZE) } } };
  kit.getVideoFrame([busy]);
  assert.equal(busy.code, 0);
  const r = request('u1');
  kit.getVideoFrame([r]);
  assert.equal(typeof r.code, 'number', 'the hub works after the refusal');
});

test('with several producer threads, every delivered frame is whole and of its own key', async () => {
  kit.startListenVideoFrame();
  const s = sim();
  const users = 4;
  // Paced so that the producers and the poller overlap for most of a second.
  const id = s.frames.start({ room: room.uuid, users, width: W, height: H, fps: 500, frames: 400, sub: true, threads: 4, userPrefix: 'gen-' });
  const requests = [];
  for (let u = 1; u <= users; u++) {
    for (const sub of [false, true]) requests.push({ user: u, sub, r: request(`gen-${u}`, { sub }) });
  }
  let delivered = 0;
  const last = new Map();
  // One more poll after the producers finish, so a slow start still sees their newest frames.
  for (let more = true; more;) {
    more = s.frames.status(id).running;
    kit.getVideoFrame(requests.map((q) => q.r));
    for (const q of requests) {
      if (q.r.code !== 0) continue;
      delivered++;
      const seen = s.frames.inspect(q.r.frame.buffer.bytes, W, H);
      assert.ok(seen && seen.whole, `frame of gen-${q.user} is whole`);
      assert.equal(seen.user, q.user);
      assert.equal(seen.stream, q.sub ? 1 : 0);
      const key = `${q.user}/${q.sub}`;
      assert.ok(seen.frame >= (last.get(key) ?? 0), 'frames only move forward');
      last.set(key, seen.frame);
    }
    await new Promise((r) => setImmediate(r));
  }
  s.frames.stop(id);
  assert.ok(delivered > 0, 'the poller received frames');
  // One more frame per stream: its counters account for every frame produced.
  for (const q of requests) push(`gen-${q.user}`, { sub: q.sub, userIndex: q.user, frame: 400 });
  kit.getVideoFrame(requests.map((q) => q.r));
  assert.deepEqual(requests.map((q) => [q.r.code, q.r.total]), requests.map(() => [0, 401]));
});

test('capacity in bytes for every pixel-holding kind: exact size gets the frame, one element short gets 1', () => {
  kit.startListenVideoFrame();
  const kinds = [Int8Array, Uint8ClampedArray, Int32Array, Float32Array, Float64Array];
  kinds.forEach((Kind, i) => {
    push('kinds', { frame: 20 + i, userIndex: 7 });
    const short = request('kinds', { bytes: new Kind(SIZE / Kind.BYTES_PER_ELEMENT - 1) });
    kit.getVideoFrame([short]);
    assert.equal(short.code, 1, `${Kind.name} one element short`);
    const exact = request('kinds', { bytes: new Kind(SIZE / Kind.BYTES_PER_ELEMENT) });
    kit.getVideoFrame([exact]);
    assert.equal(exact.code, 0, `${Kind.name} of exactly the frame's bytes`);
    const bytes = new Uint8Array(exact.frame.buffer.bytes.buffer);
    assert.deepEqual(sim().frames.inspect(bytes, W, H), { user: 7, stream: 0, frame: 20 + i, whole: true }, Kind.name);
  });
});

test('one array, one key twice: the first request takes the frame, the second gets 2 and keeps it stored', () => {
  kit.startListenVideoFrame();
  kit.getVideoFrame([request('nobody')]); // releases whatever earlier tests left
  push('twice', { frame: 5, userIndex: 8 });
  const first = request('twice');
  const second = request('twice');
  kit.getVideoFrame([first, second]);
  assert.deepEqual([first.code, first.total, first.drop], [0, 1, 0]);
  assert.deepEqual(sim().frames.inspect(first.frame.buffer.bytes, W, H), { user: 8, stream: 0, frame: 5, whole: true });
  assert.deepEqual([second.code, 'total' in second, 'drop' in second, 'width' in second.frame], [2, false, false, false]);
  assert.equal(sim().frames.hubStats().held, 1, 'asked for, so not released');
});

test('a request that cannot be read throws; the ones before it are served, the frames after it released', () => {
  kit.startListenVideoFrame();
  kit.getVideoFrame([request('nobody')]);
  for (const [n, user] of ['bad1', 'bad2', 'bad3'].entries()) push(user, { frame: n, userIndex: 10 + n });
  assert.equal(sim().frames.hubStats().held, 3);
  // The first request's array is too small, so its frame stays unconsumed for a later poll.
  const first = request('bad1', { bytes: new Uint8Array(1) });
  const third = request('bad3');
  assert.throws(() => kit.getVideoFrame([first, {}, third]));
  assert.deepEqual([first.code, first.total, first.drop, first.frame.buffer.vOffset], [1, 1, 0, SIZE]);
  assert.equal(sim().frames.hubStats().held, 1, 'only the first key kept its frame');
  const later = ['bad1', 'bad2', 'bad3'].map((user) => request(user));
  kit.getVideoFrame(later);
  assert.deepEqual(later.map((r) => [r.code, r.total]), [[0, 1], [2, undefined], [2, undefined]]);
  assert.deepEqual(sim().frames.inspect(later[0].frame.buffer.bytes, W, H), { user: 10, stream: 0, frame: 0, whole: true });
});
