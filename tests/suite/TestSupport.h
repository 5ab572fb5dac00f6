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

namespace vantrel::suite::testing {

using vantrel::hostText::pathUtf8;
using vantrel::hostText::utf8Path;

/// A fresh scratch folder that is also the current directory while the object lives, so
/// that tools run with relative names as the flows run them; removed afterwards.
class ScratchDir {
public:
  ScratchDir() : previous_(std::filesystem::current_path()) {
    std::random_device rd;
    path_ =
        std::filesystem::temp_directory_path() / ("bm-suite-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_);
    std::filesystem::current_path(path_);
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
    std::filesystem::remove_all(path_, ec);
  }
  ScratchDir(const ScratchDir &) = delete;
  ScratchDir &operator=(const ScratchDir &) = delete;

  /// Names of the files in the folder, sorted.
  std::vector<std::string> list() const {
    std::vector<std::string> names;
    for (auto &entry : std::filesystem::directory_iterator(path_))
      names.push_back(pathUtf8(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
  }
  const std::filesystem::path &path() const { return path_; }

private:
  std::filesystem::path previous_;
  std::filesystem::path path_;
};

/// Writes bytes to path in binary mode.
inline void writeFile(const std::string &path, const std::string &bytes) {
  std::ofstream out(utf8Path(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

/// Writes bytes to path in binary mode.
inline void writeFile(const std::string &path, const std::vector<std::uint8_t> &bytes) {
  writeFile(path, std::string(bytes.begin(), bytes.end()));
}

/// The whole file in binary mode ("" when missing).
inline std::string readFile(const std::string &path) {
  std::ifstream in(utf8Path(path), std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

/// True when the file exists.
inline bool exists(const std::string &path) {
  return std::filesystem::exists(utf8Path(path));
}

/// The text with every CR LF turned into LF, for comparing text files on both platforms.
inline std::string unixLines(const std::string &text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
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
