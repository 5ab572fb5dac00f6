// Judge of the Windows command-line rules: prints what the C runtime (wmain's argv) and
// CommandLineToArgvW made of this program's command line, each argument in UTF-8 between
// brackets on a line of its own.
#include "hostText/Utf16.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <string>
#include <string_view>

namespace {

std::string listing(const char *label, int argc, wchar_t **argv) {
  // Appended piece by piece: g++ 12 warns falsely about operator+ on string temporaries.
  std::string text = label;
  text.append(1, ' ').append(std::to_string(argc)).append(1, '\n');
  for (int i = 0; i < argc; ++i) {
    const std::wstring_view wide(argv[i]);
    text.append(1, '[').append(vantrel::hostText::utf16ToUtf8(std::u16string(wide.begin(), wide.end())));
    text.append("]\n");
  }
  return text;
}

} // namespace

int wmain(int argc, wchar_t **argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  std::string text = listing("crt", argc, argv);
  int count = 0;
  wchar_t **shell = CommandLineToArgvW(GetCommandLineW(), &count);
  if (shell) {
    text += listing("shell", count, shell);
    LocalFree(shell);
  }
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}
