// Process entry of the java program on Windows: wmain gets the arguments as the C runtime
// splits the wide command line, so no character is lost to the ANSI code page; they become
// UTF-8 here.
#include "JavaMain.h"

#include "hostText/Utf16.h"

#include <string_view>

int wmain(int argc, wchar_t **argv) {
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) {
    const std::wstring_view arg(argv[i]);
    args.push_back(vantrel::hostText::utf16ToUtf8(std::u16string(arg.begin(), arg.end())));
  }
  return vantrel::runtime::javaMain(args);
}
