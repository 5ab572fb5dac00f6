// Test helper on Windows: CreateProcessW without waiting, TerminateProcess, console events,
// and the state of a process by id. Text is UTF-8 on this side and UTF-16 at every call.
#include "runningProgram.h"

#include "hostText/Utf16.h"
#include "hostText/WindowsCommandLine.h"

#include <windows.h>

namespace launcher_test {

namespace {

std::wstring wide(const std::string &utf8) {
  const std::u16string text = vantrel::hostText::utf8ToUtf16(utf8);
  return std::wstring(text.begin(), text.end());
}

} // namespace

RunningProgram::RunningProgram(const std::string &program, const std::vector<std::string> &args,
                               bool ownGroup) {
  std::vector<std::string> words{program};
  words.insert(words.end(), args.begin(), args.end());
  std::wstring line = wide(vantrel::hostText::buildWindowsCommandLine(words).value_or(""));
  SECURITY_ATTRIBUTES sa{};
  sa.nLength = sizeof sa;
  sa.bInheritHandle = TRUE;
  HANDLE nowhere = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  STARTUPINFOW si;
  ZeroMemory(&si, sizeof si);
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = nowhere;
  si.hStdError = nowhere;
  PROCESS_INFORMATION pi;
  ZeroMemory(&pi, sizeof pi);
  if (CreateProcessW(wide(program).c_str(), line.data(), nullptr, nullptr, TRUE,
                     ownGroup ? CREATE_NEW_PROCESS_GROUP : 0, nullptr, nullptr, &si, &pi)) {
    CloseHandle(pi.hThread);
    handle = reinterpret_cast<std::intptr_t>(pi.hProcess);
    id = pi.dwProcessId;
  }
  if (nowhere != INVALID_HANDLE_VALUE) CloseHandle(nowhere);
}

RunningProgram::~RunningProgram() {
  if (!started()) return;
  if (!waitFor(0)) {
    vantrel::testing::killProcess(id);
    waitFor(10000);
  }
  CloseHandle(reinterpret_cast<HANDLE>(handle));
}

bool RunningProgram::signal(int) {
  return false;
}

bool RunningProgram::interruptGroup() {
  // Ctrl-C cannot be sent to one group (a new group starts with it ignored); Ctrl-Break can.
  return started() && GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, static_cast<DWORD>(id)) != 0;
}

std::optional<std::uint32_t> RunningProgram::waitFor(int millis) {
  if (status || !started()) return status;
  DWORD code = 0;
  if (WaitForSingleObject(reinterpret_cast<HANDLE>(handle), static_cast<DWORD>(millis)) == WAIT_OBJECT_0 &&
      GetExitCodeProcess(reinterpret_cast<HANDLE>(handle), &code))
    status = code;
  return status;
}

} // namespace launcher_test
