#!/usr/bin/env bash
# Builds everything with a sanitizer in its own build folder and runs the suite under it.
#
#   scripts/sanitize.sh thread|address [ctest arguments]     e.g. scripts/sanitize.sh thread -R devices/keyboard
#
# thread: ThreadSanitizer (build-tsan/); address: AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/).
# Qt's own libraries are not instrumented: ThreadSanitizer does not see QMutex (locked inside Qt's library) nor
# the ordering of queued signals, so it reports accesses guarded by them as races. Its reports are leads to
# read, not failures to fix as they stand; the tests' own checks still count.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
kind="${1:-}"
case "$kind" in
  thread) build="${CORVANE_SANITIZE_BUILD_DIR:-$here/build-tsan}" ;;
  address) build="${CORVANE_SANITIZE_BUILD_DIR:-$here/build-asan}" ;;
  *) echo "sanitize.sh: the first argument is thread or address, not '$kind'" >&2; exit 2 ;;
esac
shift

"$here/scripts/install-deps.sh"
# The sanitizers' options hold for the build too: programs built with them run during the build (the picture
# generator), and LeakSanitizer would fail the build on what Qt leaves allocated at exit.
export TSAN_OPTIONS="${TSAN_OPTIONS:-halt_on_error=0 second_deadlock_stack=1}"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1 halt_on_error=1}"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_SANITIZE="$kind"
fi
cmake --build "$build" -j "$(nproc)"
cd "$build"
export CORVANE_TEST=1
xvfb-run -a -s "-screen 0 1600x1000x24" ctest --output-on-failure -j "$(nproc)" "$@"
