// Fuzz target: the memory-map readers of the serial flow (design size from the Page_0
// line) and of the loader flow (two address ranges), and their number decoding, each
// checked against the reading rules restated plainly.
//
// Input format: the map file's text exactly as it would be on disk.
#include "FuzzCheck.h"
#include "NumberReference.h"
#include "bitmorph/MemoryMapReaders.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using fuzzing::check;
using fuzzing::magnitude;
using fuzzing::referenceNumber;
using vantrel::bitmorph::decodeNumber;
using vantrel::bitmorph::LoaderMap;
using vantrel::bitmorph::MemoryMapException;

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

/// Fields at runs of white space; leading white space gives an empty first field.
std::vector<std::string_view> fields(std::string_view line) {
  std::vector<std::string_view> out;
  std::size_t i = 0;
  if (!line.empty() && isBlank(line[0])) out.emplace_back();
  while (i < line.size()) {
    while (i < line.size() && isBlank(line[i]))
      ++i;
    if (i == line.size()) break;
    const std::size_t b = i;
    while (i < line.size() && !isBlank(line[i]))
      ++i;
    out.push_back(line.substr(b, i - b));
  }
  return out;
}

/// The serial map's design size: the Page_0 line's third field without any "0x" and the
/// zeros after it, in hexadecimal, plus one; -1 when anything is missing.
std::int64_t referenceDesignSize(std::string_view text) {
  const std::size_t at = text.find("Page_0");
  if (at == std::string_view::npos) return -1;
  std::string_view line = text.substr(at);
  line = line.substr(0, line.find('\n'));
  const auto f = fields(line);
  if (f.size() < 3) return -1;
  std::string digits;
  const std::string_view end = f[2];
  for (std::size_t i = 0; i < end.size();) {
    if (end.substr(i, 2) == "0x") {
      i += 2;
      while (i < end.size() && end[i] == '0')
        ++i;
    } else {
      digits += end[i++];
    }
  }
  // Ends beyond 2^62 are refused like values that do not parse.
  const auto v = magnitude(digits, 16, std::uint64_t{1} << 62);
  if (!v) return -1;
  return static_cast<std::int64_t>(*v) + 1;
}

std::vector<std::string_view> lines(std::string_view text) {
  std::vector<std::string_view> out;
  std::size_t b = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' || text[i] == '\r') {
      out.push_back(text.substr(b, i - b));
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      b = i + 1;
    }
  }
  if (b < text.size()) out.push_back(text.substr(b));
  return out;
}

/// The loader map's four numbers, or nothing when a line, a field or a number is missing.
std::optional<LoaderMap> referenceLoaderMap(std::string_view text) {
  const auto ls = lines(text);
  auto number = [&](std::size_t line, std::size_t field) -> std::optional<std::int64_t> {
    if (line >= ls.size()) return std::nullopt;
    const auto f = fields(ls[line]);
    if (field >= f.size()) return std::nullopt;
    return referenceNumber(f[field]);
  };
  const auto a = number(2, 1), b = number(2, 2), c = number(3, 2), d = number(3, 3);
  if (!a || !b || !c || !d) return std::nullopt;
  return LoaderMap{*a, *b, *c, *d};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char *>(data), size);

  check(vantrel::bitmorph::parseSerialMapDesignSize(text) == referenceDesignSize(text), "serial design size",
        vantrel::bitmorph::parseSerialMapDesignSize(text), referenceDesignSize(text));

  const auto want = referenceLoaderMap(text);
  try {
    const LoaderMap got = vantrel::bitmorph::parseLoaderMap(text);
    check(want.has_value(), "loader map accepted where a field is missing or bad");
    check(got.imageStart == want->imageStart && got.imageEnd == want->imageEnd &&
              got.optionStart == want->optionStart && got.optionEnd == want->optionEnd,
          "loader map addresses");
  } catch (const MemoryMapException &e) {
    check(!want.has_value(), "loader map refused");
    check(std::string(e.what()).size() > 0, "loader map error has a message");
  }

  // Every field of the text, and the whole text, as a number.
  for (std::string_view token : fields(text))
    check(decodeNumber(token) == referenceNumber(token), "decodeNumber of a field");
  check(decodeNumber(text) == referenceNumber(text), "decodeNumber of the text");
  return 0;
}
