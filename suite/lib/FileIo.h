// Whole-file reads and a set of outputs that appear together or not at all.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::suite {

/// The whole file as bytes (in a string); nothing when it cannot be opened or read.
std::optional<std::string> readFileBytes(const std::string &path);

/// Removes a file if it exists; errors are ignored.
void removeQuietly(const std::string &path);

/// Outputs of one conversion. Each is written to a temporary name beside its destination
/// and renamed into place only when every one of them was written, so a failed
/// conversion leaves no partial output behind.
class OutputSet {
public:
  /// Adds a binary output.
  void addBinary(const std::string &path, std::vector<std::uint8_t> bytes);
  /// Adds a text output; its "\n" line ends become the platform's line separator.
  void addText(const std::string &path, std::string text);
  /// Writes and renames every output; on any failure removes what it wrote and throws
  /// SuiteError(CANNOT_WRITE + path).
  void commit();

private:
  struct Entry {
    std::string path;
    std::string bytes;
    bool text;
  };
  std::vector<Entry> entries_;
};

} // namespace vantrel::suite
