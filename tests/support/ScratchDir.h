// Test helper shared by every area: a fresh scratch folder per test, removed with its files
// afterwards.
#pragma once

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace vantrel::testing {

class ScratchDir {
public:
  ScratchDir() {
    std::random_device rd;
    path_ =
        std::filesystem::temp_directory_path() / ("bm-test-" + std::to_string(rd()) + std::to_string(rd()));
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

  /// Names of the entries the folder holds, sorted.
  std::vector<std::string> list() const {
    std::vector<std::string> names;
    for (auto &entry : std::filesystem::directory_iterator(path_))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  /// How many entries the folder holds.
  std::size_t count() const { return list().size(); }

private:
  std::filesystem::path path_;
};

} // namespace vantrel::testing
