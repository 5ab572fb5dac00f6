// Test helper: builds SOF bytes with a chosen byte order, records and part name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel::bitmorph::test {

/// Assembles a SOF: signature, byte-order word, two ignored fields, then records.
class SofBuilder {
public:
  /// bigEndian: byte-order word 0x0001 and every field most significant byte first;
  /// otherwise word 0 and every later field little-endian.
  explicit SofBuilder(bool bigEndian = true, std::string signature = std::string("SOF\0", 4))
      : bigEndian_(bigEndian) {
    bytes_.assign(signature.begin(), signature.end());
    put16Big(bigEndian ? 0x0001 : 0x0000);
    put16(0x1234);
    put32(0x01020304);
  }

  /// Appends a record header and body.
  SofBuilder &record(std::uint16_t type, const std::string &body) {
    put16(type);
    put32(static_cast<std::uint32_t>(body.size()));
    bytes_.insert(bytes_.end(), body.begin(), body.end());
    return *this;
  }
  /// Appends a record header with a length of its own (the body is not appended).
  SofBuilder &header(std::uint16_t type, std::uint32_t length) {
    put16(type);
    put32(length);
    return *this;
  }
  /// Appends raw bytes.
  SofBuilder &raw(const std::string &text) {
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    return *this;
  }
  /// The part-name record (type 2).
  SofBuilder &partName(const std::string &name) { return record(2, name); }

  const std::vector<std::uint8_t> &bytes() const { return bytes_; }
  std::string text() const { return std::string(bytes_.begin(), bytes_.end()); }

private:
  void put16Big(std::uint16_t v) {
    bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
    bytes_.push_back(static_cast<std::uint8_t>(v & 0xFF));
  }
  void put16(std::uint16_t v) {
    if (bigEndian_) {
      put16Big(v);
    } else {
      bytes_.push_back(static_cast<std::uint8_t>(v & 0xFF));
      bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
    }
  }
  void put32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
      const int shift = bigEndian_ ? (24 - 8 * i) : (8 * i);
      bytes_.push_back(static_cast<std::uint8_t>((v >> shift) & 0xFF));
    }
  }

  bool bigEndian_;
  std::vector<std::uint8_t> bytes_;
};

} // namespace vantrel::bitmorph::test
