#!/usr/bin/env bash
# The release packages as a user meets them. cpack makes them twice (the second time a second
# later, with other file times and modes, another umask and time zone, into another folder):
# both runs must give the same bytes. Then the standalone kit, unpacked into a folder whose
# path holds a space and accents, converts every example design through its launcher; the
# product, unpacked into a folder laid out like a suite (the suite's runtime and tools in
# bin64), converts an example with them and changes no file of the suite; installing the
# product there with cmake refuses to replace a different bitmorph unless asked to.
# Environment (set by CMake): BUILD_DIR SOURCE_DIR VERSION PRODUCT STANDALONE FORMAT EXE
# LIBRARY SCRAMBLE_SCRIPT JDK_HOME (empty: the stand-in runtime) SANITIZED (0 or 1), and for
# Windows WINE_RUN, BITMORPH_WINEPREFIX, VERSION_CHECK and OBJDUMP.
set -eu -o pipefail
# A UTF-8 locale, as a user has: a real JDK reads no other names than ASCII ones in the C locale.
export LC_ALL=C.UTF-8 TZ=UTC
unset NATIVE_WRAP_JRE_DIR_OVERRIDE PREXA_ROOTDIR_OVERRIDE PREXA_BINDIR_OVERRIDE SOURCE_DATE_EPOCH

fail() {
  echo "FAILED: $*" >&2
  exit 1
}
scratch=$(mktemp -d "${TMPDIR:-/tmp}/bitmorph packages.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
windows=0
[ "$FORMAT" = zip ] && windows=1
# What the folders' names hold beyond a space and upper case: an apostrophe, a dot, characters
# inside the Windows ANSI code page (é, €) and outside it (Ж, 日本).
names="'s v1.0 é€ Ж日本"

# A path as the programs see it: Windows form (Z:\...) under Wine.
host_path() {
  if [ $windows = 1 ]; then
    local p=${1//\//\\}
    echo "Z:$p"
  else
    echo "$1"
  fi
}

# run_bitmorph <installation root> <work folder> <arguments>...: the launcher with the
# environment a user sets (PREXA_ROOTDIR, the root's bin64 on the search path).
run_bitmorph() {
  local root=$1 work=$2
  shift 2
  mkdir -p "$work"
  if [ $windows = 1 ]; then
    (cd "$work" && PREXA_ROOTDIR=$(host_path "$root") WINEPATH=$(host_path "$root/bin64") \
      "$WINE_RUN" "$root/bin64/bitmorph.exe" "$@")
  else
    (cd "$work" && PREXA_ROOTDIR=$root PATH="$root/bin64:$PATH" "$root/bin64/bitmorph" "$@")
  fi
}

# check_flash <file> <fewest data records>: S-records as bitmorph writes them, S3 data records
# after an optional S0 header.
check_flash() {
  [ -s "$1" ] || fail "$1 was not written"
  grep -v -E '^S[03][0-9A-F]+'$'\r''?$' "$1" && fail "$1 holds other lines than S0 and S3 records"
  [ "$(grep -c '^S3' "$1")" -ge "$2" ] || fail "$1 holds fewer than $2 data records"
}

# Every entry below a folder: files with mode and hash, folders with mode, links with target.
tree_state() {
  (cd "$1" && find . -mindepth 1 -print0 | while IFS= read -r -d '' p; do
    if [ -L "$p" ]; then
      echo "link $p -> $(readlink "$p")"
    elif [ -d "$p" ]; then
      echo "folder $p $(stat -c %a "$p")"
    else
      echo "file $p $(stat -c %a "$p") $(sha256sum <"$p" | cut -d' ' -f1)"
    fi
  done) | sort
}

list_archive() { # names of the entries, in archive order
  if [ $windows = 1 ]; then unzip -Z1 "$1"; else tar -tzf "$1"; fi
}

unpack() { # archive, folder
  mkdir -p "$2"
  if [ $windows = 1 ]; then unzip -q "$1" -d "$2"; else tar -xzf "$1" -C "$2"; fi
}

# --- 1. cpack, twice -------------------------------------------------------------------------
first=$BUILD_DIR/packages
(cd "$BUILD_DIR" && cpack >"$scratch/cpack-1.log" 2>&1) || { cat "$scratch/cpack-1.log"; fail "cpack"; }
for f in "$PRODUCT.$FORMAT" "$STANDALONE.$FORMAT" SHA256SUMS; do
  [ -f "$first/$f" ] || fail "cpack did not make $f"
done
[ "$(wc -l <"$first/SHA256SUMS")" = 2 ] || fail "SHA256SUMS should list the two archives"
(cd "$first" && sha256sum --check --quiet SHA256SUMS) || fail "SHA256SUMS does not match the archives"

epoch=315532800
if commit_time=$(git -C "$SOURCE_DIR" log -1 --format=%ct 2>/dev/null); then epoch=$commit_time; fi
sleep 1
second=$scratch/packages-2
(umask 077 && cd "$BUILD_DIR" && SOURCE_DATE_EPOCH=$epoch TZ=Pacific/Kiritimati \
  cpack -B "$scratch/cpack-2" -D CPACK_OUTPUT_FILE_PREFIX="$second" \
  -D CPACK_PRE_BUILD_SCRIPTS="$SCRAMBLE_SCRIPT" >"$scratch/cpack-2.log" 2>&1) ||
  { cat "$scratch/cpack-2.log"; fail "second cpack"; }
for f in "$PRODUCT.$FORMAT" "$STANDALONE.$FORMAT" SHA256SUMS; do
  cmp "$first/$f" "$second/$f" || fail "$f differs between two cpack runs of the same build"
done

# --- 2. what the archives hold -----------------------------------------------------------------
product_archive=$first/$PRODUCT.$FORMAT
standalone_archive=$first/$STANDALONE.$FORMAT
printf '%s\n' "bin64/bitmorph$EXE" bin64/bitmorph.jar "bin64/$LIBRARY" | sort >"$scratch/expected"
list_archive "$product_archive" | sort >"$scratch/product-entries"
diff -u "$scratch/expected" "$scratch/product-entries" || fail "the product package holds other files"
list_archive "$standalone_archive" >"$scratch/standalone-entries"
grep -v "^$STANDALONE/" "$scratch/standalone-entries" && fail "standalone entries outside $STANDALONE/"
for f in bin64/bitmorph$EXE bin64/prexa_cpf$EXE bin64/korvo-elf-objcopy$EXE bin64/sofgen$EXE \
  STAND-INS.txt examples/README.md examples/designs.txt; do
  grep -qxF "$STANDALONE/$f" "$scratch/standalone-entries" || fail "the standalone kit lacks $f"
done
# One time (the last commit's), owner 0 and modes 0755/0644 on every entry: each entry's
# "mode owner time" is one of two lines.
if [ $windows = 1 ]; then
  # zip keeps even seconds, rounding up; it stores no owner.
  stamp=$(date -u -d "@$(((epoch + 1) / 2 * 2))" +%Y%m%d.%H%M%S)
  unzip -Z -T "$standalone_archive" | awk '/^-/ { print $1, "0/0", $7 }' | sort -u >"$scratch/kinds"
else
  stamp=$(date -u -d "@$epoch" +%Y-%m-%dT%H:%M:%S)
  tar -tvzf "$standalone_archive" --numeric-owner --full-time | awk '{ print $1, $2, $4 "T" $5 }' |
    sort -u >"$scratch/kinds"
fi
printf '%s 0/0 %s\n' -rw-r--r-- "$stamp" -rwxr-xr-x "$stamp" | diff -u - "$scratch/kinds" ||
  fail "entries of another time, owner or mode"

# --- 3. the standalone kit converts every example ------------------------------------------------
kit_parent="$scratch/Kit Folder${names}"
unpack "$standalone_archive" "$kit_parent"
kit=$kit_parent/$STANDALONE
# Sanitizer builds name every source file in their checks; they are never released.
if [ "$SANITIZED" = 0 ] && grep -rlF "$SOURCE_DIR" "$kit"; then
  fail "packaged files hold the build machine's source folder"
fi
manifest=$(unzip -p "$kit/bin64/bitmorph.jar" META-INF/MANIFEST.MF | tr -d '\r')
grep -qxF "Implementation-Version: $VERSION" <<<"$manifest" || fail "jar manifest: $manifest"
[ "$(unzip -Z1 "$kit/bin64/bitmorph.jar" | sed -n 1p)" = META-INF/MANIFEST.MF ] ||
  fail "the jar's first entry is not its manifest"
if [ $windows = 1 ]; then
  mapfile -t programs < <(cd "$kit" && find . -name '*.exe' -o -name '*.dll' | sort)
  [ ${#programs[@]} = 8 ] || fail "expected 8 Windows programs and libraries, found ${#programs[@]}"
  files=()
  for p in "${programs[@]}"; do files+=("$(host_path "$kit/${p#./}")"); done
  "$WINE_RUN" "$VERSION_CHECK" bitmorph "$VERSION" "${files[@]}" || fail "version resources or manifests"
  # The times in the files: the header's is the packages' time, a library's export table has none.
  header_time=$(date -u -d "@$epoch" '+%a %b %e %H:%M:%S %Y' | tr -s ' ')
  for p in "${programs[@]}"; do
    "$OBJDUMP" -p "$kit/$p" | grep -E '^Time/Date' | tr -s '\t ' ' ' >"$scratch/times"
    grep -qxF "Time/Date $header_time" "$scratch/times" || fail "$p: header time $(cat "$scratch/times")"
    grep -v -x -F -e "Time/Date $header_time" -e 'Time/Date stamp 0' "$scratch/times" && fail "$p: link time"
  done
fi

work="$scratch/Work Folder${names}"
[ "$(ls "$kit"/examples/*.sof | wc -l)" = 5 ] || fail "the kit should hold the five example designs"
for design in "$kit"/examples/*.sof; do
  name=$(basename "$design" .sof)
  run_bitmorph "$kit" "$work" "--input=$(host_path "$design")" "--output=$name.flash" --offset=0x20000 \
    >"$scratch/run.log" 2>&1 || { cat "$scratch/run.log"; fail "the kit did not convert $name"; }
  check_flash "$work/$name.flash" 50
done
# The serial flow and the loader flow (which runs the object-copy tool) too.
run_bitmorph "$kit" "$work" "--input=$(host_path "$kit/examples/tessary5_uart.sof")" --output=uart-serial.flash \
  --sprom >"$scratch/run.log" 2>&1 || { cat "$scratch/run.log"; fail "the kit's serial flow"; }
check_flash "$work/uart-serial.flash" 50
loader_args=("--input=$(host_path "$kit/examples/ravelle3_blinky.sof")" --output=loader.flash --kld
  --offset=0x20000 --optionbit=0x18000 --programmingmode=FPP)
run_bitmorph "$kit" "$work" "${loader_args[@]}" >"$scratch/run.log" 2>&1 ||
  { cat "$scratch/run.log"; fail "the kit's loader flow"; }
check_flash "$work/loader.flash" 100
check_flash "$work/loader.map.flash" 1

# The kit's examples/README.md holds for the installed tree: the table it names is there, each
# bitmorph command it shows converts in the kit's folder, and its sofgen line writes its design
# again byte for byte.
[ -f "$kit/examples/designs.txt" ] || fail "the kit lacks examples/designs.txt, which its README names"
grep -E '^    (bitmorph|sofgen) ' "$kit/examples/README.md" >"$scratch/readme-commands" || true
[ "$(grep -c '^    bitmorph ' "$scratch/readme-commands")" -ge 3 ] || fail "examples/README.md shows no conversions"
[ "$(grep -c '^    sofgen ' "$scratch/readme-commands")" = 1 ] || fail "examples/README.md shows no sofgen line"
regenerated="$scratch/Regenerated${names}"
mkdir -p "$regenerated"
while read -r tool args; do
  # shellcheck disable=SC2086 # the README's arguments hold no blanks
  if [ "$tool" = bitmorph ]; then
    run_bitmorph "$kit" "$kit" $args >"$scratch/run.log" 2>&1 ||
      { cat "$scratch/run.log"; fail "examples/README.md: bitmorph $args"; }
  else
    if [ $windows = 1 ]; then
      (cd "$regenerated" && "$WINE_RUN" "$kit/bin64/sofgen.exe" $args) >"$scratch/run.log" 2>&1
    else
      (cd "$regenerated" && "$kit/bin64/sofgen" $args) >"$scratch/run.log" 2>&1
    fi || { cat "$scratch/run.log"; fail "examples/README.md: sofgen $args"; }
    design=$(sed -n 's/.*--output=\([^ ]*\).*/\1/p' <<<"$args")
    cmp "$regenerated/$design" "$kit/examples/$design" || fail "sofgen $args differs from examples/$design"
  fi
done <"$scratch/readme-commands"

# --- 4. the product in a suite -------------------------------------------------------------------
suite="$scratch/Suite Root${names}"
mkdir -p "$suite/bin64"
if [ -n "$JDK_HOME" ]; then
  ln -s "$JDK_HOME" "$suite/bin64/jre64"
else
  cp -R "$kit/bin64/jre64" "$suite/bin64/jre64"
fi
cp "$kit/bin64/prexa_cpf$EXE" "$kit/bin64/korvo-elf-objcopy$EXE" "$suite/bin64/"
echo "the suite's own notes" >"$suite/bin64/notes.txt"
tree_state "$suite" >"$scratch/suite-before"

unpack "$product_archive" "$suite"
tree_state "$suite" >"$scratch/suite-unpacked"
comm -23 "$scratch/suite-before" "$scratch/suite-unpacked" >"$scratch/changed"
[ ! -s "$scratch/changed" ] || { cat "$scratch/changed"; fail "unpacking the product changed suite files"; }
comm -13 "$scratch/suite-before" "$scratch/suite-unpacked" | cut -d' ' -f2 | sed 's|^\./||' >"$scratch/added"
diff -u "$scratch/expected" "$scratch/added" || fail "unpacking the product added other files"

suite_work="$scratch/Suite Work${names}"
run_bitmorph "$suite" "$suite_work" "${loader_args[@]}" >"$scratch/run.log" 2>&1 ||
  { cat "$scratch/run.log"; fail "the product did not convert with the suite's runtime and tools"; }
for f in loader.flash loader.map.flash; do
  cmp "$work/$f" "$suite_work/$f" || fail "$f differs between the kit and the suite"
done
tree_state "$suite" | cmp -s - "$scratch/suite-unpacked" || fail "converting changed the suite"

# cmake --install of the product refuses to replace the different (unstripped) build files...
if cmake --install "$BUILD_DIR" --component bitmorph --prefix "$suite" >"$scratch/install.log" 2>&1; then
  fail "cmake --install replaced another build's bitmorph without being asked"
fi
# (CMake wraps the message's lines.)
refusal=$(tr -s ' \n' ' ' <"$scratch/install.log")
grep -qF "already holds bitmorph$EXE, bitmorph.jar, $LIBRARY of another bitmorph build; nothing was installed." \
  <<<"$refusal" || { cat "$scratch/install.log"; fail "no clear refusal"; }
tree_state "$suite" | cmp -s - "$scratch/suite-unpacked" || fail "a refused install changed the suite"
# ... replaces them when asked, and then installs the same files again without asking.
BITMORPH_INSTALL_REPLACE=1 cmake --install "$BUILD_DIR" --component bitmorph --prefix "$suite" \
  >"$scratch/install.log" 2>&1 ||
  { cat "$scratch/install.log"; fail "cmake --install with BITMORPH_INSTALL_REPLACE=1"; }
cmake --install "$BUILD_DIR" --component bitmorph --prefix "$suite" >"$scratch/install.log" 2>&1 ||
  { cat "$scratch/install.log"; fail "installing the same build again"; }
tree_state "$suite" >"$scratch/suite-installed"
comm -23 "$scratch/suite-before" "$scratch/suite-installed" >"$scratch/changed"
[ ! -s "$scratch/changed" ] || { cat "$scratch/changed"; fail "cmake --install changed suite files"; }
echo "packages: $PRODUCT.$FORMAT and $STANDALONE.$FORMAT checked"
