// Win32 side of child processes: CreateProcessW with three anonymous pipes and a wide
// environment block, each child in this process's kill-on-close job, PeekNamedPipe for "how
// much can be read now", WaitForSingleObject(0) for the status, TerminateProcess. Names,
// arguments and the environment are UTF-8 here and UTF-16 at the calls.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <mutex>

#include "hostText/WindowsCommandLine.h"
#include "platform/PlatformMessages.h"
#include "platform/environment.h"
#include "platform/interruptRegistry.h"
#include "platform/process.h"
#include "platform/processSpawn.h"
#include "platform/systemError.h"
#include "platform/wideText.h"

namespace vantrel::platform {

using detail::fromWide;
using detail::toWide;

struct ChildProcess::Impl {
  HANDLE process = nullptr;
  DWORD processId = 0;
  HANDLE input = nullptr;  // write end of the child's standard input
  HANDLE output = nullptr; // read end of its standard output
  HANDLE error = nullptr;  // read end of its standard error
  std::mutex statusMutex;
  bool ended = false;
  ChildStatus finalStatus;

  HANDLE handle(ChildStream stream) const { return stream == ChildStream::Output ? output : error; }
};

namespace {

// Pipe buffer per stream: a chatty child may write this much between two drains.
constexpr DWORD PIPE_BUFFER_SIZE = 64 * 1024;

std::string describe(DWORD code) {
  return detail::describeSystemError(static_cast<int>(code));
}

void closeHandle(HANDLE &h) {
  if (h) ::CloseHandle(h);
  h = nullptr;
}

bool isFile(const std::string &path) {
  const DWORD attributes = ::GetFileAttributesW(detail::toWidePath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Handles marked inheritable reach every child created while the mark is on; starts are
// serialised so that each child inherits only its own three pipe ends.
std::mutex &startMutex() {
  static std::mutex m;
  return m;
}

/// The job every child goes into, made on the first start (under startMutex). It ends all
/// its processes when its last handle closes; this process holds the only handle (it is
/// not inheritable) until it ends, however it ends, so no converter outlives it. Nothing
/// when the OS refuses to make one: children then start without that guarantee.
HANDLE childJob() {
  static HANDLE job = [] {
    HANDLE made = ::CreateJobObjectW(nullptr, nullptr);
    if (!made) return HANDLE{nullptr};
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!::SetInformationJobObject(made, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
      ::CloseHandle(made);
      return HANDLE{nullptr};
    }
    return made;
  }();
  return job;
}

/// The wide environment block: "NAME=value" entries each ended by a NUL, the block by
/// another NUL, sorted by name without regard to case as Windows expects of a block.
std::wstring environmentBlock(std::vector<std::string> entries) {
  auto nameOf = [](const std::string &entry) {
    std::string name = entry.substr(0, entry.find('=', 1));
    for (char &c : name)
      c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name;
  };
  // UTF-8 bytes sort in the order of their characters, so the names can be compared here.
  std::stable_sort(entries.begin(), entries.end(),
                   [&](const std::string &a, const std::string &b) { return nameOf(a) < nameOf(b); });
  std::wstring block;
  for (const std::string &entry : entries) {
    block += toWide(entry);
    block += L'\0';
  }
  if (entries.empty()) block += L'\0';
  block += L'\0';
  return block;
}

/// Marks a pipe end inheritable; false, with the reason, when the OS refuses.
bool makeInheritable(HANDLE h, std::string &reason) {
  if (::SetHandleInformation(h, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT)) return true;
  reason = describe(::GetLastError());
  return false;
}

/// Owns the pipe handles while start() builds the child.
struct SpawnParts {
  HANDLE inRead = nullptr, inWrite = nullptr;
  HANDLE outRead = nullptr, outWrite = nullptr;
  HANDLE errRead = nullptr, errWrite = nullptr;
  ~SpawnParts() {
    for (HANDLE *h : {&inRead, &inWrite, &outRead, &outWrite, &errRead, &errWrite})
      closeHandle(*h);
  }
};

} // namespace

std::string detail::searchPath() {
  return getEnvironmentVariable("PATH").value_or("");
}

bool detail::isProgramFile(const std::string &file) {
  return isFile(file);
}

std::string detail::programNotFoundReason() {
  return describe(ERROR_FILE_NOT_FOUND);
}

ChildProcess::ChildProcess(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

ChildProcess::~ChildProcess() {
  // First of all: an interruption's clean-up may be using this object right now.
  detail::unregisterChild(this);
  closeHandle(impl_->input);
  closeHandle(impl_->output);
  closeHandle(impl_->error);
  closeHandle(impl_->process);
}

std::unique_ptr<ChildProcess> ChildProcess::spawn(const std::string &program,
                                                  const std::vector<std::string> &command,
                                                  const std::optional<std::vector<std::string>> &environment,
                                                  std::string &error) {
  const std::optional<std::string> commandLine = hostText::buildWindowsCommandLine(command);
  if (!commandLine) {
    error = detail::cannotRunProgram(command[0], describe(ERROR_INVALID_NAME));
    return nullptr;
  }
  const std::wstring wideProgram = toWide(program);
  std::wstring wideCommandLine = toWide(*commandLine); // CreateProcessW may write into it
  std::wstring block;
  if (environment) block = environmentBlock(*environment);

  SpawnParts parts;
  SECURITY_ATTRIBUTES noInherit{sizeof(SECURITY_ATTRIBUTES), nullptr, FALSE};
  if (!::CreatePipe(&parts.inRead, &parts.inWrite, &noInherit, PIPE_BUFFER_SIZE) ||
      !::CreatePipe(&parts.outRead, &parts.outWrite, &noInherit, PIPE_BUFFER_SIZE) ||
      !::CreatePipe(&parts.errRead, &parts.errWrite, &noInherit, PIPE_BUFFER_SIZE)) {
    error = msg::CANNOT_CREATE_PIPES + describe(::GetLastError());
    return nullptr;
  }

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = parts.inRead;
  startup.hStdOutput = parts.outWrite;
  startup.hStdError = parts.errWrite;
  PROCESS_INFORMATION info{};
  BOOL created = FALSE;
  std::string reason;
  {
    std::lock_guard<std::mutex> lock(startMutex());
    // A pipe end that cannot be made inheritable would leave the child without that
    // stream (and, for standard input, waiting on a pipe nobody holds): no start then.
    if (makeInheritable(parts.inRead, reason) && makeInheritable(parts.outWrite, reason) &&
        makeInheritable(parts.errWrite, reason)) {
      // The program is named apart from the command line, so Windows does no search of
      // its own and the found file is the one that runs. It starts suspended and joins the
      // job before it runs, so every process it starts belongs to the job too.
      created = ::CreateProcessW(wideProgram.c_str(), wideCommandLine.data(), nullptr, nullptr, TRUE,
                                 CREATE_UNICODE_ENVIRONMENT | CREATE_SUSPENDED,
                                 environment ? block.data() : nullptr, nullptr, &startup, &info);
      if (!created) reason = describe(::GetLastError());
    }
    if (created) {
      // A job that this process is in and that forbids nested jobs refuses the child: it
      // then runs without the job (and ends with the outer job).
      if (HANDLE job = childJob()) ::AssignProcessToJobObject(job, info.hProcess);
      if (::ResumeThread(info.hThread) == static_cast<DWORD>(-1)) {
        reason = describe(::GetLastError());
        ::TerminateProcess(info.hProcess, 1);
        ::CloseHandle(info.hThread);
        ::CloseHandle(info.hProcess);
        created = FALSE;
      }
    }
    // The child's ends are closed at once (SpawnParts), so no later child inherits them.
    closeHandle(parts.inRead);
    closeHandle(parts.outWrite);
    closeHandle(parts.errWrite);
  }
  if (!created) {
    error = detail::cannotRunProgram(command[0], reason);
    return nullptr;
  }
  ::CloseHandle(info.hThread);

  auto impl = std::make_unique<Impl>();
  impl->process = info.hProcess;
  impl->processId = info.dwProcessId;
  impl->input = parts.inWrite;
  impl->output = parts.outRead;
  impl->error = parts.errRead;
  parts.inWrite = parts.outRead = parts.errRead = nullptr;
  return std::unique_ptr<ChildProcess>(new ChildProcess(std::move(impl)));
}

std::int64_t ChildProcess::available(ChildStream stream, std::string &error) {
  DWORD count = 0;
  if (!::PeekNamedPipe(impl_->handle(stream), nullptr, 0, nullptr, &count, nullptr)) {
    const DWORD code = ::GetLastError();
    // The child has closed its end and everything it wrote has been read: nothing waits.
    if (code == ERROR_BROKEN_PIPE) return 0;
    error = describe(code);
    return -1;
  }
  return count;
}

std::int64_t ChildProcess::read(ChildStream stream, void *buffer, std::size_t n, std::string &error) {
  DWORD got = 0;
  const DWORD want = static_cast<DWORD>(std::min<std::size_t>(n, 1u << 30));
  if (!::ReadFile(impl_->handle(stream), buffer, want, &got, nullptr)) {
    const DWORD code = ::GetLastError();
    if (code == ERROR_BROKEN_PIPE) return 0;
    error = describe(code);
    return -1;
  }
  return got;
}

bool ChildProcess::writeInput(const void *data, std::size_t n) {
  if (!impl_->input) return false;
  const char *p = static_cast<const char *>(data);
  while (n > 0) {
    DWORD put = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(n, 1u << 30));
    if (!::WriteFile(impl_->input, p, want, &put, nullptr)) return false;
    p += put;
    n -= put;
  }
  return true;
}

void ChildProcess::closeInput() {
  // The child's ReadFile then fails with ERROR_BROKEN_PIPE, which its C runtime reads as
  // the end of the input.
  closeHandle(impl_->input);
}

void ChildProcess::waitForEnd(std::int64_t millis) {
  // The process handle is signalled once the child has ended.
  (void)::WaitForSingleObject(impl_->process,
                              static_cast<DWORD>(std::clamp<std::int64_t>(millis, 0, INFINITE - 1)));
}

ChildStatus ChildProcess::status() {
  std::lock_guard<std::mutex> lock(impl_->statusMutex);
  if (impl_->ended) return impl_->finalStatus;
  const DWORD waited = ::WaitForSingleObject(impl_->process, 0);
  if (waited == WAIT_TIMEOUT) return ChildStatus{};
  // Ended, or the OS cannot say: either way the answer is final, so that a caller polling
  // for the end of a child whose status cannot be had stops instead of waiting forever.
  DWORD code = 0;
  if (waited == WAIT_OBJECT_0 && ::GetExitCodeProcess(impl_->process, &code)) {
    impl_->finalStatus.state = ChildStatus::State::Exited;
    // The 32-bit exit code read as signed: a child's ExitProcess(-1) gives -1.
    impl_->finalStatus.code = static_cast<int>(code);
  } else {
    impl_->finalStatus.state = ChildStatus::State::Failed;
    impl_->finalStatus.code = static_cast<int>(::GetLastError());
  }
  impl_->ended = true;
  return impl_->finalStatus;
}

bool ChildProcess::terminate() {
  std::lock_guard<std::mutex> lock(impl_->statusMutex);
  if (impl_->ended) return false;
  return ::TerminateProcess(impl_->process, 1) != 0;
}

bool ChildProcess::askToEnd(StopRequest) {
  // Nothing to send: Windows has no request to end a console program other than the
  // console's own events, which a child on this process's console receives itself.
  return false;
}

bool endedByCrash(const ChildStatus &status) {
  // An NTSTATUS of error severity: the two top bits set. A program may exit with such a code
  // itself (exit(-1) gives 0xFFFFFFFF); it reports a failure then too, and what it was
  // writing is no more to be trusted than after a crash.
  return status.state == ChildStatus::State::Exited && static_cast<DWORD>(status.code) >= 0xC0000000u;
}

std::string detail::signalName(int) {
  return "";
}

bool processExists(std::uint64_t pid) {
  if (pid > 0xFFFFFFFFu) return false;
  HANDLE process =
      ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
  // Refused: it exists and belongs to somebody else.
  if (!process) return ::GetLastError() == ERROR_ACCESS_DENIED;
  const bool running = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  ::CloseHandle(process);
  return running;
}

std::uint64_t ChildProcess::id() const {
  return impl_->processId;
}

} // namespace vantrel::platform
