#!/usr/bin/env bash
# The layering check on a scratch copy of the sources: the copy as it is passes, and each
# include planted against the dependency table of docs/ARCHITECTURE.md (an area using one
# downstream of it, the launcher using the application's OS layer, product code using a test
# helper, a project header in angle brackets) fails the check, which names the file, the line
# and the rule. Environment (set by CMake): SOURCE_DIR.
set -u -o pipefail
scratch=$(mktemp -d "${TMPDIR:-/tmp}/bitmorph layering.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
fail() {
  echo "FAILED: $*" >&2
  exit 1
}
mkdir -p "$scratch/docs" "$scratch/scripts"
cp "$SOURCE_DIR/docs/ARCHITECTURE.md" "$scratch/docs/"
cp "$SOURCE_DIR/scripts/check-layering.py" "$scratch/scripts/"
cp -R "$SOURCE_DIR/src" "$SOURCE_DIR/java" "$SOURCE_DIR/native-wrapper" "$SOURCE_DIR/runtime" "$SOURCE_DIR/suite" "$scratch/"
check() { python3 "$scratch/scripts/check-layering.py" --root "$scratch"; }

out=$(check) || fail "the unchanged copy breaks the table: $out"

# file | planted include | what the check must say about it
cases=(
  'src/memory/Srec.cpp|#include "commandOptions/Option.h"|includes src/commandOptions/Option.h, but memory may not use commandOptions'
  'src/platform/file.cpp|#include <memory/Srec.h>|includes src/memory/Srec.h, but platform may not use memory'
  'native-wrapper/envUtils.h|#include "platform/file.h"|includes src/platform/file.h, but native-wrapper may not use platform'
  'suite/lib/FileIo.cpp|#include "support/ChildRun.h"|"support/ChildRun.h" is no header of suite'
)
expected=()
for entry in "${cases[@]}"; do
  IFS='|' read -r file include message <<<"$entry"
  printf '%s\n' "$include" >>"$scratch/$file"
  expected+=("$file:$(wc -l <"$scratch/$file"): $message")
done
out=$(check) && fail "the planted includes passed the check: $out"
for line in "${expected[@]}"; do
  grep -qF "$line" <<<"$out" || fail "expected '$line', got: $out"
done
[[ $(tail -1 <<<"$out") == "layering: ${#cases[@]} of "* ]] || fail "summary: $(tail -1 <<<"$out")"
echo "the layering check refused all ${#cases[@]} planted includes"
