// One S-record: construction, typed queries, header text encoding and formatting.
#include "memory/Srec.h"

#include "memory/IllegalAttributeRequestException.h"
#include "memory/MemoryMessages.h"
#include "memory/RecordException.h"
#include "memory/SrecordLine.h"

#include "hostText/Utf8.h"

#include <stdexcept>

namespace vantrel::memory {

namespace {

/// Length of the character at text[i]: a lead byte with all the continuation bytes it
/// announces, else a single byte. (Only the shape counts: an overlong form is one
/// character, shown as one '?'.)
std::size_t characterLength(const std::string &text, std::size_t i) {
  const std::size_t n = hostText::utf8SequenceLength(static_cast<unsigned char>(text[i]));
  if (n <= 1 || i + n > text.size()) return 1;
  for (std::size_t k = 1; k < n; ++k)
    if (!hostText::isUtf8Continuation(static_cast<unsigned char>(text[i + k]))) return 1;
  return n;
}

void checkFits(int addrLen, std::size_t n) {
  // The count byte holds address, data and checksum together.
  if (static_cast<std::size_t>(addrLen) + n + 1 > 255)
    throw std::invalid_argument(std::string(messages::RECORD_TOO_LONG) + std::to_string(n));
}

} // namespace

Srec::Srec(std::string_view line) {
  SrecordLine parsed;
  if (!parseSrecordLine(line, parsed)) throw InvalidDataRecordException(messages::BAD_SREC);
  srecType_ = {'S', parsed.type};
  addrLen_ = parsed.addrLen;
  baseAddr_ = parsed.address;
  // Only header and data records carry bytes; the extra bytes of other types are ignored.
  if (parsed.type <= '3') srecData_ = Bytes(parsed.data, parsed.data + parsed.dataLen);
}

Srec::Srec(const std::string &type, std::uint32_t addr, const OptionalBytes &data) {
  setType(type);
  baseAddr_ = addr;
  if (data && isValid()) checkFits(addrLen_, data->size());
  srecData_ = data;
}

Srec::Srec(const std::string &type, std::uint32_t value) : Srec(type, value, std::nullopt) {}

Srec::Srec(const std::string &type, const std::string &header) {
  if (characterCount(header) > 252)
    throw std::invalid_argument(std::string(messages::RECORD_TOO_LONG) +
                                std::to_string(characterCount(header)));
  setType(type);
  baseAddr_ = 0;
  srecData_ = encodeHeader(header);
}

void Srec::setType(const std::string &type) {
  const int width = type.size() == 2 && type[0] == 'S' ? srecordAddressWidth(type[1]) : 0;
  addrLen_ = width;
  if (width != 0) srecType_ = type;
}

Srec Srec::createHeader(const std::string &header) {
  return Srec("S0", header);
}
Srec Srec::createData(std::uint32_t addr, const Bytes &data) {
  return Srec("S3", addr, data);
}
Srec Srec::createCount(std::uint32_t count) {
  return Srec("S5", count);
}
Srec Srec::createStart(std::uint32_t addr) {
  return Srec("S7", addr);
}

bool Srec::hasAddr() const {
  return srecType_ == "S1" || srecType_ == "S2" || srecType_ == "S3";
}
bool Srec::hasStart() const {
  return srecType_ == "S7" || srecType_ == "S8" || srecType_ == "S9";
}
bool Srec::hasCount() const {
  return srecType_ == "S5";
}
bool Srec::hasHeader() const {
  return srecType_ == "S0";
}
bool Srec::hasData() const {
  return hasAddr() && srecData_.has_value();
}

std::uint32_t Srec::getAddr() const {
  if (!hasAddr()) throw IllegalAttributeRequestException(messages::NO_ADDRESS);
  return baseAddr_;
}

std::uint32_t Srec::getStart() const {
  if (!hasStart()) throw IllegalAttributeRequestException(messages::NO_START);
  return baseAddr_;
}

std::uint32_t Srec::getCount() const {
  if (!hasCount()) throw IllegalAttributeRequestException(messages::NO_COUNT);
  return baseAddr_;
}

std::string Srec::getHeader() const {
  if (!hasHeader()) throw IllegalAttributeRequestException(messages::NO_HEADER);
  return srecData_ ? decodeHeader(*srecData_) : std::string();
}

const Bytes &Srec::getData() const {
  if (!hasData()) throw IllegalAttributeRequestException(messages::NO_DATA);
  return *srecData_;
}

std::string Srec::toString() const {
  if (!isValid()) throw IllegalAttributeRequestException(messages::NO_VALID_TYPE);
  const std::size_t n = srecData_ ? srecData_->size() : 0;
  std::string line(4 + 2 * (static_cast<std::size_t>(addrLen_) + n + 1), '\0');
  const std::size_t length = formatRecord(line.data(), srecType_[1], addrLen_, baseAddr_,
                                          srecData_ ? srecData_->data() : nullptr, n);
  line.resize(length);
  return line;
}

Bytes Srec::encodeHeader(const std::string &text) {
  Bytes bytes;
  bytes.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = characterLength(text, i);
    const auto c = static_cast<unsigned char>(text[i]);
    bytes.push_back(n == 1 && c < 0x80 ? c : static_cast<std::uint8_t>('?'));
    i += n;
  }
  return bytes;
}

std::string Srec::decodeHeader(const Bytes &bytes) {
  std::string text;
  text.reserve(bytes.size());
  // Each byte is the Latin-1 character of its value.
  for (std::uint8_t b : bytes)
    hostText::appendUtf8(text, b);
  return text;
}

std::size_t Srec::characterCount(const std::string &text) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); i += characterLength(text, i))
    ++count;
  return count;
}

std::string Srec::firstCharacters(const std::string &text, std::size_t n) {
  std::size_t i = 0;
  for (std::size_t count = 0; i < text.size() && count < n; ++count)
    i += characterLength(text, i);
  return text.substr(0, i);
}

} // namespace vantrel::memory
