// The driver's option table, argument processing with its checks in their fixed order,
// the run plan built from them, and the refusal of names that would destroy the run's files.
#include "bitmorph/Bitmorph.h"

#include "bitmorph/CauseMessages.h"
#include "bitmorph/Messages.h"
#include "bitmorph/OptionNotes.h"
#include "bitmorph/RunLedger.h"
#include "bitmorph/SofReader.h"
#include "commandApplication/CmdApp.h"
#include "commandOptions/OptionBuilder.h"
#include "commandOptions/Options.h"
#include "commandOptions/StandardStreams.h"
#include "platform/file.h"
#include "platform/path.h"

#include <algorithm>
#include <string_view>

namespace vantrel::bitmorph {

using commandOptions::OptionBuilder;
using commandOptions::Options;

namespace {

/// Registers an option that takes a value written after "=".
void addValued(Options &opts, const char *longName, char shortName, const char *argName,
               const char *description) {
  if (shortName != 0) OptionBuilder::withShortOpt(shortName);
  OptionBuilder::withArgName(argName);
  OptionBuilder::hasArg();
  OptionBuilder::withValueSeparator('=');
  OptionBuilder::withDescription(description);
  opts.addOption(OptionBuilder::create(longName));
}

/// Registers a flag.
void addFlag(Options &opts, const char *longName, char shortName, const char *description) {
  if (shortName != 0) {
    opts.addOption(longName, shortName, false, description);
  } else {
    opts.addOption(longName, false, description);
  }
}

/// True when name ends with suffix, letters compared without case.
bool endsWithIgnoringCase(const std::string &name, std::string_view suffix) {
  if (name.size() < suffix.size()) return false;
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return std::equal(suffix.begin(), suffix.end(), name.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                    [&](char a, char b) { return lower(a) == lower(b); });
}

/// Why the design's family refuses a mode: the file, the part and the family.
std::string designRefusal(const std::string &input, const SofDetection &detection, const char *lacks) {
  return messages::DESIGN_IN + input + messages::DESIGN_PART + detection.partName + messages::DESIGN_FAMILY +
         detection.family->displayName() + messages::DESIGN_DEVICE + lacks;
}

} // namespace

std::unique_ptr<Options> Bitmorph::buildOptions() {
  auto opts = std::make_unique<Options>();
  addValued(*opts, "input", 'i', "file", "input SOF file to process");
  addValued(*opts, "output", 'o', "file", "output flash file");
  addValued(*opts, "options", 0, "file", "intermediate Options file (for SPROM only)");
  addValued(*opts, "offset", 0, "addr", "design location within the flash");
  addFlag(*opts, "kld", 0, "Kld mode");
  addValued(*opts, "optionbit", 0, "optionbitaddress", "Option Bit Address");
  addValued(*opts, "programmingmode", 0, "programmingmode", "Programming mode");
  addFlag(*opts, "sprom", 0, "SPROM flash mode");
  addFlag(*opts, "qprom", 0, "QPROM flash mode of size 256Mbits");
  addFlag(*opts, "qprom128", 0, "QPROM flash mode of size 128Mbits or less");
  addFlag(*opts, "compress", 'c', "compress the SOF");
  addFlag(*opts, "activeparallel", 'a', "create parallel flash contents for active parallel programming");
  addFlag(*opts, "timestamp", 0, "produce a s0 record with timestamp of input file");
  addFlag(*opts, "save", 's', "save intermediate files");
  addFlag(*opts, "debug", 0, "debug mode");
  return opts;
}

std::optional<std::string> Bitmorph::deriveBaseName(const std::optional<std::string> &input,
                                                    const std::optional<std::string> &output) {
  const std::optional<std::string> &from = output ? output : input;
  if (!from) return std::nullopt;
  return baseNameOf(*from);
}

Bitmorph::RunNames Bitmorph::readNames(const commandApplication::CmdApp &cmd) {
  RunNames names;
  names.inputSof = cmd.getEntryFile("input", ".sof", std::nullopt);
  const std::optional<std::string> namedOutput = cmd.getEntryFile("output", ".flash", std::nullopt);
  if (const auto baseName = deriveBaseName(names.inputSof, namedOutput))
    names.files = RunFiles::forBase(*baseName);
  names.outputFlash =
      namedOutput ? namedOutput : (names.files ? std::optional(names.files->flash) : std::nullopt);
  names.optionsFile =
      cmd.getEntryValue("options", names.files ? std::optional(names.files->options) : std::nullopt);
  names.serial = cmd.hasEntry("sprom") || cmd.hasEntry("qprom") || cmd.hasEntry("qprom128");
  names.flow = chooseFlow(names.serial, cmd.hasEntry("kld"), cmd.hasEntry("activeparallel"));
  return names;
}

bool Bitmorph::checkLogFile(const commandApplication::CmdApp &cmd, const std::string &logFile) {
  const RunNames names = readNames(cmd);
  std::vector<std::string> taken;
  if (names.inputSof) taken.push_back(*names.inputSof);
  if (names.files && names.outputFlash) {
    taken.push_back(flashFileOf(names.flow, *names.files, *names.outputFlash));
    const auto reserved =
        RunLedger::reservedNames(*names.files, *names.optionsFile, names.flow == Flow::Loader);
    taken.insert(taken.end(), reserved.begin(), reserved.end());
  } else if (names.optionsFile) {
    taken.push_back(*names.optionsFile);
  }
  // A log never takes a design's name, whether or not this run reads it ("-l top.sof", one
  // letter off "-i top.sof", would turn the design into log text).
  const bool clash = endsWithIgnoringCase(logFile, ".sof") ||
                     std::any_of(taken.begin(), taken.end(),
                                 [&](const std::string &name) { return platform::sameFile(logFile, name); });
  if (clash) cmd.severe(messages::LOG_CLASHES + logFile);
  return !clash;
}

std::optional<RunPlan> Bitmorph::planRun(std::vector<CheckFailure> &refused) {
  const auto refuse = [&](CheckFailure kind, const std::string &message) {
    app->severe(message);
    refused.push_back(kind);
  };
  // The warnings first: arguments left over, then options the run sets aside (the family
  // detection prints its own line, which the next log line continues).
  auto &out = commandOptions::standardOutput();
  const RunNames names = readNames(*app);
  const std::optional<std::string> &inputSof = names.inputSof;
  const std::optional<RunFiles> &files = names.files;
  const std::optional<std::string> &outputFlash = names.outputFlash;
  const std::optional<std::string> &optionsFile = names.optionsFile;
  const bool serial = names.serial;
  const Flow flow = names.flow;
  const bool kld = app->hasEntry("kld");
  const bool activeParallel = app->hasEntry("activeparallel");
  SerialDevice device = SerialDevice::SPROM128;
  if (app->hasEntry("qprom128")) {
    device = SerialDevice::QPROM128;
  } else if (app->hasEntry("qprom")) {
    device = SerialDevice::QPROM256;
  }
  for (const auto &warnings : {leftOverWarnings(*app), setAsideWarnings(*app, flow, device, files)}) {
    for (const auto &line : warnings)
      out << line << platform::lineSeparator();
  }
  out.flush();

  // The arguments, read in this order: the number readers print their complaints as they go.
  const SofDetection detection = inputSof ? detectTargetDevice(*inputSof) : SofDetection{};
  const deviceFamily *const family = detection.family;
  const std::optional<std::string> optionBitText = app->getEntryValue("optionbit");
  const std::optional<std::string> programmingModeText = app->getEntryValue("programmingmode");
  // The flag carries no value, so its integer value is the default 1: given means on.
  const bool compress = app->hasEntry("compress") && app->getEntryValueInteger("compress", 1) != 0;
  const std::int64_t designOffset = serial ? 0 : app->getEntryValueInteger("offset", -1);
  const std::optional<std::string> offsetText = app->getEntryValue("offset");
  const bool quiet = app->hasEntry("quiet");
  const bool loader = flow == Flow::Loader;

  // The checks, in their fixed order; each failure logs its message.
  const bool detected = family != nullptr && family != &deviceFamily::INVALID;
  if (!inputSof) {
    refuse(CheckFailure::Options, messages::NO_INPUT);
  } else if (family == nullptr) {
    app->severe(messages::INPUT_FILE + *inputSof + detection.problem);
    refuse(CheckFailure::Input, messages::INPUT_NOT_SOF);
  } else if (family == &deviceFamily::INVALID) {
    refuse(CheckFailure::Input, messages::UNRECOGNIZED_FAMILY);
  }
  if (!outputFlash) refuse(CheckFailure::Options, messages::NO_OUTPUT);
  if (serial) {
    if (detected && !family->allowsSerialModes()) {
      app->severe(designRefusal(*inputSof, detection, messages::FAMILY_NO_SERIAL));
      refuse(CheckFailure::Input, messages::SPROM_FAMILY);
    }
  } else if (designOffset == -1) {
    refuse(CheckFailure::Options, messages::NO_OFFSET);
  }
  if (compress && detected && !family->allowsCompression()) {
    app->severe(designRefusal(*inputSof, detection, messages::FAMILY_NO_COMPRESSION));
    refuse(CheckFailure::Input, messages::COMPRESSION_FAMILY);
  }
  if (inputSof && outputFlash && files &&
      !checkNameClashes(*inputSof, flashFileOf(flow, *files, *outputFlash), *files, *optionsFile, loader)) {
    refused.push_back(CheckFailure::Options);
  }
  ProgrammingMode programmingMode = ProgrammingMode::FPP;
  if (kld) {
    if (!optionBitText) refuse(CheckFailure::LoaderOptions, messages::KLD_NO_OPTIONBIT);
    if (!programmingModeText) {
      refuse(CheckFailure::LoaderOptions, messages::KLD_NO_PROGRAMMINGMODE);
    } else if (const auto mode = parseProgrammingMode(*programmingModeText)) {
      programmingMode = *mode;
    } else {
      refuse(CheckFailure::LoaderOptions, messages::KLD_BAD_PROGRAMMINGMODE);
    }
  }
  if (optionBitText && !kld) refuse(CheckFailure::LoaderOptions, messages::OPTIONBIT_WITHOUT_KLD);
  if (kld && app->getEntryValueInteger("optionbit", -1) == -1) {
    refuse(CheckFailure::Options, messages::KLD_BAD_OPTIONBIT);
  }
  if (kld && activeParallel) refuse(CheckFailure::Options, messages::KLD_WITH_ACTIVEPARALLEL);
  if (!refused.empty()) return std::nullopt;

  return RunPlan{.inputSof = *inputSof,
                 .family = family,
                 .files = *files,
                 .outputFlash = flashFileOf(flow, *files, *outputFlash),
                 .optionsFile = *optionsFile,
                 .flow = flow,
                 .serialDevice = device,
                 .compress = compress,
                 .timestamp = app->hasEntry("timestamp"),
                 .save = app->hasEntry("save"),
                 .quiet = quiet,
                 .debug = app->hasEntry("debug"),
                 .echoArguments = app->hasEntry("verbose") && !quiet,
                 .designOffset = designOffset,
                 .offsetText = offsetText.value_or(""),
                 .optionBitText = optionBitText.value_or(""),
                 .programmingMode = programmingMode};
}

bool Bitmorph::checkNameClashes(const std::string &input, const std::string &output, const RunFiles &files,
                                const std::string &optionsFile, bool loader) {
  const std::vector<std::string> reserved = RunLedger::reservedNames(files, optionsFile, loader);
  // On Windows a device's name takes any extension: every file of the run would be the device.
  std::vector<std::string> written = {output};
  written.insert(written.end(), reserved.begin(), reserved.end());
  for (const auto &name : written) {
    if (platform::isDeviceName(platform::lastComponent(name))) {
      app->severe(messages::DEVICE_NAME + name + messages::DEVICE_NAME_HINT);
      return false;
    }
  }
  for (const auto &name : reserved) {
    if (platform::sameFile(input, name)) {
      app->severe(messages::INPUT_CLASHES + name);
      return false;
    }
  }
  if (platform::sameFile(output, input)) {
    app->severe(messages::OUTPUT_CLASHES + output);
    return false;
  }
  for (const auto &name : reserved) {
    if (platform::sameFile(output, name)) {
      app->severe(messages::OUTPUT_CLASHES + output);
      return false;
    }
  }
  // An options file written into a lock file would turn the lock into a file of the run's.
  for (const auto &lock : {files.lock, RunFiles::forBase(baseNameOf(optionsFile)).lock}) {
    if (platform::sameFile(optionsFile, lock)) {
      app->severe(messages::OPTIONS_CLASHES + optionsFile);
      return false;
    }
  }
  // The run writes these names and removes them: a FIFO would hold the writer forever, and
  // a device, a folder or a socket is the user's, never to be replaced or removed. The
  // loader flow also reads its flash file back, so it is one of them there.
  std::vector<std::string> regular = reserved;
  if (loader) regular.push_back(output);
  for (const auto &name : regular) {
    const platform::FileKind kind = platform::fileKind(name);
    if (kind != platform::FileKind::Missing && kind != platform::FileKind::Regular) {
      app->severe(messages::SPECIAL_RUN_FILE + name + messages::SPECIAL_RUN_FILE_KIND +
                  platform::describeKind(kind));
      return false;
    }
  }
  return true;
}

} // namespace vantrel::bitmorph
