// A fresh scratch folder per test, removed with its files afterwards.
#pragma once

#include <filesystem>
#include <random>
#include <string>

namespace vantrel::testing {

class ScratchDir {
public:
  ScratchDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() / ("bm-utilities-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  ScratchDir(const ScratchDir &) = delete;
  ScratchDir &operator=(const ScratchDir &) = delete;

  /// The full path of name inside the folder.
  std::string file(const std::string &name) const { return (path_ / name).string(); }
  const std::filesystem::path &path() const { return path_; }

  /// How many entries the folder holds.
  std::size_t count() const {
    std::size_t n = 0;
    for (auto it = std::filesystem::directory_iterator(path_); it != std::filesystem::directory_iterator(); ++it)
      ++n;
    return n;
  }

private:
  std::filesystem::path path_;
};

} // namespace vantrel::testing
