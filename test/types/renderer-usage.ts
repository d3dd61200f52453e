// brimo/renderer as an app uses it: a request's frame drawn after delivery.
import { I420Renderer, I420Frame, RendererCanvas } from 'brimo/renderer';

declare const canvas: RendererCanvas;
const renderer = new I420Renderer(canvas, { mirror: true, backend: 'auto' });
const frame: I420Frame = {
  width: 4,
  height: 2,
  buffer: { bytes: new Uint8Array(12), yStride: 4, uStride: 2, vStride: 2, yOffset: 8, uOffset: 10, vOffset: 12 },
};
renderer.draw(frame);
const backend: 'webgl2' | '2d' | null = renderer.backend;
renderer.mirror = false;
renderer.dispose();
// @ts-expect-error the backend is one of three names
new I420Renderer(canvas, { backend: 'webgl' });
// @ts-expect-error a frame needs its buffer
renderer.draw({ width: 4, height: 2 });
void backend;
