#!/usr/bin/env bash
# Corvane's start-up and idle cost side by side with two programs a Linux user would pick instead, Piper and
# Solaar (installed from Debian when missing), under one virtual X server, the three taking turns in every round:
#   - first window: from the start of the process to the first map of a top-level window (an X event watcher on
#     the root window, the same for all three),
#   - resident memory 2 s after that window (VmRSS),
#   - idle wake-ups per second: context switches of all the program's threads over an idle time after it has
#     settled, with the CPU time it used meanwhile.
# Corvane is the Release build in its own build folder, started on the simulated keyboard; the peers find no
# device. Prints each round, the medians and the ratios Corvane/peer. Every process it starts is ended.
#
# Settings (environment): ROUNDS (5), SETTLE_SECONDS (10, after the memory reading), IDLE_SECONDS (30),
# CORVANE_RELEASE_DIR (build-release), CORVANE_JOBS (build jobs).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
rounds="${ROUNDS:-5}"
settle="${SETTLE_SECONDS:-10}"
idle="${IDLE_SECONDS:-30}"
build="${CORVANE_RELEASE_DIR:-$here/build-release}"

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

# --- what it needs -------------------------------------------------------------------------------------------
missing=()
command -v piper >/dev/null || missing+=(piper)
command -v solaar >/dev/null || missing+=(solaar)
command -v xev >/dev/null || missing+=(x11-utils)
command -v Xvfb >/dev/null || missing+=(xvfb)
command -v dbus-daemon >/dev/null || missing+=(dbus)
if [ ${#missing[@]} -gt 0 ]; then
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
fi
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build" -j "${CORVANE_JOBS:-$(nproc)}" --target Corvane >/dev/null

# --- one X server, one session bus, a home for each program ----------------------------------------------------
work="$(mktemp -d)"
# Every process started, each the leader of its own process group; kept in a file, as measurements run in
# subshells.
started() { echo "$1" >>"$work/pids"; }
cleanup() {
  local pid
  if [ -f "$work/pids" ]; then
    while read -r pid; do
      kill -- "-$pid" 2>/dev/null || kill "$pid" 2>/dev/null || true
    done <"$work/pids"
    while read -r pid; do
      for _ in $(seq 50); do
        [ "$(awk '{ print $3 }' "/proc/$pid/stat" 2>/dev/null || echo gone)" != gone ] || break
        [ "$(awk '{ print $3 }' "/proc/$pid/stat" 2>/dev/null)" != Z ] || break
        sleep 0.1
      done
      kill -9 -- "-$pid" 2>/dev/null || true
    done <"$work/pids"
    wait 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

exec 3>"$work/display"
setsid Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
started $!
exec 3>&-
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
setsid dbus-daemon --session --nofork --address="unix:path=$work/bus" >/dev/null 2>&1 &
started $!
for _ in $(seq 100); do [ -S "$work/bus" ] && break; sleep 0.1; done
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/bus"

# Top-level windows mapped, one line each with the time it was seen (microseconds).
setsid bash -c 'xev -root -event substructure | while IFS= read -r line; do
  case "$line" in MapNotify*) echo "${EPOCHREALTIME/./}";; esac; done' >"$work/maps" 2>/dev/null &
started $!
sleep 1

now_us() { echo "${EPOCHREALTIME/./}"; }
maps_seen() { wc -l <"$work/maps"; }

# Context switches of all the process's threads so far, by thread id ("tid count" lines).
switches() {
  local task
  for task in /proc/"$1"/task/*; do
    awk -v t="${task##*/}" '/^(non)?voluntary_ctxt_switches/ { n += $2 } END { print t, n }' "$task/status" 2>/dev/null
  done
}
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo 0; }
rss_mb() { awk '/^VmRSS/ { printf "%.1f", $2 / 1024 }' "/proc/$1/status"; }

# One start of one program: "first-window-ms rss-mb wakeups-per-s cpu-ms-per-s", or "failed".
measure() {
  local name="$1"; shift
  local home="$work/home-$name"
  mkdir -p "$home/tmp" "$home/run"
  chmod 700 "$home/run"
  local before start pid
  before="$(maps_seen)"
  start="$(now_us)"
  setsid env HOME="$home" TMPDIR="$home/tmp" XDG_RUNTIME_DIR="$home/run" XDG_CONFIG_HOME="$home/.config" \
    XDG_DATA_HOME="$home/.local/share" XDG_CACHE_HOME="$home/.cache" "$@" >"$work/$name.log" 2>&1 &
  pid=$!
  started "$pid"
  local shown=""
  for _ in $(seq 3000); do
    if [ "$(maps_seen)" -gt "$before" ]; then
      shown="$(sed -n "$((before + 1))p" "$work/maps")"
      break
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.01
  done
  if [ -z "$shown" ]; then
    kill -- "-$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    echo failed
    return
  fi
  sleep 2
  local rss ticks0 ticks1 a b
  rss="$(rss_mb "$pid")"
  sleep "$settle"
  a="$(switches "$pid")"
  ticks0="$(cpu_ticks "$pid")"
  sleep "$idle"
  b="$(switches "$pid")"
  ticks1="$(cpu_ticks "$pid")"
  kill -- "-$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  local woken
  woken="$(join <(sort <<<"$a") <(sort <<<"$b") | awk '{ n += $3 - $2 } END { print n + 0 }')"
  awk -v s="$start" -v m="$shown" -v r="$rss" -v w="$woken" -v i="$idle" -v c="$((ticks1 - ticks0))" \
    -v hz="$(getconf CLK_TCK)" 'BEGIN { printf "%.0f %s %.2f %.1f\n", (m - s) / 1000, r, w / i, c * 1000 / hz / i }'
}

run_corvane() { measure corvane env CORVANE_SIMULATE=ZEPHRA "$build/Corvane"; }
run_piper() { measure piper piper; }
run_solaar() { measure solaar solaar --window=show; }

programs=(corvane piper solaar)
echo "display $DISPLAY, $rounds rounds, idle time ${idle} s after ${settle} s settling; Corvane: $build/Corvane"
# A start of each first, unmeasured: the files every program reads are then cached alike.
for program in "${programs[@]}"; do
  SETTLE_SECONDS=0 IDLE_SECONDS=1 settle=0 idle=1 "run_$program" >/dev/null
done
printf '%-6s %-8s %12s %10s %12s %12s\n' round program "window ms" "RSS MB" "wakeups/s" "CPU ms/s"
for round in $(seq "$rounds"); do
  for program in "${programs[@]}"; do
    result="$("run_$program")"
    echo "$program $result" >>"$work/results"
    # shellcheck disable=SC2086
    printf '%-6s %-8s %12s %10s %12s %12s\n' "$round" "$program" $result
  done
done

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR == 0) print "nan"; else if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
column_of() { awk -v p="$1" -v c="$2" '$1 == p && $2 != "failed" { print $c }' "$work/results" | median; }
echo
echo "medians:"
printf '%-8s %12s %10s %12s %12s\n' program "window ms" "RSS MB" "wakeups/s" "CPU ms/s"
for program in "${programs[@]}"; do
  printf '%-8s %12s %10s %12s %12s\n' "$program" "$(column_of "$program" 2)" "$(column_of "$program" 3)" \
    "$(column_of "$program" 4)" "$(column_of "$program" 5)"
done
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b + 0 == 0) print (a + 0 == 0 ? "1 (both 0)" : "inf (peer 0)"); else printf "%.2f\n", a / b }'; }
echo
echo "Corvane/peer (medians):"
for peer in piper solaar; do
  echo "  $peer: first window $(ratio "$(column_of corvane 2)" "$(column_of "$peer" 2)")," \
    "RSS $(ratio "$(column_of corvane 3)" "$(column_of "$peer" 3)")," \
    "idle wake-ups $(ratio "$(column_of corvane 4)" "$(column_of "$peer" 4)")"
done
