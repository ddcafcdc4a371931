#!/usr/bin/env bash
# Checks that includes between the source folders point down the layers. Every quoted include of a file
# under src/, lib/ or tools/ is resolved to the folder (layer) it names; an include of a layer that the
# including layer may not use is printed, one line each, and the script fails.
#
#   scripts/check-layers.sh [root]     (root: the source tree, default the tree this script belongs to)
#
# Layers, lowest first. A layer may include itself and the layers listed for it, nothing else.
set -euo pipefail
root="${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
cd "$root"

declare -A allowed=(
  [common]=""
  [platform]="common"
  # The bootloader and DFU pieces that the firmware library and the program share (protocol codecs, the
  # DFU tool's output, the port search); the emulators decode the same wire layouts.
  [firmware]="hid/khid platform common"
  [sim]="platform common firmware"
  [hid/khid]="platform common"
  [hid]="hid/khid platform common"
  # The models drive the device through the core. The profile documents hold the key and macro values of
  # the models, and the macro files of the models are filed through the profile file helpers: the two
  # folders form one layer. The profile controller runs its routines on the device through the core, as the
  # models do.
  [models]="hid hid/khid platform common profiles"
  [profiles]="hid hid/khid platform common models"
  # The cloud backup and restore pack and unpack the profile and macro folders, reload their models and
  # apply the restored profile through the profile controller on an executor of their own.
  [online]="hid hid/khid platform common profiles models"
  [devices]="hid hid/khid platform common models profiles"
  [update]="hid hid/khid platform common profiles models online firmware"
  # The library plugs the emulators of the flashing devices onto its own simulated bus when asked
  # (CORVANE_SIMULATE), as the program does.
  [lib/fwupdate]="hid/khid platform common firmware sim"
  [tools/fwupdate]="lib/fwupdate hid/khid platform common profiles online firmware"
  [app]="*"
)

# Single files a layer may include beyond its layers: the device interface carries the models' item types,
# the device controller names a new device's default profile as the profile files do (one spelling), and the
# firmware library shares the program's translator, the update program the program's log file handler and
# the update protocol.
declare -A allowed_files=(
  [hid]="profiles/ProfileNames.h models/device/FKeyLightModelItem.h models/keys/KKey.h models/keys/KKeyModelItem.h models/keys/KMacroItem.h models/keys/MacroPlayType.h"
  [lib/fwupdate]="app/Trans.h"
  [tools/fwupdate]="app/LogHandler.h update/UpdateProtocol.h"
)

# The layer of a path below the root: src/hid/khid and the firmware library and tool by their two-level
# folder, every other source folder by its first level under src/.
layer_of() {
  case "$1" in
    src/hid/khid/*) echo "hid/khid" ;;
    src/*/*) local rest="${1#src/}"; echo "${rest%%/*}" ;;
    lib/fwupdate/*) echo "lib/fwupdate" ;;
    tools/fwupdate/*) echo "tools/fwupdate" ;;
    *) echo "" ;;
  esac
}

# The file an include names, as a path below the root; empty when it is none of ours (Qt, system).
resolve() {
  local from_dir="$1" name="$2"
  if [ -f "$from_dir/$name" ]; then echo "$from_dir/$name"; return; fi
  local base
  for base in src lib/fwupdate; do
    if [ -f "$base/$name" ]; then echo "$base/$name"; return; fi
  done
  case "$name" in */*) local top="${name%%/*}"; [ -d "src/$top" ] && echo "src/$name" ;; esac
  return 0
}

failures=0
while IFS= read -r file; do
  from="$(layer_of "$file")"
  [ -n "$from" ] || continue
  if [ -z "${allowed[$from]+set}" ]; then
    echo "check-layers: $file: the folder '$from' has no entry in scripts/check-layers.sh"
    failures=$((failures + 1))
    continue
  fi
  [ "${allowed[$from]}" = "*" ] && continue
  while IFS=: read -r line text; do
    name="$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]*)".*/\1/' <<<"$text")"
    target="$(resolve "$(dirname "$file")" "$name")"
    [ -n "$target" ] || continue
    to="$(layer_of "$target")"
    [ -n "$to" ] && [ "$to" != "$from" ] || continue
    case " ${allowed[$from]} " in *" $to "*) continue ;; esac
    case " ${allowed_files[$from]:-} " in *" ${target#src/} "*) continue ;; esac
    echo "check-layers: $file:$line: $from may not include $name ($to); $from may include: ${allowed[$from]:-nothing of ours}"
    failures=$((failures + 1))
  done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" || true)
done < <(find src lib tools -type f \( -name '*.h' -o -name '*.cpp' \) 2>/dev/null | sort)

if [ "$failures" -gt 0 ]; then
  echo "check-layers: $failures forbidden include(s)"
  exit 1
fi
echo "check-layers: every include points down"
