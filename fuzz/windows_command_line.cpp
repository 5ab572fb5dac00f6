// Fuzz target: the Windows command-line rules. Arguments built into a line split back into
// the same arguments; a line split, built and split again gives the same arguments; one
// quoted argument splits back to itself.
//
// Input format: the arguments separated by NUL bytes, the program first; the same bytes are
// also taken whole as a command line.
#include "FuzzCheck.h"
#include "hostText/WindowsCommandLine.h"

#include <cstdint>
#include <string>
#include <vector>

using fuzzing::check;
using vantrel::hostText::buildWindowsCommandLine;
using vantrel::hostText::quoteWindowsArgument;
using vantrel::hostText::splitWindowsCommandLine;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char *>(data), size);
  std::vector<std::string> arguments(1);
  for (char c : bytes) {
    if (c == '\0')
      arguments.emplace_back();
    else
      arguments.back() += c;
  }
  // A program name holding a quote cannot be passed: the line is refused, never garbled.
  const auto line = buildWindowsCommandLine(arguments);
  check(line.has_value() == (arguments[0].find('"') == std::string::npos), "refused only a quoted program");
  if (line) check(splitWindowsCommandLine(*line) == arguments, "built line splits back", arguments.size());
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const auto single = splitWindowsCommandLine("p " + quoteWindowsArgument(arguments[i]));
    check(single.size() == 2 && single[1] == arguments[i], "quoted argument splits back",
          static_cast<std::int64_t>(i));
  }

  // Any line: what it splits into is built into a line that splits the same way (the
  // program name loses its quotes in the split, so it always can be built again).
  const std::vector<std::string> split = splitWindowsCommandLine(bytes);
  const auto rebuilt = buildWindowsCommandLine(split);
  check(rebuilt.has_value(), "a split program name can be built");
  check(splitWindowsCommandLine(*rebuilt) == split, "split, built and split again");
  return 0;
}
