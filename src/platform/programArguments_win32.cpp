// Win32 side of the program's arguments: GetCommandLineW, split by the C runtime's rules.
#include <windows.h>

#include "hostText/WindowsCommandLine.h"
#include "platform/programArguments.h"
#include "platform/wideText.h"

namespace vantrel::platform {

std::vector<std::string> programArguments(int argc, char **argv) {
  const wchar_t *commandLine = ::GetCommandLineW();
  if (!commandLine || !*commandLine) {
    if (argc < 1) return {};
    return std::vector<std::string>(argv + 1, argv + argc);
  }
  std::vector<std::string> arguments = hostText::splitWindowsCommandLine(detail::fromWide(commandLine));
  if (!arguments.empty()) arguments.erase(arguments.begin()); // the program's name
  return arguments;
}

} // namespace vantrel::platform
