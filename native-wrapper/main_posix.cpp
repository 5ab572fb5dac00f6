// Process entry of the bitmorph launcher on Linux: the arguments are UTF-8 as they come.
#include "launcherEntry.h"

int main(int argc, char **argv) {
  return vantrel::launcher::launcherMain(std::vector<std::string>(argv, argv + argc));
}
