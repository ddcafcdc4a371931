#!/usr/bin/env bash
# Builds everything with a sanitizer in its own build folder and runs the suite under it.
#
#   scripts/sanitize.sh thread|address [ctest arguments]     e.g. scripts/sanitize.sh thread -R 'devices|profiles'
#
# thread: ThreadSanitizer (build-tsan/); address: AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer
# (build-asan/). CORVANE_JOBS sets the number of build and test jobs (default: every core).
#
# Qt and the system libraries are not instrumented. What they allocate once and keep until exit (fonts, GL, the X
# connection, the QML engine's caches) and what ThreadSanitizer cannot see through Qt's own locks is listed, each
# entry with its reason, in scripts/sanitizers/lsan.supp and scripts/sanitizers/tsan.supp. Nothing of ours belongs
# there: a report that names only our code is a fault to fix.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
kind="${1:-}"
case "$kind" in
  thread) build="${CORVANE_SANITIZE_BUILD_DIR:-$here/build-tsan}" ;;
  address) build="${CORVANE_SANITIZE_BUILD_DIR:-$here/build-asan}" ;;
  *) echo "sanitize.sh: the first argument is thread or address, not '$kind'" >&2; exit 2 ;;
esac
shift
jobs="${CORVANE_JOBS:-$(nproc)}"
supp="$here/scripts/sanitizers"

"$here/scripts/install-deps.sh"
# Programs built with the sanitizer run during the build too (the picture generator); they are tools, not tests,
# so the build runs them without leak detection.
# ThreadSanitizer: what Qt's uninstrumented code does through the C library (its copies, allocations and frees of
# its own data) is not checked (ignore_noninstrumented_modules), and atomics count as sequentially consistent
# (force_seq_cst_atomics): Qt's implicit sharing decides from a relaxed read of the reference count that a copy
# handed over under a lock is no longer shared; our own code uses only sequentially consistent atomics.
export TSAN_OPTIONS="${TSAN_OPTIONS:-halt_on_error=0 second_deadlock_stack=1 ignore_noninstrumented_modules=1 force_seq_cst_atomics=1 suppressions=$supp/tsan.supp}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1 halt_on_error=1}"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_SANITIZE="$kind"
fi
ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}" cmake --build "$build" -j "$jobs"

# The suite runs with leak detection on; LSAN_OPTIONS names the suppressions of Qt's and the system's own.
# Allocation stacks are taken by the fast (frame-pointer) unwinder: the libraries are built without frame
# pointers, so a stack reliably holds only the allocating function, and the suppressions name libraries or the
# functions that allocate for them. (The whole-stack unwinder made the window tests run many times slower.)
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1 fast_unwind_on_malloc=1 malloc_context_size=20}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$supp/lsan.supp print_suppressions=0}"
cd "$build"
export CORVANE_TEST=1
rm -rf test-home
xvfb-run -a -s "-screen 0 1600x1000x24" ctest --output-on-failure -j "$jobs" "$@"
