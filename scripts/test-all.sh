#!/usr/bin/env bash
# Builds every preset and runs every test suite: Linux, Linux under AddressSanitizer and
# UndefinedBehaviorSanitizer, Windows under Wine, and the fuzz targets for a bounded time.
# Installs what a fresh Debian machine lacks (scripts/setup.sh) and checks the format of
# every C++ file and the layering of the areas first. Ends with the CTest summary of each
# suite.
set -u -o pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/setup.sh || exit 1

jobs=2
# Cache hits across clones in other folders: ccache rewrites paths below the root.
export CCACHE_BASEDIR=$root
export CCACHE_NOHASHDIR=1
summaries=()
failed_logs=()
total_pass=0
total_fail=0
status=0

run_suite() { # name, then ctest arguments
  local name=$1; shift
  local log="$root/build/ctest-$name.log"
  echo "== testing $name"
  # No "|| true" after this pipeline: under pipefail it would reset PIPESTATUS and hide
  # ctest's own exit code.
  ctest "$@" 2>&1 | tee "$log" | grep -E '^(Test project|[0-9]+% tests|Total Test time)|\*\*\*|Failed|Timeout'
  local rc=${PIPESTATUS[0]}
  local line
  line=$(grep -E '^[0-9]+% tests passed' "$log" | tail -1)
  summaries+=("$name: ${line:-no summary (ctest exit $rc)}")
  if [[ $line =~ ([0-9]+)\ tests\ failed\ out\ of\ ([0-9]+) ]]; then
    total_fail=$((total_fail + BASH_REMATCH[1]))
    total_pass=$((total_pass + BASH_REMATCH[2] - BASH_REMATCH[1]))
  fi
  if [ "$rc" -ne 0 ] || [[ $line != *" 0 tests failed"* ]]; then
    status=1
    failed_logs+=("$log")
  fi
}

# What a failing test printed: ctest writes it after the test's "***Failed" line.
show_failures() { # log
  echo "== output of the failing tests in $(basename "$1")"
  awk '/\*\*\*(Failed|Timeout|Exception)|\(Failed\)|Not Run/ { show = 1 }
       /^ *[0-9]+\/[0-9]+ Test +#.*(Passed|Skipped)/ { show = 0 }
       show' "$1" | grep -v -E '^\[ +(RUN|OK) +\]' | head -n 150
}

build_preset() {
  local preset=$1
  echo "== configuring and building $preset"
  cmake --preset "$preset" >"$root/build/configure-$preset.log" 2>&1 || {
    cat "$root/build/configure-$preset.log"; status=1; return 1; }
  cmake --build --preset "$preset" -j"$jobs" >"$root/build/build-$preset.log" 2>&1 || {
    tail -60 "$root/build/build-$preset.log"; status=1; return 1; }
}

mkdir -p build
start=$(date +%s)

echo "== checking the format"
if format_line=$(bash scripts/check-format.sh | tee "$root/build/format.log" | tail -1) &&
   [[ $format_line == *" 0 of "* ]]; then
  summaries+=("$format_line")
else
  grep '^not formatted' "$root/build/format.log" | head -50
  summaries+=("${format_line:-format check failed}")
  status=1
fi

echo "== checking the layering"
if layering_line=$(python3 scripts/check-layering.py | tee "$root/build/layering.log" | tail -1) &&
   [[ $layering_line == "layering: 0 of "* ]]; then
  summaries+=("$layering_line")
else
  grep -v '^layering:' "$root/build/layering.log" | head -50
  summaries+=("${layering_line:-layering check failed}")
  status=1
fi

if build_preset linux; then
  run_suite linux --preset linux
fi
if build_preset windows; then
  run_suite windows --preset windows
fi
if build_preset linux-asan; then
  run_suite linux-asan --preset linux-asan
fi
if build_preset fuzz; then
  run_suite fuzz --test-dir build/fuzz --output-on-failure -j2
fi

for log in "${failed_logs[@]}"; do show_failures "$log"; done
echo
echo "== summary ($(( $(date +%s) - start )) s)"
for s in "${summaries[@]}"; do echo "$s"; done
echo "Total: $total_pass passed, $total_fail failed"
exit $status
