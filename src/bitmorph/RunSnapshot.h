// The state of the run's intermediate file names before any tool ran, so that only files
// this run produced are read as its results or deleted by its clean-up.
#pragma once

#include "platform/file.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace vantrel::bitmorph {

/// Remembers, for each recorded name, whether a file existed and its size, modification
/// time, change time and identity. A file counts as produced by the run when it exists now
/// and either did not exist then or differs in any of those.
class RunSnapshot {
public:
  /// Records the current state of each name (a name recorded twice keeps its first state).
  void record(const std::vector<std::string> &paths);
  /// Records the current state of one name.
  void record(const std::string &path);
  /// True when the name was recorded.
  bool isRecorded(const std::string &path) const;
  /// True when a file exists at path now and this run created or rewrote it. A name never
  /// recorded is never counted as produced: nothing is known about its past.
  bool producedByRun(const std::string &path) const;
  /// The recorded state of a name: nothing when no file existed then (or the name was never
  /// recorded).
  std::optional<platform::FileStatus> stateBefore(const std::string &path) const;
  /// Marks a file that this run wrote itself (its content is the run's, even when an
  /// identical file was left untouched), so that it counts as produced while it exists.
  void markProduced(const std::string &path);
  /// Deletes the file only when this run produced it; true when it was deleted.
  bool removeIfProduced(const std::string &path) const;

private:
  std::map<std::string, std::optional<platform::FileStatus>> before_;
  std::set<std::string> written_;
};

} // namespace vantrel::bitmorph
