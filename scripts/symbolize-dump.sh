#!/usr/bin/env bash
# Turns a crash dump of Corvane or Tessaly into a symbolised stack: symbol files are made with dump_syms from
# the program and libraries (each module of the dump carries its file's build id, which the symbol file must
# match), then minidump_stackwalk reads the dump with them.
#
#   scripts/symbolize-dump.sh <dump.dmp> [binary ...]
#
# Without binaries, every module the dump names that is still on this machine is read (the build the dump
# came from must be the one on disk: a module rebuilt since gets no symbols). Symbols of binaries built
# without debug information give function names from their symbol tables only.
#
# The tools come from the npm package "minidump" that scripts/install-deps.sh installs into /opt/corvane-tools/;
# CORVANE_MINIDUMP_TOOLS names another folder of dump_syms, minidump_dump and minidump_stackwalk. The symbol
# files are made in a temporary folder, or kept in CORVANE_SYMBOLS when it is set.
set -euo pipefail

if [ $# -lt 1 ] || [ ! -f "$1" ]; then
  echo "usage: $0 <dump.dmp> [binary ...]" >&2
  exit 2
fi
dump=$1
shift

tools=${CORVANE_MINIDUMP_TOOLS:-/opt/corvane-tools/minidump-0.26.0/node_modules/minidump/bin/linux-x64}
for tool in dump_syms minidump_dump minidump_stackwalk; do
  if [ ! -x "$tools/$tool" ]; then
    echo "$0: $tools/$tool is missing: run scripts/install-deps.sh (or set CORVANE_MINIDUMP_TOOLS)" >&2
    exit 2
  fi
done

if [ -n "${CORVANE_SYMBOLS:-}" ]; then
  symbols=$CORVANE_SYMBOLS
  mkdir -p "$symbols"
else
  symbols=$(mktemp -d)
  trap 'rm -rf "$symbols"' EXIT
fi

binaries=("$@")
if [ ${#binaries[@]} -eq 0 ]; then
  # The modules' files as the dump names them: (code_file) = "/path".
  while IFS= read -r file; do
    [ -f "$file" ] && binaries+=("$file")
  done < <("$tools/minidump_dump" "$dump" 2>/dev/null | sed -n 's/^ *(code_file) *= "\(.*\)"$/\1/p' | sort -u)
fi

# One symbol file per binary, where the stack walker looks for it: <name>/<debug id>/<name>.sym.
# dump_syms runs in the symbol folder: it looks for split debug information (.dwo files) relative to where it
# runs, and aborts on the ones our Debug build writes; from there it finds none and reads what the binary holds.
for binary in "${binaries[@]}"; do
  binary=$(realpath "$binary")
  out=$symbols/.current.sym
  if ! (cd "$symbols" && "$tools/dump_syms" "$binary") >"$out" 2>/dev/null; then
    echo "$0: no symbols from $binary" >&2
    continue
  fi
  # MODULE <os> <arch> <debug id> <name>
  read -r keyword _ _ id name <"$out" || true
  if [ "$keyword" != "MODULE" ] || [ -z "$id" ] || [ -z "$name" ]; then
    echo "$0: no symbols from $binary" >&2
    continue
  fi
  mkdir -p "$symbols/$name/$id"
  mv "$out" "$symbols/$name/$id/$name.sym"
done
rm -f "$symbols/.current.sym"

"$tools/minidump_stackwalk" "$dump" "$symbols" 2>/dev/null
