// The search of PATH for a program: candidates in order, never the current folder.
#include "hostText/ProgramSearch.h"

namespace vantrel::hostText {

namespace {

bool isSlash(char c, HostSystem host) {
  return c == '/' || (host == HostSystem::Windows && c == '\\');
}

char asciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool endsWithExe(std::string_view name) {
  constexpr std::string_view exe = ".exe";
  if (name.size() < exe.size()) return false;
  for (std::size_t i = 0; i < exe.size(); ++i)
    if (asciiLower(name[name.size() - exe.size() + i]) != exe[i]) return false;
  return true;
}

} // namespace

bool namesFolder(std::string_view program, HostSystem host) {
  for (char c : program)
    if (isSlash(c, host) || (host == HostSystem::Windows && c == ':')) return true;
  return false;
}

bool isAbsolutePath(std::string_view path, HostSystem host) {
  if (host == HostSystem::Posix) return !path.empty() && path[0] == '/';
  const bool drive = path.size() >= 3 &&
                     ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
                     path[1] == ':' && isSlash(path[2], host);
  const bool unc = path.size() >= 2 && isSlash(path[0], host) && isSlash(path[1], host);
  return drive || unc;
}

std::vector<std::string> programCandidates(std::string_view program, std::string_view pathList,
                                           HostSystem host) {
  std::vector<std::string> candidates;
  if (program.empty() || namesFolder(program, host)) return candidates;
  const bool windows = host == HostSystem::Windows;
  const char listSeparator = windows ? ';' : ':';
  std::string name(program);
  if (windows && !endsWithExe(name)) name += ".exe";
  // Split the list; on Windows quotes are dropped and a ';' between them belongs to the
  // folder's name, as the system's own search reads PATH.
  std::vector<std::string> folders(1);
  bool quoted = false;
  for (char c : pathList) {
    if (windows && c == '"')
      quoted = !quoted;
    else if (c == listSeparator && !quoted)
      folders.emplace_back();
    else
      folders.back() += c;
  }
  for (std::string &folder : folders) {
    if (!isAbsolutePath(folder, host)) continue;
    if (!isSlash(folder.back(), host)) folder += windows ? '\\' : '/';
    candidates.push_back(folder + name);
  }
  return candidates;
}

} // namespace vantrel::hostText
