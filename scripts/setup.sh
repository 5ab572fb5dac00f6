#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks to build and test every preset: compilers
# (g++, clang, MinGW-w64), CMake and Ninja, GoogleTest and Google Benchmark, Wine, a JDK,
# clang-format 14, the third-party judges (srecord, binutils) and zip and unzip for the packages.
set -eu

packages=(cmake ninja-build g++ clang-14 clang-format-14 libclang-rt-14-dev googletest libgtest-dev
          libbenchmark-dev ccache g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
          libz-mingw-w64-dev zlib1g-dev wine wine64 default-jdk-headless srecord binutils zip unzip)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "== installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq && apt-get install -y -qq "${missing[@]}" >/dev/null || {
    echo "apt-get install failed" >&2; exit 1; }
fi
