// Test helpers on Windows: CreateProcessW with files for the child's output, a wide
// environment block and a working folder, the wide environment calls, Z: paths for the
// build machine's files. Text is UTF-8 on this side and UTF-16 at every call.
#include "testProcess.h"

#include "hostText/FilePath.h"
#include "hostText/Utf16.h"
#include "hostText/WindowsCommandLine.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace launcher_test {

namespace {

std::wstring wide(const std::string &utf8) {
  const std::u16string text = vantrel::hostText::utf8ToUtf16(utf8);
  return std::wstring(text.begin(), text.end());
}

std::string readAll(const std::string &path) {
  std::ifstream in(vantrel::hostText::utf8Path(path), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  std::string s = text.str();
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') continue;
    out += s[i];
  }
  return out;
}

std::wstring upper(std::wstring s) {
  for (wchar_t &c : s)
    c = static_cast<wchar_t>(std::towupper(c));
  return s;
}

HANDLE openOutput(const std::string &path) {
  SECURITY_ATTRIBUTES sa{};
  sa.nLength = sizeof sa;
  sa.bInheritHandle = TRUE;
  return CreateFileW(wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

RunResult runProgram(const std::string &program, const std::vector<std::string> &args, const EnvChanges &env,
                     const std::string &workingDir) {
  // Names compare without case; the block is sorted as Windows expects.
  std::map<std::wstring, std::pair<std::wstring, std::wstring>> vars;
  wchar_t *block = GetEnvironmentStringsW();
  for (const wchar_t *e = block; *e; e += std::wcslen(e) + 1) {
    const wchar_t *eq = std::wcschr(e + 1, L'=');
    if (eq) {
      const std::wstring name(e, static_cast<size_t>(eq - e));
      vars[upper(name)] = {name, eq + 1};
    }
  }
  FreeEnvironmentStringsW(block);
  for (const auto &[name, value] : env) {
    if (value)
      vars[upper(wide(name))] = {wide(name), wide(*value)};
    else
      vars.erase(upper(wide(name)));
  }
  std::wstring envBlock;
  for (const auto &[key, entry] : vars) {
    envBlock += entry.first + L"=" + entry.second;
    envBlock += L'\0';
  }
  envBlock += L'\0';

  std::vector<std::string> words = {program};
  words.insert(words.end(), args.begin(), args.end());
  std::wstring line = wide(vantrel::hostText::buildWindowsCommandLine(words).value_or(""));

  std::string dir = makeTempDir("run");
  std::string outPath = dir + "\\out", errPath = dir + "\\err";
  HANDLE out = openOutput(outPath);
  HANDLE err = openOutput(errPath);
  STARTUPINFOW si;
  ZeroMemory(&si, sizeof si);
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = out;
  si.hStdError = err;
  PROCESS_INFORMATION pi;
  ZeroMemory(&pi, sizeof pi);
  RunResult result;
  const std::wstring folder = wide(workingDir);
  if (CreateProcessW(wide(program).c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT,
                     envBlock.data(), workingDir.empty() ? nullptr : folder.c_str(), &si, &pi)) {
    DWORD code = 0;
    // A wait or exit-code query that fails is a failed run, never a run that still goes on.
    const bool ended = WaitForSingleObject(pi.hProcess, INFINITE) == WAIT_OBJECT_0 &&
                       GetExitCodeProcess(pi.hProcess, &code) != 0;
    if (!ended) result.startError = GetLastError();
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    result.started = ended;
    result.exitCode = code;
  } else {
    result.startError = GetLastError();
  }
  CloseHandle(out);
  CloseHandle(err);
  if (result.started) {
    result.out = readAll(outPath);
    result.err = readAll(errPath);
  }
  std::error_code ignored;
  std::filesystem::remove_all(vantrel::hostText::utf8Path(dir), ignored);
  return result;
}

void setEnv(const std::string &name, const std::optional<std::string> &value) {
  SetEnvironmentVariableW(wide(name).c_str(), value ? wide(*value).c_str() : nullptr);
}

std::optional<std::string> getEnv(const std::string &name) {
  const std::wstring key = wide(name);
  SetLastError(ERROR_SUCCESS);
  DWORD n = GetEnvironmentVariableW(key.c_str(), nullptr, 0);
  if (n == 0) return GetLastError() == ERROR_ENVVAR_NOT_FOUND ? std::nullopt : std::optional<std::string>("");
  std::wstring value(n, L'\0');
  value.resize(GetEnvironmentVariableW(key.c_str(), value.data(), n));
  return vantrel::hostText::utf16ToUtf8(std::u16string(value.begin(), value.end()));
}

std::string hostPath(const std::string &buildPath) {
  std::string p = buildPath;
  std::replace(p.begin(), p.end(), '/', '\\');
  return "Z:" + p;
}

unsigned long currentProcessId() {
  return static_cast<unsigned long>(GetCurrentProcessId());
}

char pathListSeparator() {
  return ';';
}

std::string exeSuffix() {
  return ".exe";
}

} // namespace launcher_test
