#!/usr/bin/env bash
# Installs what is missing, checks the include layers, builds, and runs the whole suite (QML tests under a
# virtual X server).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$here/scripts/install-deps.sh"
"$here/scripts/check-layers.sh"
"$here/scripts/build.sh"
cd "${CORVANE_BUILD_DIR:-$here/build}"
export CORVANE_TEST=1
# Each test program has a home folder of its own below the build folder (QStandardPaths' test mode lives
# under HOME, see CMakeLists.txt), so neither programs of this run nor runs of other checkouts share them; every
# run starts them afresh.
rm -rf test-home
xvfb-run -a -s "-screen 0 1600x1000x24" ctest --output-on-failure -j "${CORVANE_JOBS:-$(nproc)}" "$@"
