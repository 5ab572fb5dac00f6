// An S-record decoder written apart from the memory library, so tests judge its output.
#include "SrecordDecoder.h"

namespace vantrel::bitmorph::test {

std::vector<std::string> splitLines(const std::string &text) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  while (from < text.size()) {
    std::size_t at = text.find('\n', from);
    if (at == std::string::npos) at = text.size();
    std::string line = text.substr(from, at - from);
    // Console text from a Windows program may carry more than one CR before the LF.
    while (!line.empty() && line.back() == '\r')
      line.pop_back();
    lines.push_back(line);
    from = at + 1;
  }
  return lines;
}

SrecordContent decodeSrecords(const std::string &text) {
  SrecordContent content;
  for (const auto &line : splitLines(text)) {
    if (line.empty()) continue;
    if (line.size() < 4 || line[0] != 'S') {
      content.wellFormed = false;
      continue;
    }
    const char type = line[1];
    const int addressBytes = type == '0' || type == '1' ? 2 : type == '2' ? 3 : type == '3' ? 4 : 0;
    if (addressBytes == 0) continue;
    const auto byteAt = [&](std::size_t i) {
      return static_cast<std::uint8_t>(std::stoi(line.substr(2 + 2 * i, 2), nullptr, 16));
    };
    const std::size_t count = byteAt(0);
    if (line.size() != 4 + 2 * count) {
      content.wellFormed = false;
      continue;
    }
    unsigned sum = 0;
    for (std::size_t i = 0; i <= count; ++i)
      sum += byteAt(i);
    if ((sum & 0xFF) != 0xFF) content.wellFormed = false;
    std::uint64_t address = 0;
    for (int i = 0; i < addressBytes; ++i)
      address = (address << 8) | byteAt(1 + static_cast<std::size_t>(i));
    const std::size_t first = 1 + static_cast<std::size_t>(addressBytes);
    if (type == '0') {
      content.hasHeader = true;
      for (std::size_t i = first; i < count; ++i)
        content.header.push_back(static_cast<char>(byteAt(i)));
    } else {
      for (std::size_t i = first; i < count; ++i)
        content.bytes[address + (i - first)] = byteAt(i);
    }
  }
  return content;
}

std::string fakeImage(std::size_t size) {
  std::string bytes;
  for (std::size_t i = 0; i < size; ++i)
    bytes.push_back(static_cast<char>((i * 7 + 3) & 0xFF));
  return bytes;
}

} // namespace vantrel::bitmorph::test
