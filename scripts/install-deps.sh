#!/usr/bin/env bash
# Installs every Debian package the build, the program and the tests need.
# Safe to run again: packages already present are skipped quickly. With --fuzz it also installs clang and its
# fuzzer and sanitizer runtime, which scripts/fuzz.sh needs (the normal build and the tests do not).
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build ccache pkg-config git
  qtbase5-dev qtbase5-dev-tools qtdeclarative5-dev qtdeclarative5-dev-tools qtquickcontrols2-5-dev
  libqt5serialport5-dev libqt5svg5-dev qttools5-dev-tools qttools5-dev
  libquazip1-qt5-dev libudev-dev udev
  libglib2.0-dev libglib2.0-bin gsettings-desktop-schemas libx11-dev libxi-dev
  qml-module-qtquick2 qml-module-qtquick-controls qml-module-qtquick-controls2
  qml-module-qtquick-dialogs qml-module-qtquick-extras qml-module-qtquick-layouts
  qml-module-qtquick-window2 qml-module-qtgraphicaleffects qml-module-qt-labs-folderlistmodel
  qml-module-qt-labs-platform qml-module-qtqml qml-module-qttest qml-module-qtquick-templates2
  qml-module-qtqml-models2
  xvfb xauth libgl1-mesa-dri
  fonts-droid-fallback breeze-icon-theme fonts-noto-cjk
)

FUZZ_PACKAGES=(clang libclang-rt-14-dev)
if [ "${1:-}" = "--fuzz" ]; then
  PACKAGES+=("${FUZZ_PACKAGES[@]}")
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The crash dump tests read our dumps with the standard minidump tools as well: the npm package "minidump"
# ships them prebuilt for linux-x64. Its install script would fetch and build sources, so it is not run.
# Kept outside the source tree; CORVANE_MINIDUMP_TOOLS names the folder to the tests when it lies elsewhere.
MINIDUMP_VERSION=0.26.0
MINIDUMP_PREFIX=/opt/corvane-tools/minidump-$MINIDUMP_VERSION
if [ "$(uname -m)" = "x86_64" ] && [ ! -x "$MINIDUMP_PREFIX/node_modules/minidump/bin/linux-x64/minidump_dump" ]; then
  if ! command -v npm >/dev/null 2>&1; then
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -qq
    $SUDO apt-get install -y -qq --no-install-recommends nodejs npm
  fi
  $SUDO mkdir -p "$MINIDUMP_PREFIX"
  $SUDO npm install --prefix "$MINIDUMP_PREFIX" --ignore-scripts --no-audit --no-fund --no-save \
    "minidump@$MINIDUMP_VERSION" >/dev/null
fi

# Device access for the user at the seat (our vendor id's hidraw nodes only).
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
rule="$here/packaging/udev/70-corvane.rules"
target=/etc/udev/rules.d/70-corvane.rules
if [ -f "$rule" ] && [ -d /etc/udev/rules.d ] && ! cmp -s "$rule" "$target"; then
  $SUDO install -m 0644 "$rule" "$target"
  if command -v udevadm >/dev/null 2>&1; then
    $SUDO udevadm control --reload-rules >/dev/null 2>&1 || true
  fi
fi
