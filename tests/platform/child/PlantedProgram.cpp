// A program that must never run: the program-search tests leave copies of it where a
// careless search would find them (the current folder, a relative PATH entry, a file
// without ".exe"). Whatever its arguments, it leaves the file "planted-program-ran" in the
// current folder, so a test sees that it ran.
#include "platform/file.h"

int main() {
  const char text[] = "ran\n";
  vantrel::platform::writeWholeFile("planted-program-ran", text, sizeof text - 1);
  return 0;
}
