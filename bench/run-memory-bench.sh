#!/usr/bin/env bash
# Times the memory-image pipeline against GNU objcopy on a 64 MiB image of random bytes:
#   (1) raw binary -> flash file (S3 records of 32 bytes) at an offset
#   (2) flash file -> raw binary
# Both tools run alternately, 5 times each, on a warm page cache and into new output files;
# the medians, their ratios and the peak resident memory are printed.
# Usage: bench/run-memory-bench.sh [path/to/memory_bench] [MiB]
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
bench=${1:-$here/build/linux/bench/memory_bench}
mib=${2:-64}
runs=5
offset=0x20000
[ -x "$bench" ] || { echo "memory_bench not found at $bench (build the bench target)" >&2; exit 1; }
command -v objcopy >/dev/null || { echo "objcopy is not installed" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
head -c $((mib << 20)) /dev/urandom >"$work/in.bin"

# run NAME CMD...: runs CMD into fresh outputs, appends "wall-seconds peak-kib cpu-seconds"
# to $work/NAME (cpu = user + system, which a loaded machine distorts less than wall time).
run() {
  local name=$1
  shift
  local start end
  start=$(date +%s%N)
  /usr/bin/time -f '%M %U %S' -o "$work/rss" "$@"
  end=$(date +%s%N)
  echo "$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f", (b - a) / 1e9 }') $(awk '{ printf "%d %.2f", $1, $2 + $3 }' "$work/rss")" >>"$work/$name"
}

median() { sort -n "$work/$1" | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'; }
cpu() { sort -k3 -n "$work/$1" | awk '{ t[NR] = $3 } END { print t[int((NR + 1) / 2)] }'; }
peak() { sort -k2 -n "$work/$1" | tail -1 | awk '{ print $2 }'; }

# Warm the page cache and check that both tools agree before timing.
"$bench" flash "$work/in.bin" "$work/lib.flash" $offset
objcopy -I binary -O srec --srec-len=32 --srec-forceS3 --change-addresses $offset "$work/in.bin" "$work/obj.flash"
"$bench" raw "$work/lib.flash" "$work/lib.bin"
objcopy -I srec -O binary "$work/lib.flash" "$work/obj.bin"
cmp "$work/in.bin" "$work/lib.bin"
cmp "$work/obj.bin" "$work/lib.bin"
objcopy -I srec -O binary "$work/obj.flash" "$work/check.bin"
cmp "$work/in.bin" "$work/check.bin"

for ((i = 0; i < runs; i++)); do
  rm -f "$work/obj.flash" "$work/lib.flash.out"
  run obj1 objcopy -I binary -O srec --srec-len=32 --srec-forceS3 --change-addresses $offset "$work/in.bin" "$work/obj.flash"
  run lib1 "$bench" flash "$work/in.bin" "$work/lib.flash.out" $offset
  rm -f "$work/obj.bin" "$work/lib.bin"
  run obj2 objcopy -I srec -O binary "$work/lib.flash" "$work/obj.bin"
  run lib2 "$bench" raw "$work/lib.flash" "$work/lib.bin"
done

image_kib=$((mib << 10))
report() {
  local title=$1 lib=$2 obj=$3
  local tl to
  tl=$(median "$lib")
  to=$(median "$obj")
  printf '%-32s bitmorph %.3f s  objcopy %.3f s  ratio %.2fx  (cpu %.2f s vs %.2f s)  peak RSS %d KiB (%.2fx image)\n' \
    "$title" "$tl" "$to" "$(awk -v a="$tl" -v b="$to" 'BEGIN { print a / b }')" "$(cpu "$lib")" "$(cpu "$obj")" \
    "$(peak "$lib")" "$(awk -v a="$(peak "$lib")" -v b="$image_kib" 'BEGIN { print a / b }')"
}
echo "image: $mib MiB of random bytes; median of $runs alternating runs"
report "(1) binary -> flash at $offset" lib1 obj1
report "(2) flash -> binary" lib2 obj2
