// Draws the I420 frames that `getVideoFrame` writes into script's typed arrays onto a
// canvas: WebGL2 with one single-channel texture per plane and the YUV-to-RGB step in
// a shader, or a 2D canvas where WebGL2 is not to be had. Runs in a browser page and
// in an Electron renderer; the CommonJS build (index.cjs) is made from this file.
//
//   const renderer = new I420Renderer(canvas, { mirror: true });
//   kit.getVideoFrame([request]);
//   if (request.code === 0) renderer.draw(request.frame);
//
// A frame is { width, height, buffer: { bytes, yStride, uStride, vStride, yOffset,
// uOffset, vOffset } }: the Y plane starts at byte 0 of `bytes`, U at `yOffset`, V at
// `uOffset`, and the frame ends at `vOffset`. The chroma planes are ceil(width / 2) x
// ceil(height / 2). Strides may be wider than the rows they carry.

// BT.601 YUV to RGB, as [offset of Y, scale of Y, V to R, U to G, V to G, U to B].
// Limited range: Y in 16..235, U and V in 16..240; full range: all three in 0..255.
const LIMITED = [16, 255 / 219, 1.402 * (255 / 224), 0.344136 * (255 / 224), 0.714136 * (255 / 224), 1.772 * (255 / 224)];
const FULL = [0, 1, 1.402, 0.344136, 0.714136, 1.772];

// One triangle over the viewport. The varyings carry texture coordinates that land
// every fragment on exactly one texel of each plane: for the centre of frame pixel x
// (mirrored when asked) the middle of luma texel x and of chroma texel x / 2.
const VERTEX_SHADER = `#version 300 es
uniform vec2 u_frame;       // frame size in pixels: the Y texture's size
uniform vec2 u_chromaSize;  // the U and V textures' size
uniform bool u_mirror;
out highp vec2 v_luma;
out highp vec2 v_chroma;
void main() {
  vec2 corner = vec2(float((gl_VertexID << 1) & 2), float(gl_VertexID & 2));
  vec2 at = vec2(u_mirror ? 1.0 - corner.x : corner.x, 1.0 - corner.y);   // 0..1 over the frame, row 0 at the top
  v_luma = at;
  v_chroma = at * u_frame * 0.5 / u_chromaSize;
  gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);
}`;

// Nearest-texel sampling; texelFetch would read the same texels but costs software
// renderers (SwiftShader) about twice as much.
const FRAGMENT_SHADER = `#version 300 es
precision highp float;
uniform sampler2D u_y;
uniform sampler2D u_u;
uniform sampler2D u_v;
uniform mat3 u_matrix;   // YUV less u_offset to RGB, all in 0..1
uniform vec3 u_offset;
in highp vec2 v_luma;
in highp vec2 v_chroma;
out vec4 color;
void main() {
  vec3 yuv = vec3(texture(u_y, v_luma).r, texture(u_u, v_chroma).r, texture(u_v, v_chroma).r);
  color = vec4(clamp(u_matrix * (yuv - u_offset), 0.0, 1.0), 1.0);
}`;

// The shader's matrix (column-major) and offset for a set of coefficients.
function shaderConstants([y0, ky, vr, ug, vg, ub]) {
  return {
    matrix: new Float32Array([ky, ky, ky, 0, -ug, ub, vr, -vg, 0]),
    offset: new Float32Array([y0 / 255, 128 / 255, 128 / 255]),
  };
}
const SHADER_CONSTANTS = new Map([[LIMITED, shaderConstants(LIMITED)], [FULL, shaderConstants(FULL)]]);

const WHOLE = (value) => Number.isInteger(value) && value >= 0;

function checkWhole(value, name) {
  if (!WHOLE(value)) throw new RangeError(`frame.buffer.${name} must be a whole number, not ${value}`);
}

/**
 * Checks a frame's layout against its bytes and fills `layout` (one object per
 * renderer, so that drawing makes no garbage): the sizes, the buffer and the bytes
 * as a Uint8Array (the same view while the frame keeps the same typed array).
 * Throws a TypeError for a frame that is not one, a RangeError for a layout that
 * does not fit.
 */
function readLayout(frame, layout) {
  if (frame === null || typeof frame !== 'object') throw new TypeError('draw expects a frame object');
  const { width, height, buffer } = frame;
  if (buffer === null || typeof buffer !== 'object') throw new TypeError('frame.buffer must be an object');
  const { bytes, yStride, uStride, vStride, yOffset, uOffset, vOffset } = buffer;
  if (!ArrayBuffer.isView(bytes)) throw new TypeError('frame.buffer.bytes must be a typed array');
  if (!WHOLE(width) || width === 0) throw new RangeError(`frame.width must be a positive integer, not ${width}`);
  if (!WHOLE(height) || height === 0) throw new RangeError(`frame.height must be a positive integer, not ${height}`);
  checkWhole(yStride, 'yStride');
  checkWhole(uStride, 'uStride');
  checkWhole(vStride, 'vStride');
  checkWhole(yOffset, 'yOffset');
  checkWhole(uOffset, 'uOffset');
  checkWhole(vOffset, 'vOffset');
  const chromaWidth = (width + 1) >> 1;
  const chromaHeight = (height + 1) >> 1;
  if (yStride < width) throw new RangeError(`yStride ${yStride} is narrower than the width ${width}`);
  if (uStride < chromaWidth || vStride < chromaWidth) {
    throw new RangeError(`uStride ${uStride} and vStride ${vStride} must be at least the chroma width ${chromaWidth}`);
  }
  // Each plane must end before the next begins, and the last one within the bytes.
  if (yStride * (height - 1) + width > yOffset) throw new RangeError('the Y plane runs past yOffset');
  if (yOffset + uStride * (chromaHeight - 1) + chromaWidth > uOffset) throw new RangeError('the U plane runs past uOffset');
  if (uOffset + vStride * (chromaHeight - 1) + chromaWidth > vOffset) throw new RangeError('the V plane runs past vOffset');
  if (vOffset > bytes.byteLength) throw new RangeError(`the frame needs ${vOffset} bytes, bytes holds ${bytes.byteLength}`);
  if (layout.bytes !== bytes || layout.view.buffer !== bytes.buffer) {
    layout.bytes = bytes;
    layout.view = bytes instanceof Uint8Array ? bytes : new Uint8Array(bytes.buffer, bytes.byteOffset, bytes.byteLength);
  }
  layout.width = width;
  layout.height = height;
  layout.chromaWidth = chromaWidth;
  layout.chromaHeight = chromaHeight;
  layout.buffer = buffer;
  return layout;
}

/** Sets the canvas's drawing buffer to the frame's size where the renderer owns it. */
function fitCanvas(canvas, width, height) {
  if (canvas.width !== width) canvas.width = width;
  if (canvas.height !== height) canvas.height = height;
}

// --- WebGL2 ---

function compile(gl, type, source) {
  const shader = gl.createShader(type);
  gl.shaderSource(shader, source);
  gl.compileShader(shader);
  if (!gl.getShaderParameter(shader, gl.COMPILE_STATUS) && !gl.isContextLost()) {
    const log = gl.getShaderInfoLog(shader);
    gl.deleteShader(shader);
    throw new Error(`I420Renderer: shader does not compile: ${log}`);
  }
  return shader;
}

class WebGLBackend {
  constructor(gl) {
    this.gl = gl;
    this.name = 'webgl2';
    this.setup();
  }

  // Program, uniforms and (at the first frame) textures; again after a lost context.
  setup() {
    const gl = this.gl;
    const program = gl.createProgram();
    const shaders = [compile(gl, gl.VERTEX_SHADER, VERTEX_SHADER), compile(gl, gl.FRAGMENT_SHADER, FRAGMENT_SHADER)];
    for (const shader of shaders) gl.attachShader(program, shader);
    gl.linkProgram(program);
    for (const shader of shaders) gl.deleteShader(shader);
    if (!gl.getProgramParameter(program, gl.LINK_STATUS) && !gl.isContextLost()) {
      const log = gl.getProgramInfoLog(program);
      gl.deleteProgram(program);
      throw new Error(`I420Renderer: shader program does not link: ${log}`);
    }
    this.program = program;
    this.vao = gl.createVertexArray();
    this.uniforms = {};
    for (const name of ['u_y', 'u_u', 'u_v', 'u_frame', 'u_chromaSize', 'u_mirror', 'u_matrix', 'u_offset']) {
      this.uniforms[name] = gl.getUniformLocation(program, name);
    }
    gl.useProgram(program);
    gl.uniform1i(this.uniforms.u_y, 0);
    gl.uniform1i(this.uniforms.u_u, 1);
    gl.uniform1i(this.uniforms.u_v, 2);
    this.textures = null;
    this.textureSize = [0, 0];
    this.coefs = null;
  }

  // Three R8 textures of fixed storage, remade only when the frame size changes.
  allocate(width, height, chromaWidth, chromaHeight) {
    const gl = this.gl;
    this.releaseTextures();
    this.textures = [[width, height], [chromaWidth, chromaHeight], [chromaWidth, chromaHeight]].map(([w, h], unit) => {
      const texture = gl.createTexture();
      gl.activeTexture(gl.TEXTURE0 + unit);
      gl.bindTexture(gl.TEXTURE_2D, texture);
      gl.texStorage2D(gl.TEXTURE_2D, 1, gl.R8, w, h);
      gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, gl.NEAREST);
      gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MAG_FILTER, gl.NEAREST);
      gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_S, gl.CLAMP_TO_EDGE);
      gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_T, gl.CLAMP_TO_EDGE);
      return texture;
    });
    this.textureSize = [width, height];
  }

  draw(layout, mirror, coefs) {
    const gl = this.gl;
    if (gl.isContextLost()) return;
    const { width, height, chromaWidth, chromaHeight, buffer, view } = layout;
    if (this.textures === null || this.textureSize[0] !== width || this.textureSize[1] !== height) {
      this.allocate(width, height, chromaWidth, chromaHeight);
    }
    gl.useProgram(this.program);
    gl.pixelStorei(gl.UNPACK_ALIGNMENT, 1);
    this.upload(0, width, height, buffer.yStride, 0, view);
    this.upload(1, chromaWidth, chromaHeight, buffer.uStride, buffer.yOffset, view);
    this.upload(2, chromaWidth, chromaHeight, buffer.vStride, buffer.uOffset, view);
    gl.pixelStorei(gl.UNPACK_ROW_LENGTH, 0);
    if (this.coefs !== coefs) {
      const { matrix, offset } = SHADER_CONSTANTS.get(coefs);
      gl.uniformMatrix3fv(this.uniforms.u_matrix, false, matrix);
      gl.uniform3fv(this.uniforms.u_offset, offset);
      this.coefs = coefs;
    }
    gl.uniform2f(this.uniforms.u_frame, width, height);
    gl.uniform2f(this.uniforms.u_chromaSize, chromaWidth, chromaHeight);
    gl.uniform1i(this.uniforms.u_mirror, mirror ? 1 : 0);
    gl.viewport(0, 0, gl.drawingBufferWidth, gl.drawingBufferHeight);
    gl.bindVertexArray(this.vao);
    gl.drawArrays(gl.TRIANGLES, 0, 3);
    gl.bindVertexArray(null);
  }

  // One plane into its texture, straight from the frame's bytes: the rows are read
  // `stride` bytes apart from `offset` on.
  upload(unit, width, height, stride, offset, view) {
    const gl = this.gl;
    gl.activeTexture(gl.TEXTURE0 + unit);
    gl.bindTexture(gl.TEXTURE_2D, this.textures[unit]);
    gl.pixelStorei(gl.UNPACK_ROW_LENGTH, stride);
    gl.texSubImage2D(gl.TEXTURE_2D, 0, 0, 0, width, height, gl.RED, gl.UNSIGNED_BYTE, view, offset);
  }

  // A lost context took every object with it; a restored one starts from nothing.
  restore() {
    this.setup();
  }

  releaseTextures() {
    if (this.textures === null) return;
    for (const texture of this.textures) this.gl.deleteTexture(texture);
    this.textures = null;
    this.textureSize = [0, 0];
  }

  dispose() {
    const gl = this.gl;
    this.releaseTextures();
    gl.deleteVertexArray(this.vao);
    gl.deleteProgram(this.program);
  }
}

// --- 2D canvas ---

// Fixed-point (16 fractional bits) copies of the coefficients, for integer work per pixel.
function fixedPoint(coefs) {
  return coefs.map((c, i) => (i === 0 ? c : Math.round(c * 65536)));
}

class CanvasBackend {
  constructor(context) {
    this.context = context;
    this.name = '2d';
    this.image = null;
    this.coefs = null;
    this.fixed = null;
  }

  draw(layout, mirror, coefs) {
    const { width, height, buffer, view } = layout;
    if (this.image === null || this.image.width !== width || this.image.height !== height) {
      this.image = this.context.createImageData(width, height);
    }
    if (this.coefs !== coefs) {
      this.coefs = coefs;
      this.fixed = fixedPoint(coefs);
    }
    const [y0, ky, vr, ug, vg, ub] = this.fixed;
    const out = this.image.data;
    const { yStride, uStride, vStride, yOffset: uStart, uOffset: vStart } = buffer;
    const HALF = 32768;
    for (let row = 0; row < height; row++) {
      const yRow = row * yStride;
      const uRow = uStart + (row >> 1) * uStride;
      const vRow = vStart + (row >> 1) * vStride;
      let at = row * width * 4;
      for (let i = 0; i < width; i++) {
        const col = mirror ? width - 1 - i : i;
        const y = (view[yRow + col] - y0) * ky;
        const u = view[uRow + (col >> 1)] - 128;
        const v = view[vRow + (col >> 1)] - 128;
        // ImageData's array clamps what falls outside 0..255.
        out[at] = (y + vr * v + HALF) >> 16;
        out[at + 1] = (y - ug * u - vg * v + HALF) >> 16;
        out[at + 2] = (y + ub * u + HALF) >> 16;
        out[at + 3] = 255;
        at += 4;
      }
    }
    this.context.putImageData(this.image, 0, 0);
  }

  restore() {}

  dispose() {
    this.image = null;
  }
}

/**
 * Draws I420 frames on a canvas (an HTMLCanvasElement or an OffscreenCanvas).
 *
 * Options:
 * - `fullRange` (false): the frames use full-range YUV (0..255) rather than the
 *   limited range (Y 16..235, U and V 16..240) that cameras and decoders give;
 * - `mirror` (false): flip every frame left to right (the local camera, as in a mirror);
 * - `backend` ('auto'): 'webgl2' or '2d' to insist on one; 'auto' takes WebGL2 where
 *   the canvas gives a WebGL2 context and the 2D canvas otherwise;
 * - `resize` (true): set the canvas's width and height to each frame's size (CSS then
 *   scales the canvas on the page); false draws every frame stretched over the canvas
 *   as it is (WebGL2 only; the 2D canvas draws at the frame's size from the top left).
 */
export class I420Renderer {
  constructor(canvas, options = {}) {
    if (canvas === null || typeof canvas !== 'object' || typeof canvas.getContext !== 'function') {
      throw new TypeError('I420Renderer needs a canvas');
    }
    if (options === null || typeof options !== 'object') throw new TypeError('I420Renderer options must be an object');
    const { fullRange = false, mirror = false, backend = 'auto', resize = true } = options;
    if (!['auto', 'webgl2', '2d'].includes(backend)) {
      throw new TypeError(`backend must be 'auto', 'webgl2' or '2d', not ${String(backend)}`);
    }
    this.canvas = canvas;
    this.fullRange = Boolean(fullRange);
    this.mirror = Boolean(mirror);
    this.resize = Boolean(resize);
    this.impl = null;
    this.layout = { bytes: null, view: new Uint8Array(0), width: 0, height: 0, chromaWidth: 0, chromaHeight: 0, buffer: null };

    let gl = null;
    if (backend !== '2d') {
      gl = canvas.getContext('webgl2', { alpha: false, antialias: false, depth: false, stencil: false, premultipliedAlpha: false });
      if (gl === null && backend === 'webgl2') throw new Error('I420Renderer: this canvas gives no WebGL2 context');
    }
    if (gl !== null) {
      this.impl = new WebGLBackend(gl);
      this.onLost = (event) => event.preventDefault();   // asks the browser for a restore
      this.onRestored = () => this.impl?.restore();
      canvas.addEventListener?.('webglcontextlost', this.onLost);
      canvas.addEventListener?.('webglcontextrestored', this.onRestored);
    } else {
      const context = canvas.getContext('2d', { alpha: false });
      if (context === null) throw new Error('I420Renderer: this canvas gives neither a WebGL2 nor a 2D context');
      this.impl = new CanvasBackend(context);
    }
  }

  /** 'webgl2' or '2d': what draws the frames; null once disposed. */
  get backend() {
    return this.impl === null ? null : this.impl.name;
  }

  /**
   * Draws one frame as `getVideoFrame` fills it. Throws a TypeError or RangeError for
   * a frame whose layout does not fit its bytes, and an Error once disposed.
   */
  draw(frame) {
    if (this.impl === null) throw new Error('I420Renderer: draw after dispose');
    const layout = readLayout(frame, this.layout);
    if (this.resize) fitCanvas(this.canvas, layout.width, layout.height);
    this.impl.draw(layout, this.mirror, this.fullRange ? FULL : LIMITED);
  }

  /** Releases the textures and programs (or the image buffer); draw throws afterwards. */
  dispose() {
    if (this.impl === null) return;
    this.impl.dispose();
    if (this.onLost) {
      this.canvas.removeEventListener?.('webglcontextlost', this.onLost);
      this.canvas.removeEventListener?.('webglcontextrestored', this.onRestored);
    }
    this.impl = null;
    this.layout = null;
  }
}
