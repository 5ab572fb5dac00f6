// Puts the test doubles' standard output in binary mode, so that they write "\n" as the
// tools they stand for do.
#pragma once

/// Makes standard output binary (no newline translation); nothing to do on POSIX.
void setBinaryStdout();
