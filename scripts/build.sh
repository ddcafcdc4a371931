#!/usr/bin/env bash
# Configures (once) and builds the whole tree in ./build (CORVANE_BUILD_DIR), with CORVANE_JOBS jobs (default: every core).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${CORVANE_BUILD_DIR:-$here/build}"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${CMAKE_BUILD_TYPE:-Debug}"
fi
cmake --build "$build" -j "${CORVANE_JOBS:-$(nproc)}"
