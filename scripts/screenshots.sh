#!/usr/bin/env bash
# Saves a picture of every page of Corvane, in English and in Chinese, for each simulated device set below,
# into build/screens/ (CORVANE_SCREENS_DIR): one PNG per page, dialog and popup. It is for reviewing a change to
# what the window shows, not a test. Runs under a virtual X server with a fresh home folder per run.
#
#   scripts/screenshots.sh              every device set
#   scripts/screenshots.sh mouse-edris  only the sets named (see SETS)
#   CORVANE_SCREENS_SCALE=1.5 scripts/screenshots.sh   at an interface scale, as "-scale1.5" gives it
#
# Builds the tour program first unless CORVANE_SCREENS_NOBUILD is set.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${CORVANE_BUILD_DIR:-$here/build}"
screens="${CORVANE_SCREENS_DIR:-$build/screens}"

# name  CORVANE_SIMULATE  extra tour switches
SETS=(
  "keyboard ZEPHRA --popups"
  "keyboard-rgb QUENBYRGB"
  "mouse-register ABBERLY"
  "mouse-register-wireless JARROW_NORDIC_WIRELESS"
  "mouse-twopage ULVERD"
  "mouse-twocollection EDRIS"
  "mouse-featurereport DUNMOR"
  "two-devices ZEPHRA,ABBERLY"
  "keyboard-wireless-only ZEPHRA_WIRELESS"
)

if [ -z "${CORVANE_SCREENS_NOBUILD:-}" ]; then
  "$here/scripts/install-deps.sh"
  if [ ! -f "$build/build.ninja" ]; then
    "$here/scripts/build.sh"
  fi
  cmake --build "$build" -j "${CORVANE_JOBS:-$(nproc)}" --target corvane_screens
fi

mkdir -p "$screens"
failed=0
for row in "${SETS[@]}"; do
  read -r name devices switches <<<"$row"
  if [ $# -gt 0 ]; then
    wanted=0
    for choice in "$@"; do [ "$choice" = "$name" ] && wanted=1; done
    [ $wanted = 1 ] || continue
  fi
  rm -f "$screens/${name}"_*.png
  for language in en zh; do
    home="$(mktemp -d)"
    # A fresh home: the settings, profiles and macros of this run only. CORVANE_TEST sets the device waits to
    # zero, so the tour does not wait for the protocol.
    if ! env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CACHE_HOME HOME="$home" CORVANE_TEST=1 \
        CORVANE_SIMULATE="$devices" QT_QUICK_BACKEND="${QT_QUICK_BACKEND:-software}" \
        xvfb-run -a -s "-screen 0 1600x1000x24" \
        "$build/corvane_screens" "$screens" "$name" --language "$language" ${switches:-} \
        ${CORVANE_SCREENS_SCALE:+--scale "$CORVANE_SCREENS_SCALE"}; then
      echo "screenshots: the tour of $name ($language) missed some steps" >&2
      failed=1
    fi
    rm -rf "$home"
  done
done
echo "screenshots in $screens"
exit $failed
