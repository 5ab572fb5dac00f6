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
    endProcess(id);
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

bool processRuns(unsigned long pid) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
  if (process == nullptr) return false;
  const bool runs = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return runs;
}

bool deliverConsoleEvent(unsigned long pid, int event) {
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

void endProcess(unsigned long pid) {
  HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, static_cast<DWORD>(pid));
  if (process == nullptr) return;
  TerminateProcess(process, 1);
  CloseHandle(process);
}

} // namespace launcher_test
