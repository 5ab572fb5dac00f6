// Fuzz target: the text conversions at the system's boundaries. UTF-16 (lone surrogates
// included, as Windows names may hold them) survives a trip through UTF-8; valid UTF-8
// survives a trip through UTF-16; bytes without NUL and without a surrogate pair already in
// three-byte forms survive a trip through modified UTF-8, which never holds a NUL byte or a
// four-byte sequence.
//
// Input format: the bytes as UTF-8 text, and the same bytes read as UTF-16 code units, low
// byte first (an odd last byte is dropped).
#include "FuzzCheck.h"
#include "hostText/ModifiedUtf8.h"
#include "hostText/Utf16.h"
#include "hostText/Utf8.h"

#include <cstdint>
#include <string>

using namespace vantrel::hostText;
using fuzzing::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string text(reinterpret_cast<const char *>(data), size);
  std::u16string units;
  for (std::size_t i = 0; i + 1 < size; i += 2)
    units.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));

  check(utf8ToUtf16(utf16ToUtf8(units)) == units, "UTF-16 through UTF-8",
        static_cast<std::int64_t>(units.size()));
  if (isValidUtf8(text)) check(utf16ToUtf8(utf8ToUtf16(text)) == text, "valid UTF-8 through UTF-16");
  // Every well-formed sequence stays one character: no value is lost or split.
  const std::u16string converted = utf8ToUtf16(text);
  check(converted.size() <= text.size(), "UTF-16 is never longer in units than UTF-8 in bytes");

  // NUL keeps its two-byte form coming back (no name or argument holds NUL), and a pair of
  // surrogates already in three-byte forms is joined: any other bytes come back as they were.
  const std::string modified = toModifiedUtf8(text);
  if (text.find('\0') == std::string::npos && toStandardUtf8(text) == text) {
    check(toStandardUtf8(modified) == text, "bytes through modified UTF-8");
  }
  if (isValidUtf8(text)) {
    check(modified.find('\0') == std::string::npos, "modified UTF-8 holds no NUL byte");
    for (unsigned char byte : modified)
      check(utf8SequenceLength(byte) != 4, "modified UTF-8 holds no four-byte sequence", byte);
  }
  return 0;
}
