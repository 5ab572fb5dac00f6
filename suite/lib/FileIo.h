// Whole-file reads and a set of outputs that appear together or not at all. Paths are
// UTF-8 on every OS; the files are opened through the platform layer, so any name the OS
// allows can be read and written (on Windows through the wide calls).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Result.h"

namespace vantrel::suite {

/// The whole file as bytes (in a string); nothing when it cannot be opened or read.
std::optional<std::string> readFileBytes(const std::string &path);

/// The whole file as bytes, or the failure CANNOT_READ + path.
Result<std::string> readInputFile(const std::string &path);

/// A whole input file's bytes, held by keeper (a view of the file, or a copy of it read
/// into memory) for as long as the object or a copy of it lives.
struct InputBytes {
  std::shared_ptr<const void> keeper;
  std::string_view bytes;
};

/// The whole file: a view of it where the OS maps it (no copy, no fresh memory), its bytes
/// read into memory otherwise; the failure CANNOT_READ + path.
Result<InputBytes> readInputBytes(const std::string &path);

/// Removes a file if it exists; errors are ignored.
void removeQuietly(const std::string &path);

/// Outputs of one conversion. Each is written to a temporary name beside its destination
/// (the destination + ".partial~") and renamed into place only when every one of them was
/// written, so a failed conversion leaves no partial output behind. The temporary names
/// are registered for the clean-up of an interrupted run while they exist.
class OutputSet {
public:
  /// Adds a binary output.
  void addBinary(const std::string &path, std::vector<std::uint8_t> bytes);
  /// Adds a binary output of head followed by tail, bytes the caller keeps unchanged until
  /// commit returns: they are written from where they lie, never copied.
  void addBinary(const std::string &path, std::vector<std::uint8_t> head, std::string_view tail);
  /// Adds a text output; its "\n" line ends become the platform's line separator.
  void addText(const std::string &path, std::string text);
  /// Writes and renames every output; on any failure removes what it wrote and fails
  /// with CANNOT_WRITE + the path of the output that could not be written.
  Status commit();

private:
  struct Entry {
    std::string path;
    std::string text;                 // a text output, line ends already converted
    std::vector<std::uint8_t> binary; // a binary output, or its head
    std::string_view tail;            // written after binary, from the caller's bytes
  };
  /// Writes e's pieces to path; false on any error.
  static bool writeEntry(const std::string &path, const Entry &e);
  std::vector<Entry> entries_;
};

} // namespace vantrel::suite
