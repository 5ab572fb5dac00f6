// Test helper: an independent S-record decoder, the fake converter's image bytes, and lines.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vantrel::bitmorph::test {

/// Decodes an S-record file: the S0 header text and the data bytes by address.
struct SrecordContent {
  std::string header;
  bool hasHeader = false;
  std::map<std::uint64_t, std::uint8_t> bytes;
  bool wellFormed = true;
};
SrecordContent decodeSrecords(const std::string &text);

/// The fake converter's image bytes: byte i is (7 i + 3) mod 256.
std::string fakeImage(std::size_t size);

/// Lines of a text (LF or CR LF), without their ends.
std::vector<std::string> splitLines(const std::string &text);

} // namespace vantrel::bitmorph::test
