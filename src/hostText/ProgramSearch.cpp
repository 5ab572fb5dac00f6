// The search of PATH for a program: candidates in order, never the current folder.
#include "hostText/ProgramSearch.h"

namespace vantrel::hostText {

namespace {

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

/// The folders of a search path as the system's own search reads them: on Windows quotes
/// are dropped and a ';' between them belongs to the folder's name.
std::vector<std::string> searchEntries(std::string_view pathList, HostSystem host) {
  const bool windows = host == HostSystem::Windows;
  const char listSeparator = windows ? ';' : ':';
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
  return folders;
}

} // namespace

std::string programFileName(std::string_view program, HostSystem host) {
  std::string name(program);
  if (host == HostSystem::Windows && !endsWithExe(name)) name += ".exe";
  return name;
}

std::vector<std::string> programCandidates(std::string_view program, std::string_view pathList,
                                           HostSystem host) {
  std::vector<std::string> candidates;
  if (program.empty() || namesFolder(program, host)) return candidates;
  const std::string name = programFileName(program, host);
  std::vector<std::string> folders = searchEntries(pathList, host);
  for (std::string &folder : folders) {
    if (!isAbsolutePath(folder, host)) continue;
    if (!isPathSeparator(folder.back(), host)) folder += preferredSeparator(host);
    candidates.push_back(folder + name);
  }
  return candidates;
}

std::vector<std::string> skippedSearchEntries(std::string_view pathList, HostSystem host) {
  std::vector<std::string> skipped;
  for (std::string &folder : searchEntries(pathList, host)) {
    if (!isAbsolutePath(folder, host)) skipped.push_back(std::move(folder));
  }
  return skipped;
}

std::string inSkippedEntry(std::string_view entry, std::string_view program, HostSystem host) {
  std::string folder(entry.empty() ? "." : entry);
  if (!isPathSeparator(folder.back(), host)) folder += preferredSeparator(host);
  return folder + programFileName(program, host);
}

} // namespace vantrel::hostText
