#!/usr/bin/env bash
# Runs the whole suite (./test.sh) RUNS times (default 3) beside a CPU load of twice the machine's cores
# (stress-ng, installed when missing), then lists every test that failed in any run, with the number of runs it
# failed in and the test functions that failed. Exits 1 when any test failed, 2 on a wrong argument.
#
#   scripts/stress-suite.sh [runs]
#
# CORVANE_JOBS sets the suite's parallel jobs as for ./test.sh. The logs of the runs stay in
# build/stress/run-N.log. The load runs in a process group of its own and is stopped on every exit (end, error,
# Ctrl-C, kill); as a last guard it also ends by itself after 90 minutes a run.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runs="${1:-3}"
if ! [[ "$runs" =~ ^[0-9]+$ ]] || [ "$runs" -lt 1 ]; then
  echo "usage: scripts/stress-suite.sh [runs]   (runs: a whole number of at least 1, default 3)" >&2
  exit 2
fi

if ! command -v stress-ng >/dev/null 2>&1; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends stress-ng
fi

# Installed and built before the load starts (test.sh does both again, quickly, before each run).
"$here/scripts/install-deps.sh"
"$here/scripts/build.sh"
build="${CORVANE_BUILD_DIR:-$here/build}"
logs="$build/stress"
rm -rf "$logs"
mkdir -p "$logs"

# The load and each run of the suite run in process groups of their own, so that stopping one ends everything it
# started.
stop_group() {
  local leader="$1"
  kill -TERM -- "-$leader" 2>/dev/null || true
  for _ in $(seq 50); do
    kill -0 -- "-$leader" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL -- "-$leader" 2>/dev/null || true
  wait "$leader" 2>/dev/null || true
}
load_pid=""
suite_pid=""
stop_all() {
  if [ -n "$suite_pid" ]; then stop_group "$suite_pid"; suite_pid=""; fi
  if [ -n "$load_pid" ]; then stop_group "$load_pid"; load_pid=""; fi
}
trap stop_all EXIT
trap 'stop_all; exit 130' INT
trap 'stop_all; exit 143' TERM

workers=$((2 * $(nproc)))
# setsid makes stress-ng the leader of a new process group (a script's background job is no group leader, so
# setsid runs it in place and $! is that leader); the suite's runs below are started the same way.
setsid stress-ng --cpu "$workers" --timeout "$((runs * 5400))s" --quiet </dev/null >/dev/null 2>&1 &
load_pid=$!
sleep 1
if ! kill -0 "$load_pid" 2>/dev/null; then
  echo "stress-suite: stress-ng did not start" >&2
  exit 1
fi
echo "stress-suite: $workers CPU workers running beside $runs run(s) of the suite"

declare -A failedRuns=()
declare -A failedFunctions=()
for run in $(seq "$runs"); do
  log="$logs/run-$run.log"
  rm -f "$build/Testing/Temporary/LastTestsFailed.log"
  start=$(date +%s)
  status=0
  setsid "$here/test.sh" </dev/null >"$log" 2>&1 &
  suite_pid=$!
  wait "$suite_pid" || status=$?
  suite_pid=""
  took=$(($(date +%s) - start))
  failed=()
  if [ -f "$build/Testing/Temporary/LastTestsFailed.log" ]; then
    # Lines "number:name".
    mapfile -t failed < <(cut -d: -f2- "$build/Testing/Temporary/LastTestsFailed.log")
  fi
  if [ "$status" -ne 0 ] && [ ${#failed[@]} -eq 0 ]; then
    failed=("(the run itself, see $log)")
  fi
  echo "run $run: ${#failed[@]} failed test(s), exit $status, ${took}s, log $log"
  for t in "${failed[@]}"; do
    failedRuns["$t"]=$((${failedRuns["$t"]:-0} + 1))
  done
  # The Qt Test lines of the failing functions, e.g. "FAIL!  : TestX::y(row) ...".
  while IFS= read -r line; do
    program="${line#*FAIL!  : }"
    program="${program%%::*}"
    failedFunctions["$program"]+="    run $run: ${line#*FAIL!  : }"$'\n'
  done < <(grep -a "FAIL!  :" "$log" || true)
done

stop_all
if [ ${#failedRuns[@]} -eq 0 ]; then
  echo "stress-suite: no test failed in $runs run(s)"
  exit 0
fi
echo "stress-suite: tests that failed (runs failed of $runs):"
while IFS= read -r t; do
  echo "  $t: ${failedRuns[$t]}/$runs"
done < <(printf '%s\n' "${!failedRuns[@]}" | sort)
if [ ${#failedFunctions[@]} -gt 0 ]; then
  echo "stress-suite: failing functions:"
  while IFS= read -r p; do
    printf '%s' "${failedFunctions[$p]}"
  done < <(printf '%s\n' "${!failedFunctions[@]}" | sort)
fi
exit 1
