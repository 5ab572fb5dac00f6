// Entry point of the SOF writer: hands the arguments to the library.
#include "ToolEntry.h"
#include "ToolMain.h"

int main(int argc, char **argv) {
  return vantrel::suite::runToolMain(vantrel::suite::runSofgen, argc, argv);
}
