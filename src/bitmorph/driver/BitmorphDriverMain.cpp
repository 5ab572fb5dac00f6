// Test-only program that runs the conversion driver directly on its arguments.
#include "bitmorph/Bitmorph.h"

#include <string>
#include <vector>

int main(int argc, char **argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  vantrel::bitmorph::Bitmorph::main(args);
  return 0;
}
