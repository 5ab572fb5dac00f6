// The fake runtime's stop handling on Windows: CreateProcessW of itself, a console handler
// that ends the helper and exits.
#include "fakeJavaStop.h"

#include <windows.h>

#include <atomic>

namespace {

std::atomic<DWORD> helperPid{0};

BOOL WINAPI endHelperAndExit(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) return FALSE;
  if (const DWORD helper = helperPid.load()) {
    if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, helper)) {
      TerminateProcess(process, 1);
      WaitForSingleObject(process, INFINITE);
      CloseHandle(process);
    }
  }
  ExitProcess(100 + event);
}

} // namespace

unsigned long ownProcessId() {
  return GetCurrentProcessId();
}

unsigned long startSelf(const std::string &arg) {
  wchar_t self[32768];
  const DWORD n = GetModuleFileNameW(nullptr, self, 32768);
  if (n == 0 || n >= 32768) return 0;
  // The argument is plain ASCII without blanks or quotes.
  std::wstring line = L"\"" + std::wstring(self, n) + L"\" " + std::wstring(arg.begin(), arg.end());
  STARTUPINFOW si;
  ZeroMemory(&si, sizeof si);
  si.cb = sizeof si;
  PROCESS_INFORMATION pi;
  if (!CreateProcessW(self, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) return 0;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return pi.dwProcessId;
}

void awaitStop(bool catchStops, unsigned long helper, const std::function<void()> &ready) {
  helperPid.store(static_cast<DWORD>(helper));
  if (catchStops) SetConsoleCtrlHandler(endHelperAndExit, TRUE);
  if (ready) ready();
  Sleep(30000);
}
