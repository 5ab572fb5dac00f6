// Process entry of the bitmorph launcher.
#include "launcherEntry.h"

int main(int argc, char **argv) {
  return vantrel::launcher::launcherMain(argc, argv);
}
