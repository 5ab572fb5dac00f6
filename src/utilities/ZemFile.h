// File helpers of the utilities: write a text file only when its content changes, append,
// read a whole file, and a file's modification time.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::utilities {

/// Static file operations; the class has no instances. Text is bytes: no re-encoding and
/// no line-end conversion in either direction.
class ZemFile {
public:
  ZemFile() = delete;

  /// writeFileX: true when it completed, false when it failed for any reason.
  static bool writeFile(const std::string &path, const std::string &text);

  /// Makes the file hold exactly text. When it already does, nothing is touched (its
  /// modification time stays). Otherwise the text is written under a temporary name
  /// beside it and renamed into place, so a failed write leaves the old file as it was.
  /// Throws IoError when the file cannot be written.
  static void writeFileX(const std::string &path, const std::string &text);

  /// appendFileX: true when it completed, false when it failed for any reason.
  static bool appendFile(const std::string &path, const std::string &text);

  /// Appends text at the end of the file, creating it when missing. Throws IoError.
  static void appendFileX(const std::string &path, const std::string &text);

  /// The whole file; nothing when it cannot be opened or read (a missing file gives
  /// nothing, not an empty text).
  static std::optional<std::string> readFile(const std::string &path);

  /// The whole file as bytes; nothing when it cannot be opened or read.
  static std::optional<std::vector<std::uint8_t>> readFileBytes(const std::string &path);

  /// Last modification time in milliseconds since 1970-01-01 00:00 UTC; 0 when the file
  /// does not exist.
  static std::int64_t getModifiedDate(const std::string &path);
};

} // namespace vantrel::utilities
