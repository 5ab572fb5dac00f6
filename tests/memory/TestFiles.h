// Test helpers: a fresh folder per test, whole-file reads and writes, exception messages.
#pragma once

#include "flashDevice/Bytes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace vantrel::memory::test {

/// A folder of its own for one test, removed afterwards.
class TempDir {
public:
  TempDir() {
    const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = std::filesystem::temp_directory_path() /
            ("bm-memory-" + std::string(info->test_suite_name()) + "-" + info->name() + "-" +
             std::to_string(reinterpret_cast<std::uintptr_t>(this)));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  /// Path of a file in the folder, in the platform's own form.
  std::string file(const std::string &name) const { return (path_ / name).string(); }
  /// Names of the entries in the folder.
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    for (const auto &e : std::filesystem::directory_iterator(path_))
      names.push_back(e.path().filename().string());
    return names;
  }

private:
  std::filesystem::path path_;
};

inline void writeFile(const std::string &path, const std::string &content) {
  std::ofstream out(path, std::ios::binary);
  out << content;
}

inline void writeBytes(const std::string &path, const flashDevice::Bytes &content) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char *>(content.data()), static_cast<std::streamsize>(content.size()));
}

inline std::string readFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline flashDevice::Bytes readBytes(const std::string &path) {
  const std::string text = readFile(path);
  return flashDevice::Bytes(text.begin(), text.end());
}

/// The message of the exception of type E that f throws, or a marker when none is thrown.
template <typename E, typename F> std::string messageOf(F f) {
  try {
    f();
  } catch (const E &e) {
    return e.what();
  }
  return "<no exception>";
}

/// Bytes 0, 1, 2, ... (mod 256) starting at first.
inline flashDevice::Bytes sequence(std::size_t n, int first = 0) {
  flashDevice::Bytes bytes(n);
  for (std::size_t i = 0; i < n; ++i)
    bytes[i] = static_cast<std::uint8_t>(first + static_cast<int>(i));
  return bytes;
}

} // namespace vantrel::memory::test
