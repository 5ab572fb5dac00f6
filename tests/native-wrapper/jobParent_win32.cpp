// Test helper program on Windows: a parent that runs inside a job of its own, as under a
// build service or a CI runner (none of its processes may break away), and runs its
// arguments as a command there; it returns the command's exit code, or 125 when it could
// not join a job or start the command. The command's process id goes to the file
// JOB_PARENT_PID_FILE names, when it is set.
#include "hostText/Utf16.h"
#include "hostText/WindowsCommandLine.h"

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::wstring wide(const std::string &utf8) {
  const std::u16string text = vantrel::hostText::utf8ToUtf16(utf8);
  return std::wstring(text.begin(), text.end());
}

} // namespace

int wmain(int argc, wchar_t **argv) {
  if (argc < 2) return 125;
  // A job without limits: none of its processes may break away, and it ends none of them
  // itself, so whatever ends the launcher's children is the launcher's own job.
  HANDLE job = CreateJobObjectW(nullptr, nullptr);
  if (job == nullptr || !AssignProcessToJobObject(job, GetCurrentProcess())) {
    std::fprintf(stderr, "job parent: cannot join a job (error %lu)\n", GetLastError());
    return 125;
  }
  std::vector<std::string> words;
  for (int i = 1; i < argc; ++i)
    words.push_back(vantrel::hostText::utf16ToUtf8(std::u16string(argv[i], argv[i] + wcslen(argv[i]))));
  std::wstring line = wide(vantrel::hostText::buildWindowsCommandLine(words).value_or(""));
  STARTUPINFOW si;
  ZeroMemory(&si, sizeof si);
  si.cb = sizeof si;
  PROCESS_INFORMATION pi;
  if (!CreateProcessW(argv[1], line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
    std::fprintf(stderr, "job parent: cannot start the command (error %lu)\n", GetLastError());
    return 125;
  }
  wchar_t pidFile[32768];
  if (GetEnvironmentVariableW(L"JOB_PARENT_PID_FILE", pidFile, 32768) > 0)
    std::ofstream(std::filesystem::path(pidFile)) << pi.dwProcessId << "\n";
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 125;
  GetExitCodeProcess(pi.hProcess, &code);
  return static_cast<int>(code);
}
