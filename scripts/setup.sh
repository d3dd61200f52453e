#!/usr/bin/env bash
# Installs what npm cannot, from Debian's packages and only when something is missing:
# CMake, a C++17 compiler and nlohmann-json; where the tests are, GoogleTest (unit
# tests) and Chromium (browser tests). Then the npm packages: from the lockfile when
# there is one. The package's own install step is skipped: the build that follows is
# the checkout's.
set -euo pipefail
cd "$(dirname "$0")/.."

missing=()
command -v cmake >/dev/null 2>&1 || missing+=(cmake)
command -v g++ >/dev/null 2>&1 || missing+=(g++)
command -v make >/dev/null 2>&1 || missing+=(make)
[ -f /usr/include/nlohmann/json.hpp ] || missing+=(nlohmann-json3-dev)
if [ -d test/unit ]; then
  [ -f /usr/include/gtest/gtest.h ] || missing+=(libgtest-dev)
fi
if [ -d test ]; then
  # The renderer's browser tests and the viewer's test drive Debian's Chromium.
  [ -x /usr/bin/chromium ] || missing+=(chromium)
fi

if [ ${#missing[@]} -gt 0 ]; then
  cmd="apt-get update && apt-get install -y ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "brimo needs system packages that are missing. Run as root:" >&2
    echo "  $cmd" >&2
    exit 1
  fi
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}"
fi

if [ -f package-lock.json ]; then
  if [ ! -x node_modules/.bin/cmake-js ] || [ package-lock.json -nt node_modules/.package-lock.json ]; then
    npm ci --ignore-scripts --no-audit --no-fund
  fi
elif [ ! -x node_modules/.bin/cmake-js ]; then
  npm install --ignore-scripts --no-audit --no-fund
fi

# brimo/renderer's CommonJS form, made from its ES module source.
node scripts/renderer-cjs.js
