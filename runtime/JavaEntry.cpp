// Process entry of the java program: its arguments as UTF-8 (the platform layer reads the
// wide command line on Windows, so no character is lost to the ANSI code page).
#include "JavaMain.h"

#include "platform/programArguments.h"

int main(int argc, char **argv) {
  std::vector<std::string> args = {argc > 0 ? argv[0] : "java"};
  const std::vector<std::string> rest = vantrel::platform::programArguments(argc, argv);
  args.insert(args.end(), rest.begin(), rest.end());
  return vantrel::runtime::javaMain(args);
}
