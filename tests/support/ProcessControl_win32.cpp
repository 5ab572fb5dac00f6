// Win32 side of the test helper that stops processes: console control events (which reach
// every process on the sender's console), TerminateProcess, the process ids, CreateProcessW
// of this program for a worker.
#include "support/ProcessControl.h"
#include "support/Waiting.h"

#include "hostText/Utf16.h"
#include "hostText/WindowsCommandLine.h"

#include <windows.h>

#include <tlhelp32.h>

#include <cstdint>
#include <initializer_list>

namespace vantrel::testing {

namespace {

BOOL WINAPI ignoreEvent(DWORD) {
  return TRUE;
}

BOOL WINAPI endAsInterrupted(DWORD) {
  ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(STATUS_CONTROL_C_EXIT));
  return TRUE;
}

} // namespace

int signalNumber(Stop stop) {
  switch (stop) {
  case Stop::Interrupt:
    return 2;
  case Stop::HangUp:
    return 1;
  case Stop::Terminate:
    break;
  }
  return 15;
}

bool sendStop(std::uint64_t, Stop stop) {
  // Group 0: every process attached to this process's console, the sender included.
  return ::GenerateConsoleCtrlEvent(stop == Stop::Interrupt ? CTRL_C_EVENT : CTRL_BREAK_EVENT, 0) != 0;
}

bool sendStopToGroup(std::uint64_t pid, Stop stop) {
  return sendStop(pid, stop);
}

void awaitOwnStop() {
  // The handler's clean-up ends the process during the wait; the wait is only its bound.
  ::Sleep(static_cast<DWORD>(EVENT_LIMIT_MILLIS));
}

bool killProcess(std::uint64_t pid) {
  HANDLE process = ::OpenProcess(PROCESS_TERMINATE, FALSE, static_cast<DWORD>(pid));
  if (!process) return false;
  const bool ended = ::TerminateProcess(process, 1) != 0;
  ::CloseHandle(process);
  return ended;
}

int stoppedExitValue(Stop) {
  return static_cast<int>(0xC000013Au);
}

void crashProcess() {
  // The status an access violation ends a program with, without the system's crash dialog.
  ::TerminateProcess(::GetCurrentProcess(), 0xC0000005u);
  ::ExitProcess(0xC0000005u);
}

std::uint64_t ownProcessId() {
  return ::GetCurrentProcessId();
}

std::uint64_t parentProcessId() {
  const DWORD self = ::GetCurrentProcessId();
  HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  DWORD parent = 0;
  for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
    if (entry.th32ProcessID == self) {
      parent = entry.th32ParentProcessID;
      break;
    }
  }
  ::CloseHandle(snapshot);
  return parent;
}

void ignoreStop(Stop) {
  ::SetConsoleCtrlHandler(ignoreEvent, TRUE);
}

void endByConsoleEventsAsWindowsDoes() {
  ::SetConsoleCtrlHandler(endAsInterrupted, TRUE);
}

bool enterNewJob() {
  HANDLE job = ::CreateJobObjectW(nullptr, nullptr);
  // Kept open for the life of the process: the job is this process's until it ends.
  return job && ::AssignProcessToJobObject(job, ::GetCurrentProcess());
}

bool stopDeliverable(Stop stop) {
  static const bool console = [] {
    // A handler routine, not SetConsoleCtrlHandler(nullptr, TRUE): that one would be
    // inherited by the children, which must receive the events.
    ::SetConsoleCtrlHandler(ignoreEvent, TRUE);
    if (::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)) return true;
    // Started without a console of its own (Wine gives a program started from a pipe a
    // console that takes no events): a new one, which the standard streams do not follow.
    ::FreeConsole();
    return ::AllocConsole() != 0;
  }();
  return console && sendStop(ownProcessId(), stop);
}

std::uint64_t startWorker(const std::vector<std::string> &args) {
  wchar_t self[32768];
  const DWORD n = ::GetModuleFileNameW(nullptr, self, sizeof self / sizeof self[0]);
  if (n == 0 || n >= sizeof self / sizeof self[0]) return 0;
  const std::u16string program(self, self + n);
  std::string line = hostText::quoteWindowsArgument(hostText::utf16ToUtf8(program));
  for (const std::string &arg : args) {
    line += ' ';
    line += hostText::quoteWindowsArgument(arg);
  }
  const std::u16string wide = hostText::utf8ToUtf16(line);
  std::wstring commandLine(wide.begin(), wide.end());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!::CreateProcessW(self, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started))
    return 0;
  ::CloseHandle(started.hThread);
  ::CloseHandle(started.hProcess);
  return started.dwProcessId;
}

bool processRuns(std::uint64_t pid) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
  if (process == nullptr) return false;
  const bool runs = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return runs;
}

bool deliverConsoleEvent(std::uint64_t pid, int event) {
  // The system starts the handlers at the process's CtrlRoutine, which lies at the same
  // address in every process (system libraries load at one base address per boot).
  FARPROC found = nullptr;
  for (const wchar_t *library : {L"kernelbase.dll", L"kernel32.dll"}) {
    if (HMODULE module = GetModuleHandleW(library)) found = GetProcAddress(module, "CtrlRoutine");
    if (found != nullptr) break;
  }
  if (found == nullptr) return false;
  const auto routine = reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<void *>(found));
  HANDLE process = OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION | PROCESS_VM_OPERATION |
                                   PROCESS_VM_READ | PROCESS_VM_WRITE,
                               FALSE, static_cast<DWORD>(pid));
  if (process == nullptr) return false;
  HANDLE thread = CreateRemoteThread(
      process, nullptr, 0, routine, reinterpret_cast<void *>(static_cast<std::uintptr_t>(event)), 0, nullptr);
  CloseHandle(process);
  if (thread == nullptr) return false;
  CloseHandle(thread);
  return true;
}

} // namespace vantrel::testing
