// Standard output is always binary on POSIX.
#include "fakeToolStdout.h"

void setBinaryStdout() {}
