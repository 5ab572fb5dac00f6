// The conversion driver: options, validation, device family, flow dispatch, output stage,
// clean-up and exit code.
#pragma once

#include "bitmorph/KLDFlashGenerator.h"
#include "bitmorph/ProgrammingMode.h"
#include "bitmorph/RunSnapshot.h"
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

class ToolRunner;

/// The application's entry point: one object performs one whole run in its constructor.
class Bitmorph {
public:
  static constexpr int SUCCESS = 0;       ///< conversion finished, or help shown
  static constexpr int CMD_ERROR = 1;     ///< command line rejected or log file not opened
  static constexpr int OPTION_ERROR = 2;  ///< option validation failed
  static constexpr int INPUT_ERROR = 3;   ///< input SOF or converter output unusable
  static constexpr int DATA_ERROR = 4;    ///< flash image cannot be built
  static constexpr int EXT_APP_ERROR = 6; ///< a conversion flow failed
  static constexpr int OUTPUT_ERROR = 7;  ///< flash file cannot be written

  /// Runs the tool on args and ends the process with the exit code when it is not 0
  /// (after flushing the output); returns normally on success.
  static void main(const std::vector<std::string> &args);

  /// Performs the whole run; the outcome is getRetValue().
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

  /// The driver's option table, in registration order (without the standard options).
  static std::unique_ptr<commandOptions::Options> buildOptions();

  /// The base name for an input and an output: the output without its last extension, else
  /// the input without its last extension, else nothing. The last "." is searched in the
  /// whole path, directories included.
  static std::optional<std::string> deriveBaseName(const std::optional<std::string> &input,
                                                   const std::optional<std::string> &output);

  /// Parallel flow (with the active-parallel variant): the converter writes base + ".rbf".
  bool parallelCpf();
  /// Serial flow: the converter writes base + ".pof" and ".map", then base + ".rpd".
  bool serialCpf(bool qprom);
  /// Builds the flash image from the converter's raw image; false when it cannot.
  bool generateFlash(memory::BinaryMemory &binary, memory::FlashDataMemory &flash);
  /// Design size from the serial map base + ".map", or -1.
  std::int64_t getLen();

private:
  void run(const std::vector<std::string> &args);
  bool processArgs();
  bool checkNameClashes();
  void takeSnapshot();
  bool runFlow();
  void echoArgs(const std::vector<std::string> &args);
  void outputStage();
  void cleanUp();
  bool writeOptionsFile(const std::vector<std::string> &lines);
  bool runConverter(ToolRunner &runner);
  bool producedByRun(const std::string &path) const;

  std::unique_ptr<commandOptions::Options> opts;
  std::unique_ptr<commandApplication::CmdApp> app;

  std::optional<std::string> inputSof;
  std::optional<std::string> baseName;
  std::string intermediateBinary;
  std::optional<std::string> intermediateCof;
  std::optional<std::string> intermediateOptions;
  std::optional<std::string> outputFlash;
  std::optional<std::string> programmingMode;
  ProgrammingMode enumProgrammingMode = ProgrammingMode::FPP;
  std::int64_t designOffset = -1;
  std::optional<std::string> hexOffset;
  std::optional<std::string> optionBitAddress;
  bool compressMode = false;
  bool activeParallelMode = false;
  bool saveTimestamp = false;
  bool spromMode = false;
  bool qpromMode = false;
  bool qprom128Mode = false;
  bool saveMode = false;
  bool quietMode = false;
  bool debugMode = false;
  bool kldMode = false;
  bool verbose = false;
  KLDFlashGenerator gen;
  RunSnapshot snapshot;
  int retValue = SUCCESS;
  const deviceFamily *family = nullptr;
};

} // namespace vantrel::bitmorph
