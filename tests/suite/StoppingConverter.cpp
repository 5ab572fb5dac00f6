// Test-only program: the converter stand-in, through the tools' own main with its
// interruption handlers, that stops itself at the write that BM_STOP_AT names
// (support/StopAtWrite.h).
#include "ToolEntry.h"
#include "ToolMain.h"
#include "support/StopAtWrite.h"

int main(int argc, char **argv) {
  vantrel::testing::StopAtWrite::installFromEnvironment();
  return vantrel::suite::runToolMain(vantrel::suite::runPrexaCpf, argc, argv);
}
