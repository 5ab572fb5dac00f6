// Scratch folders, file helpers and in-process tool runs for the suite tools' tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "ToolEntry.h"
#include "hostText/FilePath.h"
#include "support/ChildRun.h"
#include "support/ScratchDir.h"

namespace vantrel::suite::testing {

using vantrel::hostText::pathUtf8;
using vantrel::hostText::utf8Path;

/// A fresh scratch folder that is also the current directory while the object lives, so
/// that tools run with relative names as the flows run them; removed afterwards.
class ScratchDir : public vantrel::testing::ScratchDir {
public:
  ScratchDir() : vantrel::testing::ScratchDir(Current::Enter, "bm-suite") {}
};

/// Writes bytes to path in binary mode.
inline void writeFile(const std::string &path, const std::string &bytes) {
  vantrel::testing::writeBytes(path, bytes);
}

/// Writes bytes to path in binary mode.
inline void writeFile(const std::string &path, const std::vector<std::uint8_t> &bytes) {
  writeFile(path, std::string(bytes.begin(), bytes.end()));
}

/// The whole file in binary mode ("" when missing).
inline std::string readFile(const std::string &path) {
  return vantrel::testing::readBytes(path);
}

/// True when the file exists.
inline bool exists(const std::string &path) {
  return std::filesystem::exists(utf8Path(path));
}

/// The text with every CR LF turned into LF, for comparing text files on both platforms.
inline std::string unixLines(const std::string &text) {
  return vantrel::testing::unixLineEnds(text);
}

/// What one in-process tool run produced.
struct ToolRun {
  int status = -1;
  std::string out;
  std::string err;
};

/// Runs a tool entry with args and collects its streams.
template <class Entry> ToolRun runTool(Entry entry, const std::vector<std::string> &args) {
  std::ostringstream out, err;
  ToolRun run;
  run.status = entry(args, out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

/// The bytes as a string (for the parsers that take text in memory).
inline std::string asText(const std::vector<std::uint8_t> &bytes) {
  return std::string(bytes.begin(), bytes.end());
}

} // namespace vantrel::suite::testing
