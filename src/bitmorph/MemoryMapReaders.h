// Pure readers of the converter's memory-map text: the serial flow's design size and the
// loader flow's two address ranges.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vantrel::bitmorph {

/// A memory map that lacks a line or field the loader reads, or holds a value that is not
/// a number; the message says which.
class MemoryMapException : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

/// The four addresses of the loader flow's memory map (inclusive ranges).
struct LoaderMap {
  std::int64_t imageStart = 0;
  std::int64_t imageEnd = 0;
  std::int64_t optionStart = 0;
  std::int64_t optionEnd = 0;
};

/// Design size from the serial flow's map: the first line holding "Page_0" (up to the next
/// line feed), split at white space; its third field, with every "0x" and the zeros after it
/// removed, is the page's inclusive end in hexadecimal; the size is that end + 1. -1 when
/// the line, the field or a hexadecimal value is missing ("0x0" included).
std::int64_t parseSerialMapDesignSize(std::string_view mapText);

/// The loader flow's addresses: line 2 fields 1 and 2 (image start, end), line 3 fields 2
/// and 3 (option-bit start, end); lines end at LF, CR or CR LF and count from 0; fields are
/// separated by runs of white space (leading white space gives an empty field 0).
/// Throws MemoryMapException naming what is missing or malformed.
LoaderMap parseLoaderMap(std::string_view mapText);

/// Decodes a number: optional sign, then "0x", "0X" or "#" for hexadecimal, a leading "0"
/// for octal, decimal otherwise; nothing when the text is not such a number or does not
/// fit 64 bits.
std::optional<std::int64_t> decodeNumber(std::string_view text);

} // namespace vantrel::bitmorph
