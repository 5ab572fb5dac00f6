#!/usr/bin/env bash
# The speed and memory figures of README's "Speed", in one run. Each job runs beside the floor
# of the work it cannot avoid (dd writing the same output bytes, copying what a tool only
# copies), in alternating pairs, on a warm page cache, into new output files. Per job: the
# median of the pairs' time ratios with their min and max, and the peak resident memory of
# the largest process (the whole process tree, as /usr/bin/time reports it) over the image.
#
# Usage: bench/run-memory-bench.sh [--build DIR] [--mib N] [--pairs N] [--scale]
#   --build DIR  a build of the linux preset (default build/linux); the bench targets and the
#                installation are built and laid out there first
#   --mib N      image size in MiB (default 64)
#   --pairs N    alternating pairs per job (default 5)
#   --scale      also the scale rows: the memory bench from 16 MiB to 1 GiB, and a whole run on
#                the largest image the flash window holds (2 GiB less one byte; needs about
#                7 GB of disk and 3 GB of memory)
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=$here/build/linux
mib=64
pairs=5
scale=0
while [ $# -gt 0 ]; do
  case $1 in
  --build) build=$(cd "$2" && pwd); shift 2 ;;
  --mib) mib=$2; shift 2 ;;
  --pairs) pairs=$2; shift 2 ;;
  --scale) scale=1; shift ;;
  *) echo "usage: $0 [--build DIR] [--mib N] [--pairs N] [--scale]" >&2; exit 2 ;;
  esac
done
for tool in objcopy dd /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed" >&2; exit 1; }
done

cmake --build "$build" --target memory_bench bitmorph_copy_converter all >/dev/null
root=$build/bench-install
cmake --install "$build" --prefix "$root" >/dev/null
bench=$build/bench/memory_bench
copytool=$build/bench/e2e/bitmorph_copy_converter

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/tools" "$work/out"
cp "$copytool" "$work/tools/prexa_cpf"
cp "$copytool" "$work/tools/korvo-elf-objcopy"
: >"$work/empty"

# The applications run from the installation, the tools that only copy first on the path.
suite_env=(env "PREXA_ROOTDIR=$root" "PATH=$root/bin64:$PATH")
copy_env=(env "PREXA_ROOTDIR=$root" "PATH=$work/tools:$root/bin64:$PATH")

# timed FILE CMD...: runs CMD (its output discarded), appends "nanoseconds peak-KiB
# cpu-seconds" to FILE (cpu: user + system of the whole process tree).
timed() {
  local file=$1 start end
  shift
  start=$(date +%s%N)
  if ! /usr/bin/time -f '%M %U %S' -o "$work/rss" "$@" >"$work/log" 2>&1; then
    echo "failed: $*" >&2
    cat "$work/log" >&2
    exit 1
  fi
  end=$(date +%s%N)
  echo "$((end - start)) $(tail -1 "$work/rss" | awk '{ printf "%d %.3f", $1, $2 + $3 }')" >>"$file"
}

# row TITLE IMAGE-BYTES: runs job and floor (shell functions of that name, which clear their
# own outputs first) alternately, after one warm-up of each, and prints the row.
row() {
  local title=$1 bytes=$2
  job
  floor
  rm -f "$work/job" "$work/floor"
  for ((i = 0; i < pairs; i++)); do
    job
    floor
  done
  # Pairs sorted by their ratio: the middle one gives the median and its job's time. The
  # ratio of processor time beside it tells a loaded machine's figures apart.
  local cpu
  cpu=$(paste -d' ' "$work/job" "$work/floor" | awk '{ printf "%.6f\n", $3 / ($6 > 0.005 ? $6 : 0.005) }' | sort -g |
    awk '{ c[NR] = $1 } END { print c[int((NR + 1) / 2)] }')
  paste -d' ' "$work/job" "$work/floor" | awk '{ printf "%.6f %d %d\n", $1 / $4, $1, $2 }' | sort -g |
    awk -v title="$title" -v bytes="$bytes" -v cpu="$cpu" '
      { r[NR] = $1; t[NR] = $2; if ($3 > peak) peak = $3 }
      END {
        m = int((NR + 1) / 2)
        printf "%-60s %5.2fx (%5.2f-%5.2f) %7.1f ms  cpu %5.2fx  peak %4.2fx\n", title, r[m], r[1], r[NR],
          t[m] / 1e6, cpu, peak * 1024 / bytes
      }'
}

# The image and the files made from it once; reference outputs are the jobs' own.
make_inputs() {
  local size=$1
  rm -rf "$work/in" && mkdir -p "$work/in"
  head -c "$size" /dev/urandom >"$work/in/image.bin"
  "$bench" flash "$work/in/image.bin" "$work/in/image.flash" 0x20000
  "$bench" raw "$work/in/image.flash" "$work/in/check.bin"
  cmp "$work/in/image.bin" "$work/in/check.bin"
}

clear_out() {
  rm -rf "$work/out" && mkdir -p "$work/out"
}

bytes=$((mib << 20))
make_inputs "$bytes"
echo "image: $mib MiB of random bytes; $pairs alternating pairs per row; ratio to the floor: median (min-max)"
echo

# (1) raw binary -> S-records, against dd writing the same bytes.
job() { clear_out; timed "$work/job" "$bench" flash "$work/in/image.bin" "$work/out/a.flash" 0x20000; }
floor() { clear_out; timed "$work/floor" dd if="$work/in/image.flash" of="$work/out/b.flash" bs=1M; }
row "memory bench, raw binary -> S-records (floor: dd writes it)" "$bytes"

# (2) S-records -> raw binary, against reading the input and writing the output.
job() { clear_out; timed "$work/job" "$bench" raw "$work/in/image.flash" "$work/out/a.bin"; }
floor() {
  clear_out
  timed "$work/floor" bash -c "cat '$work/in/image.flash' >/dev/null && dd if='$work/in/image.bin' of='$work/out/b.bin' bs=1M"
}
row "memory bench, S-records -> raw binary (floor: read + write)" "$bytes"

# (3) The parallel flow through the launcher, with a converter that copies its image.
"$root/bin64/sofgen" --part=KX3R40F484C6 --output="$work/in/small.sof" >/dev/null
"$root/bin64/sofgen" --part=KX3R40F484C6 --output="$work/in/design.sof" --data="$work/in/image.bin" >/dev/null
job() {
  clear_out
  timed "$work/job" "${copy_env[@]}" "BITMORPH_BENCH_RAW=$work/in/image.bin" "$root/bin64/bitmorph" \
    --input="$work/in/small.sof" --output="$work/out/a.flash" --offset=0x20000
}
floor() {
  clear_out
  timed "$work/floor" bash -c "cp '$work/in/image.bin' '$work/out/b.rbf' && dd if='$work/in/image.flash' of='$work/out/b.flash' bs=1M"
}
row "whole run, parallel flow, copying converter (floor: copy + dd)" "$bytes"

# (4) The loader flow: the object-copy tool's S-record output read back and cut. The tools'
# outputs are made once by the stand-ins; in the runs the tools only copy them into place.
mkdir -p "$work/kld"
"${suite_env[@]}" "$root/bin64/bitmorph" --input="$work/in/design.sof" --output="$work/kld/top.flash" --kld \
  --offset=0x20000 --optionbit=0x18000 --programmingmode=FPP --save >/dev/null
"$root/bin64/korvo-elf-objcopy" -O srec "$work/kld/top.hexout" "$work/kld/objcopy.srec" >/dev/null
kld_env=("${copy_env[@]}" "BITMORPH_BENCH_POF=$work/empty" "BITMORPH_BENCH_HEX=$work/empty"
  "BITMORPH_BENCH_MAP=$work/kld/top.map" "BITMORPH_BENCH_SREC=$work/kld/objcopy.srec")
job() {
  clear_out
  timed "$work/job" "${kld_env[@]}" "$root/bin64/bitmorph" --input="$work/in/design.sof" \
    --output="$work/out/top.flash" --kld --offset=0x20000 --optionbit=0x18000 --programmingmode=FPP
}
floor() {
  clear_out
  timed "$work/floor" bash -c "cp '$work/kld/objcopy.srec' '$work/out/b.srec' && dd if='$work/kld/top.flash' of='$work/out/b.flash' bs=1M && dd if='$work/kld/top.map.flash' of='$work/out/b.map.flash' bs=1M"
}
row "whole run, loader flow, copying tools (floor: copy + dd)" "$bytes"

# (5) The standalone kit: the stand-in converter makes the raw image from the SOF.
job() {
  clear_out
  timed "$work/job" "${suite_env[@]}" "$root/bin64/bitmorph" --input="$work/in/design.sof" \
    --output="$work/out/a.flash" --offset=0x20000
}
floor() {
  clear_out
  timed "$work/floor" bash -c "cp '$work/in/design.sof' '$work/out/b.sof' && dd if='$work/in/image.flash' of='$work/out/b.flash' bs=1M"
}
row "standalone kit, stand-in converter (floor: copy SOF + dd)" "$bytes"
job() {
  clear_out
  timed "$work/job" objcopy -I binary -O srec --srec-len=32 --srec-forceS3 --change-addresses 0x20000 \
    "$work/in/image.bin" "$work/out/a.srec"
}
row "  for reference: objcopy's conversion alone (same floor)" "$bytes"

[ "$scale" = 1 ] || exit 0

echo
echo "scale: the memory bench, raw binary -> S-records; time per byte against 16 MiB"
pairs=3
job() { clear_out; timed "$work/job" "$bench" flash "$work/in/image.bin" "$work/out/a.flash" 0x20000; }
floor() { clear_out; timed "$work/floor" dd if="$work/in/image.flash" of="$work/out/b.flash" bs=1M; }
for size_mib in 16 64 256 1024; do
  make_inputs $((size_mib << 20))
  line=$(row "memory bench at $size_mib MiB" $((size_mib << 20)))
  ns=$(awk '{ print $0 }' "$work/job" | sort -n | awk -v b=$((size_mib << 20)) '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] / b }')
  [ "$size_mib" = 16 ] && base_ns=$ns
  printf '%s  per byte %.2fx\n' "$line" "$(awk -v a="$ns" -v b="$base_ns" 'BEGIN { print a / b }')"
done

echo
echo "the largest image the flash window holds (2 GiB less one byte), parallel flow, one run"
rm -rf "$work/in" && mkdir -p "$work/in"
head -c $(((2 << 30) - 1)) /dev/urandom >"$work/in/image.bin"
"$root/bin64/sofgen" --part=KX3R40F484C6 --output="$work/in/small.sof" >/dev/null
clear_out
rm -f "$work/job"
timed "$work/job" "${copy_env[@]}" "BITMORPH_BENCH_RAW=$work/in/image.bin" "$root/bin64/bitmorph" \
  --input="$work/in/small.sof" --output="$work/out/a.flash" --offset=0
records=$(grep -c '^S3' "$work/out/a.flash")
expected=$((((2 << 30) - 1 + 31) / 32))
awk -v r="$records" -v e="$expected" -v b=$(((2 << 30) - 1)) '{ printf "  %d of %d records, %.1f s, peak %.2fx the image\n", r, e, $1 / 1e9, $2 * 1024 / b }' "$work/job"
[ "$records" = "$expected" ] || { echo "the flash file is not complete" >&2; exit 1; }
