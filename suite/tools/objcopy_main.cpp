// Entry point of the object-copy stand-in: hands the arguments to the library.
#include <iostream>
#include <string>
#include <vector>

#include "ToolEntry.h"

int main(int argc, char **argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const int status = vantrel::suite::runObjcopy(args, std::cout, std::cerr);
  std::cout.flush();
  return status;
}
