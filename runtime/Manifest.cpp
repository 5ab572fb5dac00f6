// Reader of a jar manifest's main section (META-INF/MANIFEST.MF).
#include "Manifest.h"

#include <vector>

namespace vantrel::runtime {

std::map<std::string, std::string> parseManifest(const std::string &text) {
  // Lines end in CR LF, LF or CR alike.
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);

  std::map<std::string, std::string> attributes;
  std::string *last = nullptr;
  for (const std::string &l : lines) {
    if (l.empty()) break;
    if (l[0] == ' ') {
      if (last) *last += l.substr(1);
      continue;
    }
    const std::size_t colon = l.find(": ");
    if (colon == std::string::npos || colon == 0) {
      last = nullptr;
      continue;
    }
    last = &(attributes[l.substr(0, colon)] = l.substr(colon + 2));
  }
  return attributes;
}

} // namespace vantrel::runtime
