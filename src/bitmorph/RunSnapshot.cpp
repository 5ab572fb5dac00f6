// Before/after comparison of file status for the run's intermediate names.
#include "bitmorph/RunSnapshot.h"

namespace vantrel::bitmorph {

namespace {

bool sameFile(const platform::FileStatus &a, const platform::FileStatus &b) {
  return a.size == b.size && a.modifiedNanos == b.modifiedNanos && a.changedNanos == b.changedNanos &&
         a.device == b.device && a.fileId == b.fileId && a.isDirectory == b.isDirectory;
}

} // namespace

void RunSnapshot::record(const std::vector<std::string> &paths) {
  for (const auto &path : paths)
    record(path);
}

void RunSnapshot::record(const std::string &path) {
  if (before_.count(path) != 0) return;
  before_.emplace(path, platform::statFile(path));
}

bool RunSnapshot::isRecorded(const std::string &path) const {
  return before_.count(path) != 0;
}

bool RunSnapshot::producedByRun(const std::string &path) const {
  const auto now = platform::statFile(path);
  if (!now || now->isDirectory) return false;
  if (written_.count(path) != 0) return true;
  const auto it = before_.find(path);
  if (it == before_.end()) return false;
  if (!it->second) return true;
  return !sameFile(*it->second, *now);
}

void RunSnapshot::markProduced(const std::string &path) {
  written_.insert(path);
}

bool RunSnapshot::removeIfProduced(const std::string &path) const {
  if (!producedByRun(path)) return false;
  return platform::removeFile(path);
}

} // namespace vantrel::bitmorph
