// Reader of ZIP archives (jars): the central directory, stored and deflated entries, CRC checks.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::runtime {

/// One archive held in memory; entries are inflated on request with zlib.
class ZipArchive {
public:
  /// Largest entry this reader inflates; a larger one is reported as an error rather than
  /// trusted, so a forged size cannot make the runtime allocate gigabytes.
  static constexpr std::uint32_t MAX_ENTRY_SIZE = 256u << 20;

  /// Reads and indexes the archive at path; nullptr with a reason in error when the file
  /// cannot be read or is not a well-formed ZIP archive.
  static std::unique_ptr<ZipArchive> open(const std::string &path, std::string &error);

  /// Indexes an archive already in memory (used by open and by tests).
  static std::unique_ptr<ZipArchive> fromBytes(std::vector<std::uint8_t> bytes, std::string &error);

  /// True when the archive has an entry of exactly this name.
  bool contains(const std::string &name) const { return entries_.count(name) != 0; }

  /// The uncompressed bytes of an entry. Nothing when the entry is missing (error stays
  /// empty) or when it is damaged or uses an unsupported method (error says why).
  std::optional<std::vector<std::uint8_t>> read(const std::string &name, std::string &error) const;

  /// Entry names in name order.
  std::vector<std::string> names() const;

private:
  struct Entry {
    std::uint16_t flags = 0;
    std::uint16_t method = 0;
    std::uint32_t crc = 0;
    std::uint32_t compressedSize = 0;
    std::uint32_t size = 0;
    std::uint32_t localOffset = 0;
  };
  std::vector<std::uint8_t> bytes_;
  std::map<std::string, Entry> entries_;
};

} // namespace vantrel::runtime
