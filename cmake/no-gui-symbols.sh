#!/usr/bin/env bash
# no-gui-symbols.sh ARCHIVE GUI_LIBRARY...
# Fails, naming them, when ARCHIVE refers to symbols that a GUI library
# defines.
set -euo pipefail
archive=$1
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
nm -u --format=posix "$archive" 2>/dev/null | awk '{print $1}' | sort -u >"$work/wanted"
for library in "$@"; do
  nm -D --defined-only --format=posix "$library" | awk '{sub(/@.*/, "", $1); print $1}'
done | sort -u >"$work/gui"
comm -12 "$work/wanted" "$work/gui" >"$work/both"
if [ -s "$work/both" ]; then
  echo "$(basename "$archive") uses the window libraries:" >&2
  c++filt <"$work/both" | head -20 >&2
  exit 1
fi
