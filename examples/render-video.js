'use strict';
// The smallest video path: join a room, register a room listener (frames reach the
// frame store only through a registered room listener), let the simulated SDK send
// one member's camera, fetch frames into a typed array and render the newest one to
// a PNG file. Run: node examples/render-video.js [out.png]

const path = require('node:path');
const os = require('node:os');
const fs = require('node:fs');
const { IQVParloWrap } = require('..');
const sim = require('../sim');
const { promised } = require('../lib/promises');
const { i420ToPng } = require('./video');

async function main(out) {
  const kit = new IQVParloWrap();
  await promised(kit).initialize({ appKey: 'demo' });
  const room = await promised(kit.getRoomService()).joinRoom({ roomUuid: 'video-demo', userName: 'Ann' }, {});
  const listener = room.addRoomListener(() => {});

  sim.rooms.addMember('video-demo', [{ uuid: 'bob', name: 'Bob', isVideoOn: true }]);
  const camera = sim.frames.start({ room: 'video-demo', userUuids: ['bob'], width: 320, height: 180, fps: 30 });
  kit.startListenVideoFrame();

  const request = { frame: { userUuid: 'bob', bSubVideo: false, buffer: { bytes: new Uint8Array(0) } } };
  for (let tries = 0; request.code !== 0 && tries < 500; tries++) {
    await new Promise((resolve) => setTimeout(resolve, 10));
    kit.getVideoFrame([request]);
    // Code 1: the array is too small; vOffset is the frame's size in bytes.
    if (request.code === 1) request.frame.buffer.bytes = new Uint8Array(request.frame.buffer.vOffset);
  }
  kit.stopListenVideoFrame();
  sim.frames.stop(camera);
  room.removeRoomListener(listener);
  await promised(room).leaveRoom();
  if (request.code !== 0) throw new Error('no frame arrived');

  // Render: I420 planes (Y up to yOffset, U up to uOffset, V up to vOffset) to RGBA.
  const { width, height, buffer } = request.frame;
  fs.writeFileSync(out, i420ToPng(buffer.bytes, width, height, buffer.yStride, buffer.uStride, buffer.yOffset, buffer.uOffset));
  console.log(`frame ${width}x${height} of bob written to ${out}`);
}

main(process.argv[2] || path.join(os.tmpdir(), 'brimo-frame.png')).catch((err) => {
  console.error(err);
  process.exitCode = 1;
});
