// Entry point of the object-copy stand-in: hands the arguments to the library.
#include "ToolEntry.h"
#include "ToolMain.h"

int main(int argc, char **argv) {
  return vantrel::suite::runToolMain(vantrel::suite::runObjcopy, argc, argv);
}
