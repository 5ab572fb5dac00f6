// POSIX side of the program's arguments: argv already holds the bytes the caller passed.
#include "platform/programArguments.h"

namespace vantrel::platform {

std::vector<std::string> programArguments(int argc, char **argv) {
  if (argc < 1) return {};
  return std::vector<std::string>(argv + 1, argv + argc);
}

} // namespace vantrel::platform
