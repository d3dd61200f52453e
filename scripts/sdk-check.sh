#!/usr/bin/env bash
# brimo.node built against a parlo SDK laid out as one is shipped (include/, lib/), made
# here from the simulated SDK's library and the SDK declarations: the module builds,
# carries the SDK's library beside itself and loads it, no simulation is built, and
# brimo/sim says so.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
npx cmake-js build --parallel 2 --log-level warn

sdk=$(mktemp -d)
trap 'rm -rf "$sdk"' EXIT
mkdir -p "$sdk/lib" "$sdk/include"
cp build/Release/libparlo.so "$sdk/lib/"
cp -r src/sdk "$sdk/include/sdk"

# cmake-js build alone keeps an existing folder's settings: configure states them.
npx cmake-js configure --out build-sdk --CDPARLO_SDK_DIR="$sdk" --CDBRIMO_UNIT_TESTS=OFF --log-level warn
npx cmake-js build --out build-sdk --parallel 2 --log-level warn
out="$PWD/build-sdk/Release"
[ -f "$out/brimo.node" ] && [ -f "$out/libparlo.so" ] || { echo "brimo.node or the SDK's library is missing" >&2; exit 1; }
[ ! -e "$out/parlo_sim.node" ] || { echo "the simulation's control module was built" >&2; exit 1; }
# The module finds the SDK's library beside itself, wherever the folder goes.
[ "$(readelf -d "$out/brimo.node" | sed -n 's/.*R\(UN\)\?PATH.*\[\(.*\)\]/\2/p')" = '$ORIGIN' ] || {
  echo "brimo.node looks for its libraries elsewhere than beside itself" >&2; exit 1; }

BRIMO_BUILD_DIR="$out" PARLO_SDK_DIR="$sdk" node -e "
  const assert = require('node:assert/strict');
  const brimo = require('.');
  assert.equal(Object.keys(brimo).length, 16);
  const versions = new brimo.IQVParloWrap().getSdkVersions();
  assert.equal(typeof versions.parloVersion, 'string');
  const sdk = process.env.PARLO_SDK_DIR;
  assert.throws(() => require('./sim'), (err) =>
    err.message === 'brimo/sim: the simulated parlo SDK is not built: this brimo is built against the parlo SDK in ' + sdk);
  console.log('sdk check: brimo.node runs against the SDK in ' + sdk + '; brimo/sim says the simulation is not built');
"
