// Process entry of the java program on Linux: the arguments are UTF-8 as they come.
#include "JavaMain.h"

int main(int argc, char **argv) {
  return vantrel::runtime::javaMain(std::vector<std::string>(argv, argv + argc));
}
