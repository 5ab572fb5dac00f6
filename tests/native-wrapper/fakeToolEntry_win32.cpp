// Process entry of the launcher's test doubles on Windows: wide arguments and environment
// become UTF-8, standard output becomes binary (a tool writes "\n", not "\r\n").
#include "fakeTool.h"

#include "hostText/FilePath.h"
#include "hostText/Utf16.h"

#include <windows.h>

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <io.h>
#include <string_view>

namespace {

std::string utf8(std::wstring_view text) {
  return vantrel::hostText::utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

} // namespace

std::optional<std::string> toolEnv(const char *name) {
  const std::u16string key16 = vantrel::hostText::utf8ToUtf16(name);
  const std::wstring key(key16.begin(), key16.end());
  SetLastError(ERROR_SUCCESS);
  const DWORD needed = GetEnvironmentVariableW(key.c_str(), nullptr, 0);
  if (needed == 0)
    return GetLastError() == ERROR_ENVVAR_NOT_FOUND ? std::nullopt : std::optional<std::string>("");
  std::wstring value(needed, L'\0');
  const DWORD got = GetEnvironmentVariableW(key.c_str(), value.data(), needed);
  return utf8(std::wstring_view(value.data(), got < needed ? got : 0));
}

void appendToFile(const std::string &path, const std::string &text) {
  std::ofstream(vantrel::hostText::utf8Path(path), std::ios::binary | std::ios::app) << text;
}

int wmain(int argc, wchar_t **argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i)
    args.push_back(utf8(argv[i]));
  return toolMain(args);
}
