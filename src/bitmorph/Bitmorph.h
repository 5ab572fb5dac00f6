// The conversion driver: options, the run plan, flow dispatch, output stage, clean-up and
// exit code.
#pragma once

#include "bitmorph/KLDFlashGenerator.h"
#include "bitmorph/RunOutcome.h"
#include "bitmorph/RunPlan.h"
#include "bitmorph/SofReader.h"
#include "bitmorph/deviceFamily.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::commandApplication {
class CmdApp;
}
namespace vantrel::commandOptions {
class Options;
}
namespace vantrel::memory {
class BinaryMemory;
class FlashDataMemory;
} // namespace vantrel::memory

namespace vantrel::bitmorph {

class RunLedger;
class ToolRunner;
struct ToolLog;

/// The application's entry point: one object performs one whole run in its constructor.
class Bitmorph {
public:
  /// The exit codes, under the names callers know them by (exitCode in RunOutcome.h says
  /// what each means).
  static constexpr int SUCCESS = exitCode::SUCCESS;
  static constexpr int CMD_ERROR = exitCode::CMD_ERROR;
  static constexpr int OPTION_ERROR = exitCode::OPTION_ERROR;
  static constexpr int INPUT_ERROR = exitCode::INPUT_ERROR;
  static constexpr int DATA_ERROR = exitCode::DATA_ERROR;
  static constexpr int EXT_APP_ERROR = exitCode::EXT_APP_ERROR;
  static constexpr int OUTPUT_ERROR = exitCode::OUTPUT_ERROR;
  static constexpr int INTERNAL_ERROR = exitCode::INTERNAL_ERROR;

  /// Runs the tool on args and ends the process with the exit code when it is not 0
  /// (after flushing the output); returns normally on success. For a program that no Java
  /// runtime started (the driver executable): under a runtime the process ends through
  /// the runtime instead (runTool, then java.lang.System.exit).
  static void main(const std::vector<std::string> &args);

  /// Runs the tool on args and returns its exit code once the run is over: its interrupt
  /// handlers are taken away again and the output is flushed. The one handler of errors
  /// the program did not expect: it prints their text on standard error and gives
  /// INTERNAL_ERROR.
  static int runTool(const std::vector<std::string> &args);

  /// Performs the whole run; the outcome is getRetValue(). An error the program did not
  /// expect propagates.
  explicit Bitmorph(const std::vector<std::string> &args);
  ~Bitmorph();
  Bitmorph(const Bitmorph &) = delete;
  Bitmorph &operator=(const Bitmorph &) = delete;

  /// The exit code of the run.
  int getRetValue() const { return retValue; }

  /// The family of the SOF at path: nothing when it cannot be opened, is not a SOF or ends
  /// early; INVALID (after printing "foo:10M" and the part name) when no prefix matches.
  /// A path that does not open as given is tried once more with its quotes removed.
  static const deviceFamily *getTargetDeviceFamily(const std::string &path);
  /// getTargetDeviceFamily with all that detection found: the part name, and why there is
  /// no family when there is none.
  static SofDetection detectTargetDevice(const std::string &path);

  /// The driver's option table, in registration order (without the standard options).
  static std::unique_ptr<commandOptions::Options> buildOptions();

  /// The base name for an input and an output: the output's base name, else the input's
  /// (baseNameOf), else nothing.
  static std::optional<std::string> deriveBaseName(const std::optional<std::string> &input,
                                                   const std::optional<std::string> &output);

  /// Parallel flow (with the active-parallel variant): the converter writes the ".rbf".
  FlowResult parallelCpf(const RunPlan &plan);
  /// Serial flow: the converter writes the ".pof" and ".map", then the ".rpd".
  FlowResult serialCpf(const RunPlan &plan);
  /// Builds the flash image from the converter's raw image; false when it cannot.
  bool generateFlash(const RunPlan &plan, memory::BinaryMemory &binary, memory::FlashDataMemory &flash);
  /// Design size from the serial flow's map, or -1.
  std::int64_t getLen(const RunPlan &plan);

private:
  /// The names a command line gives a run, read before any check (nothing is printed).
  struct RunNames {
    std::optional<std::string> inputSof;
    std::optional<RunFiles> files;          ///< from the base name, when there is one
    std::optional<std::string> outputFlash; ///< the named output, else the default one
    std::optional<std::string> optionsFile; ///< --options, else the default one
    bool serial = false;
    Flow flow = Flow::Parallel;
  };
  static RunNames readNames(const commandApplication::CmdApp &cmd);
  /// The command application's check of the --log name, before it opens the file: false
  /// (with the reason logged) when the log would overwrite a SOF file, the input, the
  /// output or a file the run writes or holds, however the names are spelled.
  static bool checkLogFile(const commandApplication::CmdApp &cmd, const std::string &logFile);
  RunResults run(const std::vector<std::string> &args);
  std::optional<RunPlan> planRun(std::vector<CheckFailure> &refused);
  bool checkNameClashes(const std::string &input, const std::string &output, const RunFiles &files,
                        const std::string &optionsFile, bool loader);
  FlowResult runFlow(const RunPlan &plan);
  void echoArgs(const RunPlan &plan, const std::vector<std::string> &args);
  bool resultsReplaceable(const RunPlan &plan);
  OutputStatus outputStage(const RunPlan &plan, const std::string &binaryFile, bool toolFailed);
  void cleanUp(const RunPlan &plan);
  bool writeOptionsFile(const RunPlan &plan, const std::vector<std::string> &lines);
  FlowStatus runConverters(const RunPlan &plan, const std::vector<std::vector<std::string>> &commands);
  ToolLog toolLog() const;

  std::unique_ptr<commandOptions::Options> opts;
  std::unique_ptr<commandApplication::CmdApp> app;
  KLDFlashGenerator gen;
  /// The ledger of the run's files while the run holds its locks (a local of the run,
  /// which goes before the locks are let go).
  RunLedger *ledger = nullptr;
  int retValue = SUCCESS;
};

} // namespace vantrel::bitmorph
