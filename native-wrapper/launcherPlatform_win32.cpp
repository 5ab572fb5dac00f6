// The launcher's OS layer on Windows: module file name, current directory, environment,
// directory enumeration, temporary files, the search of PATH, CreateProcessW with the runtime
// child in a job that ends with the launcher, console events and console text. Only Win32
// calls for the launcher live here; each takes wide text, converted from and to UTF-8 beside
// the call, and every file call takes its path through widePath (long paths included).
#include "launcherPlatform.h"

#include "windowsPaths_win32.h"

#include "hostText/ProgramSearch.h"
#include "hostText/WindowsCommandLine.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <io.h>

namespace vantrel::launcher::platform {

const char kPathSeparator = '\\';
const char kClassPathSeparator = ';';
const bool kFoldPathCase = true;
const char *const kJreDirDefault = "PREXA_BINDIR\\jre64";
const char *const kBinDirSuffix = "\\bin64";
const char *const kJreOffset = "\\bin64\\jre64\\bin\\java.exe";
const char *const kJavaProgram = "bin\\java.exe";
const char *const kVmLibraryFile = "bin\\server\\jvm.dll";
const char *const kSplashLibraryFile = "bin\\splashscreen.dll";

using win32::plainPath;
using win32::utf8;
using win32::wide;
using win32::widePath;

namespace {

/// Names tried for one temporary file before the folder counts as full.
constexpr unsigned kTempNameAttempts = 256;

} // namespace

int lastError() {
  return static_cast<int>(GetLastError());
}

void setLastError(int error) {
  SetLastError(static_cast<DWORD>(error));
}

std::string errorText(int error) {
  wchar_t *text = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                 nullptr, static_cast<DWORD>(error), 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  std::string reason = text ? win32::utf8(text, std::wcslen(text)) : std::string();
  LocalFree(text);
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' '))
    reason.pop_back();
  if (!reason.empty()) reason += ' ';
  return reason + "(error " + std::to_string(static_cast<DWORD>(error)) + ")";
}

PathKind pathKind(const std::string &path) {
  const DWORD attributes = GetFileAttributesW(widePath(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::Missing;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::Folder : PathKind::File;
}

std::optional<std::string> moduleFileName() {
  // A path that fills the buffer was cut: grow the buffer rather than use a cut path.
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return std::nullopt;
    // A launcher started by its extended name gets that name back; the launcher's paths
    // are plain, and each call makes its own extended form.
    if (n < buffer.size()) return plainPath(buffer.data(), n);
    if (buffer.size() >= 32768) return std::nullopt;
    buffer.resize(buffer.size() * 2);
  }
}

std::optional<std::string> currentDirectory() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (n == 0) return std::nullopt;
    if (n < buffer.size()) return plainPath(buffer.data(), n);
    buffer.resize(n); // n is the size needed, terminator included
  }
}

std::optional<std::string> getEnv(const std::string &name) {
  const std::wstring key = wide(name);
  // An empty value also gives 0; only the error code tells it from a missing variable.
  SetLastError(ERROR_SUCCESS);
  DWORD n = GetEnvironmentVariableW(key.c_str(), nullptr, 0);
  if (n == 0)
    return GetLastError() == ERROR_ENVVAR_NOT_FOUND ? std::nullopt
                                                    : std::optional<std::string>(std::string());
  std::wstring value(n, L'\0');
  DWORD got = GetEnvironmentVariableW(key.c_str(), value.data(), n);
  return utf8(value.data(), got < n ? got : 0);
}

std::vector<std::string> listDirectory(const std::string &dir) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(widePath(dir + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = utf8(data.cFileName, wcslen(data.cFileName));
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return names;
}

std::optional<std::string> tempPath() {
  if (takeInjectedFailure(FailPoint::TempDirectory)) return std::nullopt;
  // Asked with the size the call names; a folder that grew in between is asked for again.
  DWORD size = GetTempPathW(0, nullptr);
  for (;;) {
    if (size == 0) return std::nullopt;
    std::wstring buffer(size, L'\0');
    const DWORD n = GetTempPathW(size, buffer.data());
    if (n == 0) return std::nullopt;
    if (n < size) return plainPath(buffer.data(), n);
    size = n + 1;
  }
}

std::optional<std::string> makeTempFileName(const std::string &dir, const char *prefix) {
  if (takeInjectedFailure(FailPoint::TempName)) return std::nullopt;
  // GetTempFileNameW takes no folder of MAX_PATH - 14 characters or more, so the name is
  // made here the way it makes one: the prefix, a hexadecimal number and ".tmp", the file
  // created with CREATE_NEW so that no two launchers share it. The numbers start apart for
  // every process and every call; a taken name moves on to the next number.
  std::string base = dir;
  if (!base.empty() && base.back() != '\\' && base.back() != '/') base += '\\';
  static unsigned calls = 0;
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  const unsigned start =
      static_cast<unsigned>(now.QuadPart) ^ (GetCurrentProcessId() << 12) ^ (++calls << 24);
  DWORD error = ERROR_FILE_EXISTS;
  for (unsigned attempt = 0; attempt < kTempNameAttempts; ++attempt) {
    char number[16];
    std::snprintf(number, sizeof number, "%08X", start + attempt);
    const std::string name = base + prefix + number + ".tmp";
    HANDLE h = CreateFileW(widePath(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      CloseHandle(h);
      return name;
    }
    error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
  }
  SetLastError(error);
  return std::nullopt;
}

FileHandle createInheritableFile(const std::string &name) {
  if (takeInjectedFailure(FailPoint::TempFileCreate)) return kNoFile;
  SECURITY_ATTRIBUTES sa{};
  sa.nLength = sizeof sa;
  sa.bInheritHandle = TRUE;
  HANDLE h = CreateFileW(widePath(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, &sa, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  return h == INVALID_HANDLE_VALUE ? kNoFile : reinterpret_cast<FileHandle>(h);
}

FileHandle openForReading(const std::string &name) {
  if (takeInjectedFailure(FailPoint::TempFileOpen)) return kNoFile;
  HANDLE h = CreateFileW(widePath(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  return h == INVALID_HANDLE_VALUE ? kNoFile : reinterpret_cast<FileHandle>(h);
}

long readFile(FileHandle file, char *buffer, long size) {
  long total = 0;
  while (total < size) {
    DWORD got = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(file), buffer + total, static_cast<DWORD>(size - total), &got,
                  nullptr))
      return -1;
    if (got == 0) break;
    total += static_cast<long>(got);
  }
  return total;
}

void closeFile(FileHandle file) {
  if (file != kNoFile) CloseHandle(reinterpret_cast<HANDLE>(file));
}

bool deleteFile(const std::string &name) {
  return DeleteFileW(widePath(name).c_str()) != 0;
}

void flushStandardStreams() {
  std::fflush(stdout);
  std::fflush(stderr);
}

void writeText(FILE *stream, const std::string &text) {
  // A console shows characters, not bytes: it gets UTF-16 whatever its code page. Anything
  // else (a file, a pipe) gets the UTF-8 bytes through the C stream.
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  DWORD mode = 0;
  if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) {
    std::fwrite(text.data(), 1, text.size(), stream);
    return;
  }
  std::fflush(stream); // what the stream holds comes first
  const std::wstring characters = wide(text);
  const wchar_t *at = characters.data();
  DWORD left = static_cast<DWORD>(characters.size());
  while (left > 0) {
    DWORD written = 0;
    if (!WriteConsoleW(handle, at, left, &written, nullptr) || written == 0) break;
    at += written;
    left -= written;
  }
}

std::optional<std::string> findProgram(const std::string &name) {
  using vantrel::hostText::HostSystem;
  if (name.empty()) return std::nullopt;
  const auto isFile = [](const std::string &candidate) {
    const DWORD attributes = GetFileAttributesW(widePath(candidate).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  };
  if (vantrel::hostText::namesFolder(name, HostSystem::Windows)) {
    // Named with its folder: the file it stands for (".exe" added) when that exists.
    const std::string file = vantrel::hostText::programFileName(name, HostSystem::Windows);
    return isFile(file) ? file : name;
  }
  const std::optional<std::string> path = getEnv("PATH");
  for (const std::string &candidate :
       vantrel::hostText::programCandidates(name, path.value_or(""), HostSystem::Windows)) {
    if (isFile(candidate)) return candidate;
  }
  return std::nullopt;
}

namespace {

// The folder to start a child in, when it must be named: CreateProcessW fails while the
// current folder is longer than MAX_PATH - 2 characters, so such a folder is given in its
// short form when that fits. Nothing otherwise: the child starts in the launcher's folder
// (and a folder too long in every form makes the start fail, reported as such).
std::optional<std::wstring> childFolder() {
  const std::optional<std::string> current = currentDirectory();
  if (!current || wide(*current).size() <= MAX_PATH - 2) return std::nullopt;
  const std::optional<std::string> shortForm = win32::shortPathName(*current);
  if (!shortForm) return std::nullopt;
  std::wstring folder = wide(*shortForm);
  if (folder.size() > MAX_PATH - 2) return std::nullopt;
  return folder;
}

// The supervised child while it runs, for the console handler (which runs on a thread of
// its own); null before it exists.
std::atomic<HANDLE> supervisedChild{nullptr};

// Ends the launcher with the supervised child's status once the child has ended.
[[noreturn]] void endWithChild() {
  HANDLE child;
  while ((child = supervisedChild.load()) == nullptr)
    Sleep(10); // the main thread is starting it
  WaitForSingleObject(child, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(child, &code);
  ExitProcess(code);
}

// Console events while a supervised child runs. Ctrl-C and Ctrl-Break reach every process on
// the console, the child too, which cleans up and ends; the launcher only has to stay alive
// to return its status, because ending at once would close the job and kill the child in the
// middle of its clean-up. On close, log-off and shut-down the system ends a process as soon
// as its handler returns, so this handler does not return: it ends the launcher itself with
// the child's status when the child is done (or the system ends both after its time limit).
// The handlers run under the console's lock, which removing a handler also takes: the main
// thread, done waiting, then blocks there until this thread has ended the process.
BOOL WINAPI outlastChild(DWORD event) {
  switch (event) {
  case CTRL_C_EVENT:
  case CTRL_BREAK_EVENT:
    return TRUE;
  case CTRL_CLOSE_EVENT:
  case CTRL_LOGOFF_EVENT:
  case CTRL_SHUTDOWN_EVENT:
    endWithChild();
  default:
    return FALSE;
  }
}

// A job that ends all its processes when its last handle closes: the launcher holds the
// only one (not inheritable), so it closes when the launcher ends in any way. It allows no
// breakaway: the application's own children need none (Windows 8 and later nest the job the
// application puts them in), and a process that broke away would outlive the launcher.
HANDLE createKillOnCloseJob() {
  HANDLE job = CreateJobObjectW(nullptr, nullptr);
  if (job == nullptr) return nullptr;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits;
  ZeroMemory(&limits, sizeof limits);
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
    CloseHandle(job);
    return nullptr;
  }
  return job;
}

} // namespace

bool startProcess(const std::string &commandString, FileHandle stdoutFile, bool supervise,
                  ChildProcess &child) {
  if (takeInjectedFailure(FailPoint::ProcessStart)) return false;
  // The program is found here and named to CreateProcessW, so the system's own search,
  // which looks in the launcher's and the current folder first, never picks it.
  const std::optional<std::string> program =
      findProgram(vantrel::hostText::splitWindowsCommandLine(commandString)[0]);
  if (!program) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return false;
  }
  STARTUPINFOW si;
  ZeroMemory(&si, sizeof si);
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_HIDE;
  if (stdoutFile != kNoFile) {
    si.dwFlags |= STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = reinterpret_cast<HANDLE>(stdoutFile);
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  }
  // In place before the child exists, so that no console event can end the launcher (and
  // with it the job) between the start and the wait.
  if (supervise) SetConsoleCtrlHandler(outlastChild, TRUE);
  PROCESS_INFORMATION pi;
  ZeroMemory(&pi, sizeof pi);
  // The command line is converted once; CreateProcessW may write into it. A supervised child
  // starts suspended, so that it is in the job before it can start a process of its own.
  // The program and the folder keep the classic length limit of the process start: long
  // ones are named by their short forms.
  std::wstring line = wide(commandString);
  const std::optional<std::wstring> folder = childFolder();
  if (!CreateProcessW(win32::classicPath(*program).c_str(), line.data(), nullptr, nullptr, TRUE,
                      supervise ? CREATE_SUSPENDED : 0, nullptr, folder ? folder->c_str() : nullptr, &si,
                      &pi)) {
    const DWORD error = GetLastError();
    if (supervise) SetConsoleCtrlHandler(outlastChild, FALSE);
    SetLastError(error);
    return false;
  }
  if (supervise) {
    // Inside a job that forbids breakaway (before Windows 8, which nests jobs) the child
    // cannot join one of its own: it then runs without the guarantee rather than not at all.
    HANDLE job = createKillOnCloseJob();
    if (job != nullptr && !AssignProcessToJobObject(job, pi.hProcess)) {
      CloseHandle(job);
      job = nullptr;
    }
    if (ResumeThread(pi.hThread) == static_cast<DWORD>(-1)) {
      const DWORD error = GetLastError();
      TerminateProcess(pi.hProcess, static_cast<UINT>(-1));
      CloseHandle(pi.hThread);
      CloseHandle(pi.hProcess);
      if (job != nullptr) CloseHandle(job);
      SetConsoleCtrlHandler(outlastChild, FALSE);
      SetLastError(error);
      return false;
    }
    child.job = reinterpret_cast<std::intptr_t>(job);
    child.supervised = true;
    supervisedChild.store(pi.hProcess);
  }
  CloseHandle(pi.hThread);
  child.handle = reinterpret_cast<std::intptr_t>(pi.hProcess);
  return true;
}

bool waitForExit(ChildProcess &child, int &exitCode) {
  HANDLE process = reinterpret_cast<HANDLE>(child.handle);
  // A failed wait or exit-code query ends the wait as a failure; it never reads as "still
  // running" and never waits again.
  bool ok = WaitForSingleObject(process, INFINITE) == WAIT_OBJECT_0;
  DWORD code = 0;
  if (ok) ok = GetExitCodeProcess(process, &code) != 0;
  if (child.supervised) {
    // The handler goes first: once it is removed no handler thread uses the process handle.
    SetConsoleCtrlHandler(outlastChild, FALSE);
    supervisedChild.store(nullptr);
    // Closing the job ends whatever the runtime left running; none of it may outlive the run.
    if (child.job != 0) CloseHandle(reinterpret_cast<HANDLE>(child.job));
    child.job = 0;
    child.supervised = false;
  }
  CloseHandle(process);
  child.handle = 0;
  if (takeInjectedFailure(FailPoint::ProcessWait)) ok = false;
  // The 32-bit code as a signed int: a code with the top bit set keeps every bit.
  exitCode = static_cast<int>(code);
  return ok;
}

void endBySignal(int) {}

} // namespace vantrel::launcher::platform
