// The flash image the conversion builds: an S-record image always written with a header.
#pragma once

#include "memory/SrecordMemory.h"

#include <memory>
#include <optional>

namespace vantrel::memory {

/// Wraps one SrecordMemory, created with a window or by a single read, and writes it with
/// a header record taken from a file name or a given text (its last path component, at
/// most MAX_SREC_HEADER_LENGTH characters).
class FlashDataMemory {
public:
  /// Longest header text written.
  static constexpr std::size_t MAX_SREC_HEADER_LENGTH = 30;

  /// A wrapper with no image; read supplies one.
  explicit FlashDataMemory(const std::string &name);
  /// A wrapper holding SrecordMemory(base, end, name).
  FlashDataMemory(std::int64_t base, std::int64_t end, const std::string &name);

  /// The image's add (clip, replace, join); its result. Null, nothing stored, without an
  /// image.
  OptionalBytes add(std::int64_t addr, const Bytes &data);
  /// The same, taking over data's storage.
  OptionalBytes add(std::int64_t addr, Bytes &&data);
  /// The same for an array that may be null.
  OptionalBytes add(std::int64_t addr, const OptionalBytes &data);
  /// The image's add of a run, taking its storage over (SegmentedMemory::add); run is left
  /// empty either way.
  OptionalBytes add(std::int64_t addr, Segment &&run);
  /// The image's window bounds; -1 without an image.
  std::int64_t base() const;
  std::int64_t end() const;
  /// Drops the image itself.
  void clear() { myMemory_.reset(); }
  /// The image's copy; false without an image.
  bool copy(const Memory *other);
  /// The image's reads; null without an image.
  OptionalBytes get(std::int64_t addr) const;
  OptionalBytes get(SegmentKey key) const;
  OptionalBytes get(std::int64_t addr, std::int64_t len) const;
  /// The segment's address; -1 without an image.
  std::int64_t getAddr(SegmentKey key) const;
  /// The image's name; nothing without an image.
  std::optional<std::string> getName() const;
  /// The image's has; false without an image.
  bool has(std::int64_t addr) const;
  /// The image's intersection; 0 without an image.
  std::int64_t intersection(std::int64_t addr, std::int64_t len) const;
  /// The image's isEmpty; true without an image.
  bool isEmpty() const;
  /// The image's keys; nothing without an image.
  std::optional<std::vector<SegmentKey>> iterator() const;
  /// Highest address holding data, -1 for an empty image. Needs an image (logic_error).
  std::int64_t getLastDataAddr() const;
  /// The image's total. Needs an image (logic_error).
  std::int64_t estimateSize() const;
  /// Creates the image (window 0..0x7FFFFFFF, no name) from the S-record file and returns
  /// it; RWMemoryException "Can't read into pre-defined flash memory" when the wrapper
  /// already holds an image (which stays unchanged).
  SrecordMemory &read(const std::string &file);
  /// Writes the image with the file's own name as header; false without an image or when
  /// the file cannot be written completely.
  bool write(const std::string &file);
  /// Writes the image with header text taken from header.
  bool write(const std::string &file, const std::string &header);
  /// Why the last write failed when the OS refused it (SrecordMemory::getWriteFailure).
  std::optional<std::string> getWriteFailure() const;
  /// "FLASH: " and the image's text. Needs an image (logic_error).
  std::string toString() const;

  /// The header text a path gives: its last component (cut at the host's separators: '\'
  /// and '/' on Windows, '/' only elsewhere), cut to MAX_SREC_HEADER_LENGTH characters.
  static std::string headerText(const std::string &path);

private:
  const SrecordMemory &image() const;

  std::string flashName_;
  std::unique_ptr<SrecordMemory> myMemory_;
};

} // namespace vantrel::memory
