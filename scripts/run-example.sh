#!/usr/bin/env bash
# The main job: builds bitmorph, installs it with the stand-in suite and runtime, and
# converts the bundled example design into a flash file through the launcher.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
build=$root/build/example
prefix=$root/build/example-install
design=${1:-examples/ravelle3_blinky.sof}
work=$root/build/example-run

echo "== building and installing into $prefix"
cmake --preset linux -B "$build" -DBITMORPH_TESTS=OFF -DBITMORPH_BENCH=OFF >/dev/null
cmake --build "$build" -j2 >/dev/null
cmake --install "$build" --prefix "$prefix" >/dev/null

mkdir -p "$work"
cp "$design" "$work/"
name=$(basename "$design" .sof)

echo "== bitmorph --input=$name.sof --output=$name.flash --offset=0x20000"
cd "$work"
PREXA_ROOTDIR=$prefix PATH=$prefix/bin64:$PATH \
  bitmorph --input="$name.sof" --output="$name.flash" --offset=0x20000
echo "== $work/$name.flash: $(wc -l < "$name.flash") records; first lines:"
head -3 "$name.flash"
