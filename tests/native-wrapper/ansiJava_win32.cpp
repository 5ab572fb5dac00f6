// Test double of a runtime's launcher program that reads its command line in the ANSI code
// page (an ANSI main: the C runtime splits GetCommandLineA). Prints "ansi-java", whether the
// program named by its first word opens, and whether each jar of its "-cp" class path opens,
// one per line in brackets.
#include "ansiReader.h"

#include <cstdio>
#include <string>

int main(int argc, char **argv) {
  // Appended piece by piece: g++ 12 warns falsely about "literal" + std::string (GCC bug 105329).
  std::string text = "ansi-java\n";
  text.append(1, '[').append(ansiOpens("program", argv[0])).append("]\n");
  for (int i = 1; i + 1 < argc; ++i)
    if (std::string(argv[i]) == "-cp")
      text.append(1, '[').append(ansiOpens("class path", argv[i + 1])).append("]\n");
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}
