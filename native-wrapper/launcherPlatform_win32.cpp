// The launcher's OS layer on Windows: module file name, current directory, directory
// enumeration, temporary files and CreateProcessA. Only Win32 calls for the launcher live here.
#include "launcherPlatform.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

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

int lastError() {
  return static_cast<int>(GetLastError());
}

void setLastError(int error) {
  SetLastError(static_cast<DWORD>(error));
}

std::optional<std::string> moduleFileName() {
  // A path that fills the buffer was cut: grow the buffer rather than use a cut path.
  std::string buffer(MAX_PATH, '\0');
  for (;;) {
    DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return std::nullopt;
    if (n < buffer.size()) {
      buffer.resize(n);
      return buffer;
    }
    if (buffer.size() >= 32768) return std::nullopt;
    buffer.resize(buffer.size() * 2);
  }
}

std::optional<std::string> currentDirectory() {
  std::string buffer(MAX_PATH, '\0');
  for (;;) {
    DWORD n = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
    if (n == 0) return std::nullopt;
    if (n < buffer.size()) {
      buffer.resize(n);
      return buffer;
    }
    buffer.resize(n); // n is the size needed, terminator included
  }
}

std::optional<std::string> getEnv(const std::string &name) {
  // An empty value also gives 0; only the error code tells it from a missing variable.
  SetLastError(ERROR_SUCCESS);
  DWORD n = GetEnvironmentVariableA(name.c_str(), nullptr, 0);
  if (n == 0)
    return GetLastError() == ERROR_ENVVAR_NOT_FOUND ? std::nullopt
                                                    : std::optional<std::string>(std::string());
  std::string value(n, '\0');
  DWORD got = GetEnvironmentVariableA(name.c_str(), value.data(), n);
  value.resize(got < n ? got : 0);
  return value;
}

std::vector<std::string> listDirectory(const std::string &dir) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = data.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return names;
}

std::optional<std::string> tempPath() {
  if (takeInjectedFailure(FailPoint::TempDirectory)) return std::nullopt;
  char buffer[512];
  DWORD n = GetTempPathA(sizeof buffer, buffer);
  if (n == 0 || n > sizeof buffer) return std::nullopt;
  return std::string(buffer, n);
}

std::optional<std::string> makeTempFileName(const std::string &dir, const char *prefix) {
  if (takeInjectedFailure(FailPoint::TempName)) return std::nullopt;
  char buffer[MAX_PATH];
  // Unique number 0: the system picks the number and creates the file.
  if (GetTempFileNameA(dir.c_str(), prefix, 0, buffer) == 0) return std::nullopt;
  return std::string(buffer);
}

FileHandle createInheritableFile(const std::string &name) {
  if (takeInjectedFailure(FailPoint::TempFileCreate)) return kNoFile;
  SECURITY_ATTRIBUTES sa{};
  sa.nLength = sizeof sa;
  sa.bInheritHandle = TRUE;
  HANDLE h = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, &sa, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  return h == INVALID_HANDLE_VALUE ? kNoFile : reinterpret_cast<FileHandle>(h);
}

FileHandle openForReading(const std::string &name) {
  if (takeInjectedFailure(FailPoint::TempFileOpen)) return kNoFile;
  HANDLE h = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
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
  return DeleteFileA(name.c_str()) != 0;
}

void flushStandardStreams() {
  std::fflush(stdout);
  std::fflush(stderr);
}

bool startProcess(const std::string &commandString, FileHandle stdoutFile, ChildProcess &child) {
  if (takeInjectedFailure(FailPoint::ProcessStart)) return false;
  STARTUPINFOA si;
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
  PROCESS_INFORMATION pi;
  ZeroMemory(&pi, sizeof pi);
  // CreateProcessA may write into the command line, so it gets its own copy.
  std::vector<char> line(commandString.begin(), commandString.end());
  line.push_back('\0');
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi))
    return false;
  CloseHandle(pi.hThread);
  child.handle = reinterpret_cast<std::intptr_t>(pi.hProcess);
  return true;
}

bool waitForExit(ChildProcess &child, int &exitCode) {
  HANDLE process = reinterpret_cast<HANDLE>(child.handle);
  bool ok = WaitForSingleObject(process, INFINITE) == WAIT_OBJECT_0;
  DWORD code = 0;
  if (ok) ok = GetExitCodeProcess(process, &code) != 0;
  CloseHandle(process);
  child.handle = 0;
  if (takeInjectedFailure(FailPoint::ProcessWait)) ok = false;
  // The 32-bit code as a signed int: a code with the top bit set keeps every bit.
  exitCode = static_cast<int>(code);
  return ok;
}

} // namespace vantrel::launcher::platform
