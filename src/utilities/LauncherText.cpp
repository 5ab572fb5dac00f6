// Text work of the process runner: blank splitting, the line filter and line taking.
#include "utilities/LauncherText.h"

#include "utilities/UtilitiesMessages.h"

namespace vantrel::utilities {

namespace {

bool isBreak(char c) {
  return c == '\r' || c == '\n';
}

/// Splits at every separator and drops the empty pieces at the end.
std::vector<std::string> splitDroppingTrailingEmpty(const std::string &text, char separator) {
  std::vector<std::string> pieces;
  std::size_t begin = 0;
  for (;;) {
    const std::size_t end = text.find(separator, begin);
    if (end == std::string::npos) {
      pieces.push_back(text.substr(begin));
      break;
    }
    pieces.push_back(text.substr(begin, end - begin));
    begin = end + 1;
  }
  while (!pieces.empty() && pieces.back().empty())
    pieces.pop_back();
  return pieces;
}

} // namespace

std::vector<std::string> splitAtBlanks(const std::string &commandLine) {
  return splitDroppingTrailingEmpty(commandLine, ' ');
}

std::string filterLines(const std::string &text, const std::string &prefix) {
  std::string kept;
  for (const std::string &line : splitDroppingTrailingEmpty(text, '\n')) {
    if (line.compare(0, prefix.size(), prefix) == 0) {
      kept += line;
      kept += '\n';
    }
  }
  return kept;
}

std::optional<std::string> takeLine(std::string &buffer) {
  std::size_t begin = 0;
  while (begin < buffer.size() && isBreak(buffer[begin]))
    ++begin;
  std::size_t end = begin;
  while (end < buffer.size() && !isBreak(buffer[end]))
    ++end;
  // A line is complete only when a break follows it (and it is not empty: only breaks
  // were buffered then).
  if (end == buffer.size() || end == begin) return std::nullopt;
  std::string line = buffer.substr(begin, end - begin);
  while (end < buffer.size() && isBreak(buffer[end]))
    ++end;
  buffer.erase(0, end);
  return line;
}

std::string readErrorText(const std::string &description) {
  return std::string(READ_ERROR_FRAME) + description + READ_ERROR_FRAME;
}

std::string joinWithBlanks(const std::vector<std::string> &command) {
  std::string joined;
  for (std::size_t i = 0; i < command.size(); ++i) {
    if (i > 0) joined += ' ';
    joined += command[i];
  }
  return joined;
}

} // namespace vantrel::utilities
