#!/usr/bin/env bash
# Fails when a C++ file of the repository differs from what clang-format 14 makes of it with
# the checked-in .clang-format; lists each such file. With --fix, formats them in place.
set -u -o pipefail
cd "$(dirname "$0")/.."
format=clang-format-14
command -v "$format" >/dev/null || { echo "$format not found (scripts/setup.sh installs it)" >&2; exit 2; }

# Tracked files and new ones not yet added (but not ignored ones such as build trees).
mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h' '*.inc' '*.h.in')
if [ "${1:-}" = --fix ]; then
  "$format" -i "${files[@]}"
  exit 0
fi
differ=0
for f in "${files[@]}"; do
  if ! "$format" --dry-run -Werror "$f" >/dev/null 2>&1; then
    echo "not formatted: $f"
    differ=$((differ + 1))
  fi
done
echo "format: $differ of ${#files[@]} files differ from .clang-format"
[ "$differ" -eq 0 ]
