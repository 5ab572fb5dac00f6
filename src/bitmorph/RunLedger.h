// The ledger of the files a run produces: for each file its state before the run, the step
// that writes it, whether that step started and whether it completed. What a stop removes,
// what the end of the run removes, which names a run may not be given, and the rule that
// only what this run produced is read as its result all come from here.
#pragma once

#include "bitmorph/RunPlan.h"
#include "platform/file.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::bitmorph {

/// A step of a run that writes files.
enum class RunStep {
  OptionsFile,   ///< the converter options file (the run writes it)
  Description,   ///< the conversion description ".cof" (the run writes it)
  LoaderOptions, ///< the loader flow's ".cof.opt" (the run writes it)
  Convert,       ///< the converter's first run
  ConvertAgain,  ///< the converter's second run (serial ".rpd", loader ".hexout")
  ObjectCopy,    ///< the object-copy tool (the loader's ".flash")
  Cut            ///< the loader's two ranges (".map.flash", and ".flash" rewritten)
};

/// How a step ended.
enum class StepEnd {
  Completed,  ///< it ended by itself (a tool: any exit that is no crash)
  NotStarted, ///< it never began (a tool that could not be started): it wrote nothing
  Failed      ///< it crashed, or its writing failed: what it wrote is half done
};

/// One ledger per run, made once the run holds its locks (the states before the run are
/// taken then). The files of a step are registered for the clean-up of a stop (interrupt.h)
/// only once the step begins; the ledger is the only code of the run that registers them.
///
/// On a stop, a file whose step had not completed is removed when it changed since the run
/// began, with or without --save; a completed file is kept with --save and removed without;
/// the loader flow's two results are removed until the run is over. A file no step of this
/// run began to write is never touched.
///
/// The loader flow's results are a pair that belongs together: before its object-copy tool
/// writes base.flash, the earlier pair is set aside, and until the run keeps its results
/// (keepResults) a failure, a stop or the end of the ledger puts the earlier pair back as
/// it was, or leaves none where there was none.
class RunLedger {
public:
  /// What the end of a run that succeeded does with a file.
  enum class Kind {
    Intermediate, ///< removed unless --save
    Kept,         ///< stays (the parallel flows' options file, the loader's ".cof.opt")
    Result        ///< stays, and counts as a result only once the run is over
  };

  /// The ledger of the plan's flow, with the state of each of its files now.
  explicit RunLedger(const RunPlan &plan);
  /// The run is over. A stop already under way wins (this never returns then); otherwise
  /// every file is taken out of the registration: what is left is the run's outcome.
  ~RunLedger();
  RunLedger(const RunLedger &) = delete;
  RunLedger &operator=(const RunLedger &) = delete;

  /// Every name a run of these files may write or hold, in the order the name checks report
  /// them: RunFiles::intermediates, then the lock files a run may hold.
  static std::vector<std::string> reservedNames(const RunFiles &files, const std::string &optionsFile,
                                                bool loader);

  /// The files step writes in this run, in order (none for a step the flow does not have).
  std::vector<std::string> filesOf(RunStep step) const;
  /// The step begins: from now on a stop removes its files when they change.
  void begin(RunStep step);
  /// The step ended as how says. A failed step's files are removed when they changed since
  /// the run began; those of a step that never started are taken out of the registration.
  void end(RunStep step, StepEnd how);
  /// True when path is this run's: the step that writes it completed, and the file exists
  /// and was written by the run itself or changed since the run began. Only such a file is
  /// read as a result of the run.
  bool produced(const std::string &path) const;
  /// The end of a run whose flow succeeded, without --save: removes the intermediates this
  /// run produced.
  void removeIntermediates();

  /// Moves the earlier results (Kind::Result files that exist now) aside, to names this run
  /// owns, and registers them to be put back after a stop. False, with why ("Cannot write
  /// <file>: <reason>"), when one cannot be moved; what was moved is back then.
  bool setAsideEarlierResults(std::string &why);
  /// The run succeeded: its results stay, and the earlier ones set aside are removed.
  void keepResults();
  /// The run failed: the results it wrote go and the earlier ones come back. Gives the
  /// earlier results that could not be put back, each as its name and the name it is
  /// kept under.
  std::vector<std::pair<std::string, std::string>> restoreEarlierResults();

private:
  struct Entry {
    std::optional<platform::FileStatus> before;
    Kind kind = Kind::Intermediate;
    bool ownWrite = false;   ///< written by the run itself, not by a tool
    bool started = false;    ///< its writing step has begun
    bool completed = false;  ///< that step completed
    bool registered = false; ///< a stop removes it when it changed since the run began
    RunStep writer = RunStep::Convert;
    std::optional<std::string> kept; ///< where the earlier result is set aside
  };
  struct StepFile {
    RunStep step;
    std::string path;
    Kind kind;
  };

  void release(const std::string &path, Entry &entry);

  bool save_ = false;
  bool resultsSettled_ = false; ///< kept or restored: nothing left for the end to put back
  std::vector<StepFile> steps_;
  std::map<std::string, Entry> files_;
};

} // namespace vantrel::bitmorph
