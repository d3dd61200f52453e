'use strict';
// Where the native modules are: the package's build/Release, or BRIMO_BUILD_DIR (the
// sanitizer builds use it), and what that build is of (the simulation or a real SDK).

const fs = require('node:fs');
const path = require('node:path');

const buildDir = process.env.BRIMO_BUILD_DIR || path.join(__dirname, '..', 'build', 'Release');

/** { sdk: 'simulation' | 'parlo', sdkDir } as CMake wrote it; null before any build. */
function buildInfo() {
  try {
    return JSON.parse(fs.readFileSync(path.join(buildDir, 'brimo-build.json'), 'utf8'));
  } catch {
    return null;
  }
}

/** Loads one of the build's .node files, saying how to build it when it is not there. */
function loadNative(file) {
  const target = path.join(buildDir, file);
  if (!fs.existsSync(target)) {
    const err = new Error(`brimo: ${target} is not built: run "npm rebuild brimo" (or "npm run build" in a checkout)`);
    err.code = 'MODULE_NOT_FOUND';
    throw err;
  }
  return require(target);
}

module.exports = { buildDir, buildInfo, loadNative };
