// The Windows command-line rules of the C runtime: quoting and splitting.
#include "hostText/WindowsCommandLine.h"

namespace vantrel::hostText {

namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

// An argument needs quotes when the runtime would otherwise split it or drop it.
bool needsQuotes(const std::string &argument) {
  return argument.empty() || argument.find_first_of(" \t\n\v\"") != std::string::npos;
}

} // namespace

std::string quoteWindowsArgument(const std::string &argument) {
  std::string quoted = "\"";
  for (std::size_t i = 0;; ++i) {
    std::size_t backslashes = 0;
    while (i < argument.size() && argument[i] == '\\') {
      ++backslashes;
      ++i;
    }
    if (i == argument.size()) {
      // Backslashes before the closing quote are doubled so that they stay backslashes.
      quoted.append(backslashes * 2, '\\');
      break;
    }
    if (argument[i] == '"') {
      // Backslashes before a quote are doubled and one more escapes the quote itself.
      quoted.append(backslashes * 2 + 1, '\\');
      quoted += '"';
    } else {
      // Backslashes anywhere else are taken literally.
      quoted.append(backslashes, '\\');
      quoted += argument[i];
    }
  }
  quoted += '"';
  return quoted;
}

std::optional<std::string> buildWindowsCommandLine(const std::vector<std::string> &arguments) {
  if (arguments.empty()) return std::string();
  // The runtime reads the program name without any escapes: quotes only switch quoting
  // on and off, so a name holding a quote cannot be passed (no Windows file name has one).
  const std::string &program = arguments[0];
  if (program.find('"') != std::string::npos) return std::nullopt;
  std::string line;
  if (program.empty() || program.find_first_of(" \t") != std::string::npos)
    line += '"' + program + '"';
  else
    line += program;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    line += ' ';
    line += needsQuotes(arguments[i]) ? quoteWindowsArgument(arguments[i]) : arguments[i];
  }
  return line;
}

std::vector<std::string> splitWindowsCommandLine(const std::string &commandLine) {
  std::vector<std::string> arguments;
  const std::size_t n = commandLine.size();
  std::size_t i = 0;

  // The program name: up to the first blank outside quotes; quotes are dropped.
  std::string program;
  bool inQuotes = false;
  for (; i < n; ++i) {
    const char c = commandLine[i];
    if (c == '"') {
      inQuotes = !inQuotes;
      continue;
    }
    if (!inQuotes && isBlank(c)) break;
    program += c;
  }
  arguments.push_back(program);

  for (;;) {
    while (i < n && isBlank(commandLine[i]))
      ++i;
    if (i >= n) break;
    std::string argument;
    inQuotes = false;
    while (i < n) {
      std::size_t backslashes = 0;
      while (i < n && commandLine[i] == '\\') {
        ++backslashes;
        ++i;
      }
      if (i < n && commandLine[i] == '"') {
        argument.append(backslashes / 2, '\\');
        if (backslashes % 2 == 1) {
          argument += '"';
          ++i;
        } else if (inQuotes && i + 1 < n && commandLine[i + 1] == '"') {
          // Two quotes inside quotes stand for one literal quote.
          argument += '"';
          i += 2;
        } else {
          inQuotes = !inQuotes;
          ++i;
        }
        continue;
      }
      argument.append(backslashes, '\\');
      if (i >= n || (!inQuotes && isBlank(commandLine[i]))) break;
      argument += commandLine[i++];
    }
    arguments.push_back(argument);
  }
  return arguments;
}

} // namespace vantrel::hostText
