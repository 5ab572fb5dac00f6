// A fresh scratch folder per test, removed with its files afterwards.
#pragma once

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace vantrel::testing {

class TestDir {
public:
  TestDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() / ("bm-test-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_);
  }
  ~TestDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TestDir(const TestDir &) = delete;
  TestDir &operator=(const TestDir &) = delete;

  /// The full path of name inside the folder.
  std::string file(const std::string &name) const { return (path_ / name).string(); }
  const std::filesystem::path &path() const { return path_; }

  /// Names of the files the folder holds.
  std::vector<std::string> list() const {
    std::vector<std::string> names;
    for (auto &entry : std::filesystem::directory_iterator(path_))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

private:
  std::filesystem::path path_;
};

} // namespace vantrel::testing
