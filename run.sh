#!/usr/bin/env bash
# Installs what is missing, builds, and starts Corvane. Arguments are passed on to the program,
# e.g. ./run.sh -log. CORVANE_SIMULATE=ZEPHRA ./run.sh starts it with a simulated keyboard.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$here/scripts/install-deps.sh"
"$here/scripts/build.sh"
exec "${CORVANE_BUILD_DIR:-$here/build}/Corvane" "$@"
