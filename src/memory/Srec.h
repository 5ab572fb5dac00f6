// One S-record: parsed from a line of text, or built and formatted as one.
#pragma once

#include "flashDevice/Bytes.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vantrel::memory {

using flashDevice::Bytes;
using flashDevice::OptionalBytes;

/// One S-record of type S0 (header), S1/S2/S3 (data with a 2-, 3- or 4-byte address), S5
/// (record count) or S7/S8/S9 (start address with a 4-, 3- or 2-byte field).
///
/// Texts are UTF-8. A header is built in 7-bit ASCII, each character outside it becoming
/// "?"; a header read back turns each byte into the character with that code (Latin-1).
class Srec {
public:
  /// Parses one line (without its separator); InvalidDataRecordException "Bad SREC file"
  /// when it is not a well-formed record.
  explicit Srec(std::string_view line);
  /// A record of type with this address (or value) and data (which may be null). A type
  /// outside the eight gives a record whose isValid() is false. Data too long for the
  /// count byte is an invalid-argument error.
  Srec(const std::string &type, std::uint32_t addr, const OptionalBytes &data);
  /// A record with no data: the count of S5, the start address of S7/S8/S9.
  Srec(const std::string &type, std::uint32_t value);
  /// A header record: address 0, data = header encoded in ASCII ("?" for other
  /// characters). A header longer than 252 characters is an invalid-argument error.
  Srec(const std::string &type, const std::string &header);

  /// An S0 header record carrying header.
  static Srec createHeader(const std::string &header);
  /// An S3 data record at addr.
  static Srec createData(std::uint32_t addr, const Bytes &data);
  /// An S5 count record.
  static Srec createCount(std::uint32_t count);
  /// An S7 start-address record.
  static Srec createStart(std::uint32_t addr);

  /// True when the type is one of the eight record types.
  bool isValid() const { return addrLen_ != 0; }
  /// True for S1, S2, S3.
  bool hasAddr() const;
  /// The load address; IllegalAttributeRequestException unless hasAddr().
  std::uint32_t getAddr() const;
  /// True for S7, S8, S9.
  bool hasStart() const;
  /// The start address; IllegalAttributeRequestException unless hasStart().
  std::uint32_t getStart() const;
  /// True for S5.
  bool hasCount() const;
  /// The count; IllegalAttributeRequestException unless hasCount().
  std::uint32_t getCount() const;
  /// True for S0.
  bool hasHeader() const;
  /// The header text (Latin-1 bytes as UTF-8); IllegalAttributeRequestException unless S0.
  std::string getHeader() const;
  /// True for S1, S2, S3 whose data is present (possibly empty).
  bool hasData() const;
  /// The data bytes; IllegalAttributeRequestException unless hasData().
  const Bytes &getData() const;
  /// The record type ("S0".."S9"); empty for a record that is not valid.
  const std::string &getType() const { return srecType_; }
  /// The record as one line, upper-case hexadecimal, without a line separator.
  std::string toString() const;

  /// The header text as ASCII bytes: each UTF-8 character outside ASCII becomes "?".
  static Bytes encodeHeader(const std::string &text);
  /// Bytes read as Latin-1 characters, given back as UTF-8 text.
  static std::string decodeHeader(const Bytes &bytes);
  /// Number of characters (UTF-8 code points) in text.
  static std::size_t characterCount(const std::string &text);
  /// The first n characters (UTF-8 code points) of text.
  static std::string firstCharacters(const std::string &text, std::size_t n);

private:
  Srec() = default;
  void setType(const std::string &type);

  std::string srecType_;
  std::uint32_t baseAddr_ = 0;
  int addrLen_ = 0;
  OptionalBytes srecData_;
};

} // namespace vantrel::memory
