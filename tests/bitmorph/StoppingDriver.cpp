// Test-only program: the conversion driver, through its entry with the interruption
// handlers, that stops itself at the write that BM_STOP_AT names (support/StopAtWrite.h).
#include "bitmorph/Bitmorph.h"
#include "platform/programArguments.h"
#include "support/StopAtWrite.h"

int main(int argc, char **argv) {
  vantrel::testing::StopAtWrite::installFromEnvironment();
  vantrel::bitmorph::Bitmorph::main(vantrel::platform::programArguments(argc, argv));
  return 0;
}
