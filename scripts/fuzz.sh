#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz with clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer
# in build-fuzz/, then runs each target for the given time, starting from its seed corpus.
#
#   scripts/fuzz.sh [seconds per target (default 60)] [target ...]     e.g. scripts/fuzz.sh 300 profile
#
# New inputs that widen coverage are kept in build-fuzz/corpus/<target>/; an input that crashes a target or
# breaks one of its checks is written to build-fuzz/crashes/ and the script ends with a failure.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-60}"
[ $# -gt 0 ] && shift
case "$seconds" in
  ''|*[!0-9]*) echo "fuzz.sh: the time per target is a whole number of seconds, not '$seconds'" >&2; exit 2 ;;
esac

"$here/scripts/install-deps.sh" --fuzz

build="${CORVANE_FUZZ_BUILD_DIR:-$here/build-fuzz}"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DCORVANE_FUZZ=ON
fi

targets=()
if [ $# -gt 0 ]; then
  for name in "$@"; do targets+=("${name#fuzz_}"); done
else
  for source in "$here"/tests/fuzz/fuzz_*.cpp; do
    name="$(basename "$source" .cpp)"
    targets+=("${name#fuzz_}")
  done
fi
for name in "${targets[@]}"; do
  if [ ! -f "$here/tests/fuzz/fuzz_$name.cpp" ]; then
    echo "fuzz.sh: no fuzz target '$name' (tests/fuzz/fuzz_$name.cpp)" >&2
    exit 2
  fi
done

cmake --build "$build" --target "${targets[@]/#/fuzz_}"

mkdir -p "$build/crashes"
failed=()
for name in "${targets[@]}"; do
  mkdir -p "$build/corpus/$name"
  echo "== fuzz_$name for ${seconds}s"
  # Leaks are not looked for: the Qt libraries are not instrumented and keep caches for the whole process.
  if ! ASAN_OPTIONS="detect_leaks=0:abort_on_error=1" UBSAN_OPTIONS="print_stacktrace=1" \
      "$build/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="$build/crashes/$name-" "$build/corpus/$name" "$here/tests/fuzz/corpus/$name"; then
    failed+=("$name")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz.sh: failing targets: ${failed[*]} (inputs in $build/crashes/)" >&2
  exit 1
fi
echo "fuzz.sh: ${#targets[@]} target(s) ran ${seconds}s each without a finding"
