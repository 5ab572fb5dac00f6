// Switches the C runtime's standard output from text to binary mode.
#include "fakeToolStdout.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>

void setBinaryStdout() {
  _setmode(_fileno(stdout), _O_BINARY);
}
