// Test helper: a fresh scratch folder per test, removed with its files afterwards, and
// small whole-file helpers.
#pragma once

#include "support/ScratchDir.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace vantrel::bitmorph::test {

/// The shared scratch folder, under the name these tests use.
using ScratchDir = vantrel::testing::ScratchDir;

/// Writes bytes to a file (binary).
inline void writeBytes(const std::string &path, const std::string &bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

/// The whole file as bytes ("" when missing).
inline std::string readBytes(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace vantrel::bitmorph::test
