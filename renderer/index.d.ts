// Types of brimo/renderer: I420 frames, as getVideoFrame fills them, drawn on a canvas.

/** The frame of a getVideoFrame request after a delivery (code 0). */
export interface I420Frame {
  width: number;
  height: number;
  buffer: {
    /** The pixels: Y from byte 0, U from yOffset, V from uOffset, up to vOffset. */
    bytes: ArrayBufferView;
    yStride: number;
    uStride: number;
    vStride: number;
    /** Where the Y plane ends and U begins. */
    yOffset: number;
    /** Where the U plane ends and V begins. */
    uOffset: number;
    /** Where the V plane ends: the frame's size in bytes. */
    vOffset: number;
  };
}

export interface I420RendererOptions {
  /** Full-range YUV (0..255) instead of the limited range (Y 16..235). Default false. */
  fullRange?: boolean;
  /** Flip frames left to right. Default false. */
  mirror?: boolean;
  /** 'webgl2' or '2d' to insist on one; 'auto' (default) prefers WebGL2. */
  backend?: 'auto' | 'webgl2' | '2d';
  /** Size the canvas to each frame (default true); false stretches frames over it. */
  resize?: boolean;
}

/** A canvas the renderer can draw on: an HTMLCanvasElement or an OffscreenCanvas. */
export interface RendererCanvas {
  width: number;
  height: number;
  getContext(contextId: string, options?: object): unknown;
}

export declare class I420Renderer {
  constructor(canvas: RendererCanvas, options?: I420RendererOptions);
  /** What draws the frames; null once disposed. */
  readonly backend: 'webgl2' | '2d' | null;
  /** Flips the following frames left to right. */
  mirror: boolean;
  fullRange: boolean;
  resize: boolean;
  /** Draws one frame; throws TypeError or RangeError for a layout that does not fit its bytes. */
  draw(frame: I420Frame): void;
  /** Frees the textures and programs; draw throws afterwards. Safe to call twice. */
  dispose(): void;
}
