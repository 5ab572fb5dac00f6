// Parsing of the two memory-map layouts the converter writes.
#include "bitmorph/MemoryMapReaders.h"

#include "bitmorph/Messages.h"
#include "commandApplication/NumberDecoding.h"

#include <vector>

namespace vantrel::bitmorph {

namespace {

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

/// Fields separated by runs of white space; a leading run gives an empty first field and
/// trailing runs give nothing.
std::vector<std::string> splitFields(std::string_view line) {
  std::vector<std::string> fields;
  std::size_t i = 0;
  if (!line.empty() && isSpace(line[0])) {
    fields.emplace_back();
    while (i < line.size() && isSpace(line[i]))
      ++i;
  }
  while (i < line.size()) {
    const std::size_t start = i;
    while (i < line.size() && !isSpace(line[i]))
      ++i;
    fields.emplace_back(line.substr(start, i - start));
    while (i < line.size() && isSpace(line[i]))
      ++i;
  }
  return fields;
}

/// Lines ended by LF, CR or CR LF.
std::vector<std::string_view> splitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' || text[i] == '\r') {
      lines.push_back(text.substr(start, i - start));
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

std::string fieldOf(const std::vector<std::string_view> &lines, std::size_t line, std::size_t field) {
  if (line >= lines.size()) {
    throw MemoryMapException(messages::MAP_LINE_MISSING + std::to_string(line));
  }
  const auto fields = splitFields(lines[line]);
  if (field >= fields.size()) {
    throw MemoryMapException(messages::MAP_FIELD_MISSING_LINE + std::to_string(line) +
                             messages::MAP_FIELD_MISSING_FIELD + std::to_string(field));
  }
  return fields[field];
}

std::int64_t numberAt(const std::vector<std::string_view> &lines, std::size_t line, std::size_t field) {
  const std::string text = fieldOf(lines, line, field);
  const auto value = decodeNumber(text);
  if (!value) throw MemoryMapException(messages::MAP_NOT_A_NUMBER + text);
  return *value;
}

} // namespace

std::optional<std::int64_t> decodeNumber(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  unsigned radix = 10;
  if (text.substr(0, 2) == "0x" || text.substr(0, 2) == "0X") {
    radix = 16;
    text.remove_prefix(2);
  } else if (text.substr(0, 1) == "#") {
    radix = 16;
    text.remove_prefix(1);
  } else if (text.size() > 1 && text[0] == '0') {
    radix = 8;
    text.remove_prefix(1);
  }
  const std::uint64_t limit = negative ? (std::uint64_t{1} << 63) : (std::uint64_t{1} << 63) - 1;
  const auto magnitude = commandApplication::decodeDigits(text, radix, limit);
  if (!magnitude) return std::nullopt;
  if (negative) {
    // Two's complement of the magnitude: also right for the most negative value.
    return static_cast<std::int64_t>(~*magnitude + 1);
  }
  return static_cast<std::int64_t>(*magnitude);
}

std::int64_t parseSerialMapDesignSize(std::string_view mapText) {
  const std::size_t at = mapText.find("Page_0");
  if (at == std::string_view::npos) return -1;
  std::string_view line = mapText.substr(at);
  line = line.substr(0, line.find('\n'));
  const auto fields = splitFields(line);
  if (fields.size() < 3) return -1;
  // The end field reads "0x" + hexadecimal digits; drop the prefix and the zeros after it.
  std::string digits;
  const std::string &end = fields[2];
  for (std::size_t i = 0; i < end.size();) {
    if (end.compare(i, 2, "0x") == 0) {
      i += 2;
      while (i < end.size() && end[i] == '0')
        ++i;
    } else {
      digits += end[i++];
    }
  }
  // An inclusive end beyond 2^62 is no design that fits any flash; refuse it with the rest.
  const auto value = commandApplication::decodeDigits(digits, 16, std::uint64_t{1} << 62);
  if (!value) return -1;
  return static_cast<std::int64_t>(*value) + 1;
}

LoaderMap parseLoaderMap(std::string_view mapText) {
  const auto lines = splitLines(mapText);
  LoaderMap map;
  map.imageStart = numberAt(lines, 2, 1);
  map.imageEnd = numberAt(lines, 2, 2);
  map.optionStart = numberAt(lines, 3, 2);
  map.optionEnd = numberAt(lines, 3, 3);
  return map;
}

} // namespace vantrel::bitmorph
