// Win32 side of child processes: CreateProcessA with three anonymous pipes, PeekNamedPipe
// for "how much can be read now", WaitForSingleObject(0) for the status, TerminateProcess.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <mutex>

#include "hostText/WindowsCommandLine.h"
#include "platform/environment.h"
#include "platform/process.h"

namespace vantrel::platform {

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
  char *text = nullptr;
  const DWORD len = ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                         FORMAT_MESSAGE_IGNORE_INSERTS,
                                     nullptr, code, 0, reinterpret_cast<char *>(&text), 0, nullptr);
  std::string message;
  if (len && text) {
    message.assign(text, len);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
      message.pop_back();
  } else {
    message = "error " + std::to_string(code);
  }
  if (text) ::LocalFree(text);
  return message;
}

void closeHandle(HANDLE &h) {
  if (h) ::CloseHandle(h);
  h = nullptr;
}

bool isFile(const std::string &path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool endsWithExe(const std::string &name) {
  if (name.size() < 4) return false;
  std::string tail = name.substr(name.size() - 4);
  for (char &c : tail)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == ".exe";
}

/// The first of name + ".exe" and name that is a file (with the suffix first: a file
/// without it beside the program is no Windows program).
std::optional<std::string> tryCandidates(const std::string &base) {
  if (!endsWithExe(base) && isFile(base + ".exe")) return base + ".exe";
  if (isFile(base)) return base;
  return std::nullopt;
}

// Handles marked inheritable reach every child created while the mark is on; starts are
// serialised so that each child inherits only its own three pipe ends.
std::mutex &startMutex() {
  static std::mutex m;
  return m;
}

/// The environment block: "NAME=value" entries each ended by a NUL, the block by another
/// NUL, sorted by name without regard to case as Windows expects of a block.
std::string environmentBlock(std::vector<std::string> entries) {
  auto nameOf = [](const std::string &entry) {
    std::string name = entry.substr(0, entry.find('=', 1));
    for (char &c : name)
      c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name;
  };
  std::stable_sort(entries.begin(), entries.end(),
                   [&](const std::string &a, const std::string &b) { return nameOf(a) < nameOf(b); });
  std::string block;
  for (const std::string &entry : entries) {
    block += entry;
    block += '\0';
  }
  if (entries.empty()) block += '\0';
  block += '\0';
  return block;
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

std::optional<std::string> findProgram(const std::string &name) {
  if (name.empty()) return std::nullopt;
  if (name.find_first_of("\\/:") != std::string::npos) return tryCandidates(name).value_or(name);
  const std::string path = getEnvironmentVariable("PATH").value_or("");
  std::size_t begin = 0;
  while (begin <= path.size()) {
    const std::size_t end = std::min(path.find(';', begin), path.size());
    std::string dir = path.substr(begin, end - begin);
    begin = end + 1;
    if (dir.size() >= 2 && dir.front() == '"' && dir.back() == '"') dir = dir.substr(1, dir.size() - 2);
    if (dir.empty()) continue;
    const char last = dir.back();
    if (auto found = tryCandidates(dir + (last == '\\' || last == '/' ? "" : "\\") + name)) return found;
  }
  return std::nullopt;
}

ChildProcess::ChildProcess(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

ChildProcess::~ChildProcess() {
  closeHandle(impl_->input);
  closeHandle(impl_->output);
  closeHandle(impl_->error);
  closeHandle(impl_->process);
}

std::unique_ptr<ChildProcess> ChildProcess::start(const std::vector<std::string> &command,
                                                  const std::optional<std::vector<std::string>> &environment,
                                                  std::string &error) {
  if (command.empty() || command[0].empty()) {
    error = "no program given";
    return nullptr;
  }
  const std::optional<std::string> program = findProgram(command[0]);
  if (!program) {
    error = "Cannot run program \"" + command[0] + "\": " + describe(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  std::optional<std::string> commandLine = hostText::buildWindowsCommandLine(command);
  if (!commandLine) {
    error = "Cannot run program \"" + command[0] + "\": " + describe(ERROR_INVALID_NAME);
    return nullptr;
  }

  SpawnParts parts;
  SECURITY_ATTRIBUTES noInherit{sizeof(SECURITY_ATTRIBUTES), nullptr, FALSE};
  if (!::CreatePipe(&parts.inRead, &parts.inWrite, &noInherit, PIPE_BUFFER_SIZE) ||
      !::CreatePipe(&parts.outRead, &parts.outWrite, &noInherit, PIPE_BUFFER_SIZE) ||
      !::CreatePipe(&parts.errRead, &parts.errWrite, &noInherit, PIPE_BUFFER_SIZE)) {
    error = "Cannot create pipes: " + describe(::GetLastError());
    return nullptr;
  }

  std::string block;
  if (environment) block = environmentBlock(*environment);

  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = parts.inRead;
  startup.hStdOutput = parts.outWrite;
  startup.hStdError = parts.errWrite;
  PROCESS_INFORMATION info{};
  BOOL created;
  DWORD createError = 0;
  {
    std::lock_guard<std::mutex> lock(startMutex());
    for (HANDLE h : {parts.inRead, parts.outWrite, parts.errWrite})
      ::SetHandleInformation(h, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    // The program is named apart from the command line, so Windows does no search of its
    // own and the found file is the one that runs.
    created = ::CreateProcessA(program->c_str(), commandLine->data(), nullptr, nullptr, TRUE, 0,
                               environment ? block.data() : nullptr, nullptr, &startup, &info);
    if (!created) createError = ::GetLastError();
    // The child's ends are closed at once (SpawnParts), so no later child inherits them.
    closeHandle(parts.inRead);
    closeHandle(parts.outWrite);
    closeHandle(parts.errWrite);
  }
  if (!created) {
    error = "Cannot run program \"" + command[0] + "\": " + describe(createError);
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

ChildStatus ChildProcess::status() {
  std::lock_guard<std::mutex> lock(impl_->statusMutex);
  if (impl_->ended) return impl_->finalStatus;
  if (::WaitForSingleObject(impl_->process, 0) != WAIT_OBJECT_0) return ChildStatus{};
  DWORD code = 0;
  if (!::GetExitCodeProcess(impl_->process, &code)) return ChildStatus{};
  impl_->ended = true;
  impl_->finalStatus.state = ChildStatus::State::Exited;
  // The 32-bit exit code read as signed: a child's ExitProcess(-1) gives -1.
  impl_->finalStatus.code = static_cast<int>(code);
  return impl_->finalStatus;
}

bool ChildProcess::terminate() {
  std::lock_guard<std::mutex> lock(impl_->statusMutex);
  if (impl_->ended) return false;
  return ::TerminateProcess(impl_->process, 1) != 0;
}

std::uint64_t ChildProcess::id() const {
  return impl_->processId;
}

bool writeStandardStream(StandardStream stream, const void *data, std::size_t n) {
  HANDLE h = ::GetStdHandle(stream == StandardStream::Error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return false;
  const char *p = static_cast<const char *>(data);
  while (n > 0) {
    DWORD put = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(n, 1u << 30));
    if (!::WriteFile(h, p, want, &put, nullptr)) return false;
    p += put;
    n -= put;
  }
  return true;
}

std::int64_t readStandardInput(void *buffer, std::size_t n) {
  HANDLE h = ::GetStdHandle(STD_INPUT_HANDLE);
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return -1;
  DWORD got = 0;
  const DWORD want = static_cast<DWORD>(std::min<std::size_t>(n, 1u << 30));
  if (!::ReadFile(h, buffer, want, &got, nullptr)) return ::GetLastError() == ERROR_BROKEN_PIPE ? 0 : -1;
  return got;
}

} // namespace vantrel::platform
