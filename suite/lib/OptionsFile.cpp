// Options-file reader.
#include "OptionsFile.h"

#include <string>

#include "Messages.h"

namespace vantrel::suite {

namespace {
std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
    s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
    s.remove_suffix(1);
  return s;
}
std::string upper(std::string_view s) {
  std::string u(s);
  for (char &c : u) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return u;
}
} // namespace

Result<ConverterOptions> parseOptionsFile(std::string_view text) {
  using R = Result<ConverterOptions>;
  ConverterOptions options;
  std::size_t pos = 0;
  int lineNo = 0;
  while (pos < text.size()) {
    std::size_t eol = text.find_first_of("\r\n", pos);
    if (eol == std::string_view::npos) eol = text.size();
    const std::string_view line = trim(text.substr(pos, eol - pos));
    pos = eol + 1;
    if (eol + 1 < text.size() && text[eol] == '\r' && text[eol + 1] == '\n') ++pos;
    ++lineNo;
    if (line.empty()) continue;
    const std::string where = "line " + std::to_string(lineNo) + " ";
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return R::failure(where + msg::OPTIONS_BAD_LINE);
    const std::string_view key = trim(line.substr(0, eq));
    const std::string value = upper(trim(line.substr(eq + 1)));
    if (value != "ON" && value != "OFF") return R::failure(where + msg::OPTIONS_BAD_LINE);
    if (key == "BITSTREAM_COMPRESSION")
      options.compression = value == "ON";
    else if (key == "MEMORY_MAP_FILE")
      options.memoryMap = value == "ON";
    else
      return R::failure(where + msg::OPTIONS_UNKNOWN + std::string(key));
  }
  return R::success(options);
}

} // namespace vantrel::suite
