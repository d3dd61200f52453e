'use strict';
// The package's install step: builds what an installed brimo loads, in the package's
// own build/ folder: brimo.node, and with it the simulated SDK (libparlo) and its
// control module (parlo_sim.node), or, when PARLO_SDK_DIR names a real parlo SDK,
// brimo.node against that SDK with its library copied beside it. The unit tests are
// not part of a package. Everything it needs comes from npm (cmake-js, node-addon-api,
// node-api-headers) but CMake, a C++17 compiler and, for the simulation, nlohmann-json.
//
// Node-API makes the result serve every Node.js from 14 on and Electron alike; to
// build for an Electron runtime explicitly, run cmake-js yourself (see the README).

const { spawnSync } = require('node:child_process');
const os = require('node:os');
const path = require('node:path');

const root = path.join(__dirname, '..');

function missingTools() {
  const found = (command) => spawnSync(command, ['--version'], { stdio: 'ignore' }).status === 0;
  const compiler = process.platform === 'win32' || found('c++') || found('g++') || found('clang++');
  return [!found('cmake') && 'CMake (3.15 or newer)', !compiler && 'a C++17 compiler'].filter(Boolean);
}

function main() {
  const missing = missingTools();
  if (missing.length > 0) {
    console.error(`brimo: building the native module needs ${missing.join(' and ')}.`);
    console.error('  Debian/Ubuntu: apt-get install cmake g++ make nlohmann-json3-dev');
    return 1;
  }
  const jobs = typeof os.availableParallelism === 'function' ? os.availableParallelism() : os.cpus().length;
  const cmakeJs = require.resolve('cmake-js/bin/cmake-js');
  // Configured every time (a build alone keeps an existing folder's settings), and the
  // SDK stated every time, so that a rebuild without PARLO_SDK_DIR is the simulation's again.
  const sdk = process.env.PARLO_SDK_DIR ? path.resolve(process.env.PARLO_SDK_DIR) : '';
  const steps = [
    ['configure', '--log-level', 'warn', `--CDPARLO_SDK_DIR=${sdk}`],
    ['build', '--log-level', 'warn', '--parallel', String(jobs)],
  ];
  for (const step of steps) {
    const run = spawnSync(process.execPath, [cmakeJs, ...step], { cwd: root, stdio: 'inherit' });
    if (run.error) {
      console.error(`brimo: cannot run cmake-js: ${run.error.message}`);
      return 1;
    }
    if (run.status !== 0) {
      console.error('brimo: the build failed. The simulated SDK needs nlohmann-json (Debian: nlohmann-json3-dev);');
      console.error('  PARLO_SDK_DIR=<sdk> builds against a real parlo SDK instead.');
      return run.status === null ? 1 : run.status;
    }
  }
  return 0;
}

process.exitCode = main();
