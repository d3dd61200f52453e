#!/usr/bin/env bash
# The package as an application receives it: packs it, checks what the tarball holds,
# installs it in a new application offline with an empty npm cache (the build tools
# are bundled) and loads every entry point there, CommonJS and ES modules; then the
# same after a clean reinstall from the application's lockfile (npm ci).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tarball="$work/$(npm pack --silent --pack-destination "$work" | tail -n 1)"

tar -tzf "$tarball" | sed 's|^package/||' | sort > "$work/contents"
for needed in package.json index.js index.mjs index.d.ts lib/build.js lib/api.js lib/promises.js lib/events.js \
  sim/index.js sim/index.mjs renderer/index.mjs renderer/index.cjs renderer/index.d.ts CMakeLists.txt scripts/install.js LICENSE README.md CHANGELOG.md src/core/module.cc \
  sim/src/engine.cc sim/addon/control.cc; do
  grep -qx "$needed" "$work/contents" || { echo "package lacks $needed" >&2; exit 1; }
done
if grep -E '^(test|build|bench|examples|docs|\.ci)/|^node_modules/(typescript|typedoc|pngjs|@types)/' "$work/contents"; then
  echo "package holds files it does not need (above)" >&2
  exit 1
fi
for bundled in cmake-js node-addon-api node-api-headers; do
  grep -qx "node_modules/$bundled/package.json" "$work/contents" || { echo "package lacks its bundled $bundled" >&2; exit 1; }
done

app="$work/app"
mkdir "$app"
# Nothing from npm's cache or the network: what the install needs is in the tarball.
export npm_config_cache="$work/npm-cache"
cd "$app"
npm init -y >/dev/null

check() {
  node -e "
    const assert = require('node:assert/strict');
    const brimo = require('brimo');
    const sim = require('brimo/sim');
    assert.equal(Object.keys(brimo).length, 16);
    sim.reset();
    new brimo.IQVParloWrap().getAuthService().login('ann', 'token', () => {});
    assert.deepEqual(sim.journal('login').map((e) => e.args), [['ann', 'token']]);
    require('brimo/promises');
    require('brimo/events');
    assert.equal(typeof require('brimo/renderer').I420Renderer, 'function');
  "
  node --input-type=module -e "
    import { IQVParloWrap } from 'brimo';
    import sim, { journal } from 'brimo/sim';
    import { promised } from 'brimo/promises';
    import { listen } from 'brimo/events';
    import { I420Renderer } from 'brimo/renderer';
    if (typeof I420Renderer !== 'function') throw new Error('brimo/renderer has no I420Renderer');
    sim.reset();
    await promised(new IQVParloWrap().getAuthService()).logout();
    if (journal('logout').length !== 1) throw new Error('logout did not reach the SDK');
  "
  if [ -e node_modules/brimo/build/Release/brimo_unit_tests ]; then
    echo "the install built the unit tests" >&2
    exit 1
  fi
  echo "package check: $1: brimo, brimo/sim, brimo/promises, brimo/events and brimo/renderer load and work"
}

npm install --offline --no-audit --no-fund "$tarball"
check "npm install"
npm ci --offline --no-audit --no-fund
check "npm ci"
