// The steps of each flow with the files they write, and the ledger's rules for them.
#include "bitmorph/RunLedger.h"

#include "memory/MemoryMessages.h"
#include "platform/file.h"
#include "platform/interrupt.h"

namespace vantrel::bitmorph {

namespace {

bool writtenByTheRun(RunStep step) {
  switch (step) {
  case RunStep::OptionsFile:
  case RunStep::Description:
  case RunStep::LoaderOptions:
  case RunStep::Cut:
    return true;
  case RunStep::Convert:
  case RunStep::ConvertAgain:
  case RunStep::ObjectCopy:
    break;
  }
  return false;
}

/// The file a result's name stands for: through a symbolic link, its target, so that the
/// link keeps pointing where it did while the file behind it is set aside and put back.
std::string resultFileAt(const std::string &path) {
  const platform::WriteTarget target = platform::writeTarget(path);
  return target.way == platform::WriteTarget::Way::Replace ? target.path : path;
}

} // namespace

RunLedger::RunLedger(const RunPlan &plan) : save_(plan.save) {
  const RunFiles &f = plan.files;
  using K = Kind;
  // The files each step writes, in the order the flow runs them.
  switch (plan.flow) {
  case Flow::Parallel:
  case Flow::ActiveParallel:
    if (plan.writesOptionsFile()) steps_.push_back({RunStep::OptionsFile, plan.optionsFile, K::Kept});
    if (plan.flow == Flow::ActiveParallel) steps_.push_back({RunStep::Description, f.cof, K::Intermediate});
    // A converter may write its memory map beside any image: it is the run's all the same.
    steps_.push_back({RunStep::Convert, f.rbf, K::Intermediate});
    steps_.push_back({RunStep::Convert, f.map, K::Intermediate});
    break;
  case Flow::Serial:
    steps_ = {{RunStep::OptionsFile, plan.optionsFile, K::Intermediate},
              {RunStep::Convert, f.pof, K::Intermediate},
              {RunStep::Convert, f.map, K::Intermediate},
              {RunStep::ConvertAgain, f.rpd, K::Intermediate}};
    break;
  case Flow::Loader:
    steps_.push_back({RunStep::Description, f.cof, K::Intermediate});
    if (plan.compress) steps_.push_back({RunStep::LoaderOptions, f.cofOptions, K::Kept});
    steps_.insert(steps_.end(), {{RunStep::Convert, f.pof, K::Intermediate},
                                 {RunStep::Convert, f.map, K::Intermediate},
                                 {RunStep::ConvertAgain, f.hexout, K::Intermediate},
                                 {RunStep::ObjectCopy, f.flash, K::Result},
                                 {RunStep::Cut, f.optionBits, K::Result},
                                 {RunStep::Cut, f.flash, K::Result}});
    break;
  }
  for (const StepFile &file : steps_) {
    if (files_.count(file.path) != 0) continue; // a name written by two steps: its first state
    Entry entry;
    entry.before = platform::statFile(file.path);
    entry.kind = file.kind;
    files_.emplace(file.path, entry);
  }
}

RunLedger::~RunLedger() {
  // A stop that arrived while the run was ending removes what it finds registered now.
  platform::stopIfInterrupted();
  // Results that were never kept are no results: the earlier ones come back.
  if (!resultsSettled_) restoreEarlierResults();
  for (auto &[path, entry] : files_)
    release(path, entry);
}

std::vector<std::string> RunLedger::reservedNames(const RunFiles &files, const std::string &optionsFile,
                                                  bool loader) {
  std::vector<std::string> names = files.intermediates(optionsFile, loader);
  // The lock files are the run's too: they are created and removed around it.
  names.push_back(files.lock);
  const std::string optionsLock = RunFiles::forBase(baseNameOf(optionsFile)).lock;
  if (optionsLock != files.lock) names.push_back(optionsLock);
  return names;
}

std::vector<std::string> RunLedger::filesOf(RunStep step) const {
  std::vector<std::string> paths;
  for (const StepFile &file : steps_)
    if (file.step == step) paths.push_back(file.path);
  return paths;
}

void RunLedger::begin(RunStep step) {
  for (const std::string &path : filesOf(step)) {
    Entry &entry = files_.at(path);
    entry.writer = step;
    entry.ownWrite = writtenByTheRun(step);
    entry.started = true;
    entry.completed = false;
    entry.registered = true;
    platform::removeFileOnInterrupt(path, entry.before);
  }
}

void RunLedger::end(RunStep step, StepEnd how) {
  for (const std::string &path : filesOf(step)) {
    Entry &entry = files_.at(path);
    if (!entry.started || entry.writer != step) continue;
    switch (how) {
    case StepEnd::Completed:
      entry.completed = true;
      // With --save a stop keeps what is complete; a result is one only once the run is over.
      if (save_ && entry.kind != Kind::Result) release(path, entry);
      break;
    case StepEnd::Failed:
      // Half done: never read, and removed when this run wrote it.
      if (platform::changedSince(path, entry.before)) platform::removeFile(path);
      release(path, entry);
      break;
    case StepEnd::NotStarted:
      entry.started = false;
      release(path, entry);
      break;
    }
  }
}

bool RunLedger::produced(const std::string &path) const {
  const auto it = files_.find(path);
  if (it == files_.end() || !it->second.completed) return false;
  const Entry &entry = it->second;
  if (!entry.ownWrite) return platform::changedSince(path, entry.before);
  // The run's own writing may leave an identical file untouched: it is the run's all the same.
  const auto now = platform::statFile(path);
  return now && !now->isDirectory;
}

void RunLedger::removeIntermediates() {
  for (auto &[path, entry] : files_) {
    if (entry.kind != Kind::Intermediate || !produced(path)) continue;
    // Out of the registration first: once gone, the name is nobody's.
    release(path, entry);
    platform::removeFile(path);
  }
}

bool RunLedger::setAsideEarlierResults(std::string &why) {
  for (auto &[path, entry] : files_) {
    const auto now = platform::statFile(path);
    if (entry.kind != Kind::Result || entry.kept || !now || now->isDirectory) continue;
    std::string reason;
    // Moved and registered under one hold: a stop finds the earlier file in one place.
    const platform::CleanUpHold hold;
    const std::string at = resultFileAt(path);
    entry.kept = platform::setFileAside(at, reason);
    if (!entry.kept) {
      why = memory::messages::CANNOT_WRITE_FILE + path + memory::messages::REASON_SEPARATOR + reason;
      restoreEarlierResults();
      return false;
    }
    platform::restoreFileOnInterrupt(at, *entry.kept);
  }
  return true;
}

void RunLedger::keepResults() {
  // The pair becomes the run's at once: a stop sees it kept whole or not at all.
  const platform::CleanUpHold hold;
  for (auto &[path, entry] : files_) {
    if (entry.kind != Kind::Result) continue;
    release(path, entry);
    platform::dontRestoreFileOnInterrupt(resultFileAt(path));
    if (entry.kept) platform::removeFile(*entry.kept);
    entry.kept.reset();
  }
  resultsSettled_ = true;
}

std::vector<std::pair<std::string, std::string>> RunLedger::restoreEarlierResults() {
  std::vector<std::pair<std::string, std::string>> notBack;
  const platform::CleanUpHold hold;
  for (auto &[path, entry] : files_) {
    if (entry.kind != Kind::Result) continue;
    // What this run wrote there goes; the earlier file comes back whole.
    const std::string at = resultFileAt(path);
    if (entry.started && platform::changedSince(at, entry.before)) platform::removeFile(at);
    if (entry.kept && !platform::renameFile(*entry.kept, at)) notBack.emplace_back(path, *entry.kept);
    platform::dontRestoreFileOnInterrupt(at);
    release(path, entry);
    entry.kept.reset();
  }
  resultsSettled_ = true;
  return notBack;
}

void RunLedger::release(const std::string &path, Entry &entry) {
  if (entry.registered) platform::dontRemoveFileOnInterrupt(path);
  entry.registered = false;
}

} // namespace vantrel::bitmorph
