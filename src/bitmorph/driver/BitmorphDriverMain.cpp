// Test-only program that runs the conversion driver directly on its arguments.
#include "bitmorph/Bitmorph.h"
#include "platform/programArguments.h"

#include <string>
#include <vector>

int main(int argc, char **argv) {
  const std::vector<std::string> args = vantrel::platform::programArguments(argc, argv);
  vantrel::bitmorph::Bitmorph::main(args);
  return 0;
}
