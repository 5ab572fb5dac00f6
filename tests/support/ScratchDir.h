// Test helper shared by every area: a fresh scratch folder per test, removed with its files
// afterwards, optionally the current folder while it lives; and whole-file helpers. Names
// are UTF-8 on every OS.
#pragma once

#include "hostText/FilePath.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace vantrel::testing {

/// Removes a folder with everything in it, however deep (on Windows past MAX_PATH, where
/// std::filesystem's remove_all gives up and a test that builds a deep tree would leave it
/// behind). Errors are ignored. In the test support library.
void removeTree(const std::filesystem::path &folder);

class ScratchDir {
public:
  /// Whether the folder is also the current folder while the object lives (so that tools
  /// run with relative names as the flows run them).
  enum class Current { Leave, Enter };

  explicit ScratchDir(Current current = Current::Leave, const std::string &tag = "bm-test") {
    std::random_device rd;
    path_ =
        std::filesystem::temp_directory_path() / (tag + "-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_);
    if (current == Current::Enter) {
      previous_ = std::filesystem::current_path();
      std::filesystem::current_path(path_);
    }
  }
  ~ScratchDir() {
    std::error_code ec;
    if (!previous_.empty()) std::filesystem::current_path(previous_, ec);
    removeTree(path_);
  }
  ScratchDir(const ScratchDir &) = delete;
  ScratchDir &operator=(const ScratchDir &) = delete;

  /// The full path of name inside the folder (UTF-8).
  std::string file(const std::string &name) const {
    return hostText::pathUtf8(path_ / hostText::utf8Path(name));
  }
  const std::filesystem::path &path() const { return path_; }

  /// Names of the entries the folder holds, sorted (UTF-8).
  std::vector<std::string> list() const {
    std::vector<std::string> names;
    for (auto &entry : std::filesystem::directory_iterator(path_))
      names.push_back(hostText::pathUtf8(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
  }

  /// How many entries the folder holds.
  std::size_t count() const { return list().size(); }

private:
  std::filesystem::path path_;
  std::filesystem::path previous_;
};

/// Sets the file's last modification time to seconds and milliseconds since 1970-01-01 UTC,
/// through the OS's own call (the library's clock stops at 2262). In the test support library.
void setModifiedTime(const std::string &path, std::int64_t seconds, int millis);

/// Writes bytes to a file (binary, truncated).
inline void writeBytes(const std::string &path, const std::string &bytes) {
  std::ofstream out(hostText::utf8Path(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

/// The whole file as bytes ("" when missing).
inline std::string readBytes(const std::string &path) {
  std::ifstream in(hostText::utf8Path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace vantrel::testing
