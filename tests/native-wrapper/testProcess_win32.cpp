// Test helpers on Windows: CreateProcessA with files for the child's output and an
// environment block, SetEnvironmentVariableA, Z: paths for the build machine's files.
#include "testProcess.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace launcher_test {

namespace {

std::string readAll(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
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

std::string upper(std::string s) {
  for (char &c : s)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

/// One argument quoted so that the C runtime's rules give it back intact.
std::string quote(const std::string &arg) {
  std::string q = "\"";
  size_t bs = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++bs;
      continue;
    }
    if (c == '"') {
      q.append(bs * 2 + 1, '\\');
    } else {
      q.append(bs, '\\');
    }
    q += c;
    bs = 0;
  }
  q.append(bs * 2, '\\');
  return q + "\"";
}

HANDLE openOutput(const std::string &path) {
  SECURITY_ATTRIBUTES sa{};
  sa.nLength = sizeof sa;
  sa.bInheritHandle = TRUE;
  return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, CREATE_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

RunResult runProgram(const std::string &program, const std::vector<std::string> &args,
                     const EnvChanges &env) {
  // Names compare without case; the block is sorted as Windows expects.
  std::map<std::string, std::pair<std::string, std::string>> vars;
  char *block = GetEnvironmentStringsA();
  for (const char *e = block; *e; e += std::strlen(e) + 1) {
    const char *eq = std::strchr(e + 1, '=');
    if (eq)
      vars[upper(std::string(e, static_cast<size_t>(eq - e)))] = {std::string(e, static_cast<size_t>(eq - e)),
                                                                  eq + 1};
  }
  FreeEnvironmentStringsA(block);
  for (const auto &[name, value] : env) {
    if (value)
      vars[upper(name)] = {name, *value};
    else
      vars.erase(upper(name));
  }
  std::string envBlock;
  for (const auto &[key, entry] : vars) {
    envBlock += entry.first + "=" + entry.second;
    envBlock += '\0';
  }
  envBlock += '\0';

  std::string line = quote(program);
  for (const std::string &a : args)
    line += " " + quote(a);
  std::vector<char> lineBuf(line.begin(), line.end());
  lineBuf.push_back('\0');

  std::string dir = makeTempDir("run");
  std::string outPath = dir + "\\out", errPath = dir + "\\err";
  HANDLE out = openOutput(outPath);
  HANDLE err = openOutput(errPath);
  STARTUPINFOA si;
  ZeroMemory(&si, sizeof si);
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = out;
  si.hStdError = err;
  PROCESS_INFORMATION pi;
  ZeroMemory(&pi, sizeof pi);
  RunResult result;
  if (CreateProcessA(program.c_str(), lineBuf.data(), nullptr, nullptr, TRUE, 0, envBlock.data(), nullptr,
                     &si, &pi)) {
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    result.started = true;
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
  std::filesystem::remove_all(dir, ignored);
  return result;
}

void setEnv(const std::string &name, const std::optional<std::string> &value) {
  SetEnvironmentVariableA(name.c_str(), value ? value->c_str() : nullptr);
}

std::optional<std::string> getEnv(const std::string &name) {
  SetLastError(ERROR_SUCCESS);
  DWORD n = GetEnvironmentVariableA(name.c_str(), nullptr, 0);
  if (n == 0) return GetLastError() == ERROR_ENVVAR_NOT_FOUND ? std::nullopt : std::optional<std::string>("");
  std::string value(n, '\0');
  value.resize(GetEnvironmentVariableA(name.c_str(), value.data(), n));
  return value;
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
