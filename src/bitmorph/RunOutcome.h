// What each stage of a run produced, and the one decision that turns it into the exit code.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vantrel::bitmorph {

/// The exit codes of the application (Bitmorph gives them their outer names).
namespace exitCode {
inline constexpr int SUCCESS = 0;       ///< conversion finished, or help shown
inline constexpr int CMD_ERROR = 1;     ///< command line rejected or log file not opened
inline constexpr int OPTION_ERROR = 2;  ///< option validation failed
inline constexpr int INPUT_ERROR = 3;   ///< input SOF or converter output unusable
inline constexpr int DATA_ERROR = 4;    ///< flash image cannot be built
inline constexpr int EXT_APP_ERROR = 6; ///< a conversion flow failed
inline constexpr int OUTPUT_ERROR = 7;  ///< flash file cannot be written
/// A fault of the program itself (an error it did not expect), never of its input: main
/// prints the error's text and ends with this code. 70 is the conventional "internal
/// software error" status, well apart from the conversion's own codes.
inline constexpr int INTERNAL_ERROR = 70;
} // namespace exitCode

/// How the command application answered the command line.
enum class StartStatus {
  Started,            ///< the run went on to the checks
  HelpShown,          ///< --help: the help was printed
  CommandLineRejected ///< the parser or the log file refused the command line
};

/// The kind of a failed argument check.
enum class CheckFailure {
  Options,      ///< options missing or contradicting each other
  Input,        ///< the input SOF cannot be used, or its family refuses the mode
  LoaderOptions ///< a flash-loader option missing or wrong; outranks an input failure
};

/// How a conversion flow ended.
enum class FlowStatus {
  NotRun,
  Succeeded,
  OptionsFileFailed, ///< the converter options file could not be written
  LaunchFailed,      ///< the converter could not be driven, or it crashed
  LoaderFailed,      ///< the flash-loader flow failed (it printed why)
  /// The converter ended with an error status: the flow has no result, which the output
  /// stage reports as it reports a missing one (INPUT_ERROR).
  ToolFailed
};

/// What a conversion flow produced.
struct FlowResult {
  FlowStatus status = FlowStatus::NotRun;
  /// The converter's raw image for the output stage; empty for the loader flow, which
  /// writes its results itself.
  std::string binary{};
  /// The conversion description the active-parallel flow wrote.
  std::optional<std::string> description{};

  bool succeeded() const { return status == FlowStatus::Succeeded; }
};

/// How the output stage ended.
enum class OutputStatus {
  NotRun,
  Written,
  ReadFailed,     ///< the converter's raw image is missing, unreadable or empty
  GenerateFailed, ///< the flash image cannot be built from it
  WriteFailed     ///< the flash file cannot be written
};

/// The results of every stage that ran.
struct RunResults {
  StartStatus start = StartStatus::Started;
  std::vector<CheckFailure> refused{}; ///< every failed argument check, in order
  FlowStatus flow = FlowStatus::NotRun;
  OutputStatus output = OutputStatus::NotRun;
  /// An error the program did not expect (a fault of the program, not of its input)
  /// ended the run.
  bool internalError = false;
  /// The run could not take its turn on its files (a lock could not be taken): it wrote
  /// nothing.
  bool lockFailed = false;
};

/// The exit code of a run: the one place where results become codes (exitCode). An internal error outranks
/// everything; then the start; a refused command line gives INPUT_ERROR when an input check failed, unless a
/// loader-option check failed too, and OPTION_ERROR otherwise; a lock that could not be taken gives
/// OUTPUT_ERROR (the flash file cannot be written); a failed flow gives EXT_APP_ERROR, except a converter
/// that ended with an error status, which leaves the code to the output stage; the output stage gives
/// INPUT_ERROR, DATA_ERROR or OUTPUT_ERROR (also when the results were refused before the flow ran);
/// everything else SUCCESS.
int decideExitCode(const RunResults &results);

} // namespace vantrel::bitmorph
