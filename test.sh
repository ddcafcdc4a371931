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
# The tests' own folders (QStandardPaths' test mode lives under HOME) belong to this run alone, so that runs
# of other checkouts on the same machine never share them.
test_home="$(mktemp -d)"
trap 'rm -rf "$test_home"' EXIT
HOME="$test_home" xvfb-run -a -s "-screen 0 1600x1000x24" ctest --output-on-failure -j "$(nproc)" "$@"
