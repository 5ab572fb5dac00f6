// The driver's option table, argument processing with its checks in their fixed order,
// the base name and the refusal of output names that would destroy the run's files.
#include "bitmorph/Bitmorph.h"

#include "bitmorph/Messages.h"
#include "commandApplication/CmdApp.h"
#include "commandOptions/OptionBuilder.h"
#include "commandOptions/Options.h"
#include "commandOptions/StandardStreams.h"
#include "platform/file.h"

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

/// Two names for the same file: the same text, or both existing with the same identity.
bool sameFile(const std::string &a, const std::string &b) {
  if (a == b) return true;
  const auto sa = platform::statFile(a);
  const auto sb = platform::statFile(b);
  // A file system that reports no identity (0) cannot tell; the texts decide alone then.
  return sa && sb && sa->fileId != 0 && sa->device == sb->device && sa->fileId == sb->fileId &&
         !sa->isDirectory;
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
  const std::size_t dot = from->rfind('.');
  return dot == std::string::npos ? *from : from->substr(0, dot);
}

bool Bitmorph::processArgs() {
  bool ok = true;
  const auto remaining = app->getRemainingArgs();
  if (remaining.size() > 1) {
    auto &out = commandOptions::standardOutput();
    for (const auto &arg : remaining) {
      if (!arg.empty() && arg[0] == '-') {
        out << messages::UNRECOGNIZED_ARGUMENT << arg << platform::lineSeparator();
      }
    }
    out.flush();
  }

  inputSof = app->getEntryFile("input", ".sof", std::nullopt);
  if (inputSof) family = getTargetDeviceFamily(*inputSof);
  outputFlash = app->getEntryFile("output", ".flash", std::nullopt);

  baseName = deriveBaseName(inputSof, outputFlash);
  if (inputSof && !outputFlash) outputFlash = *baseName + ".flash";

  intermediateOptions =
      app->getEntryValue("options", baseName ? std::optional<std::string>(*baseName + ".opt") : std::nullopt);

  spromMode = app->hasEntry("sprom") || app->hasEntry("qprom") || app->hasEntry("qprom128");
  qpromMode = app->hasEntry("qprom") || app->hasEntry("qprom128");
  qprom128Mode = app->hasEntry("qprom128");

  kldMode = app->hasEntry("kld");
  optionBitAddress = app->getEntryValue("optionbit");
  programmingMode = app->getEntryValue("programmingmode");

  // The flag carries no value, so its integer value is the default 1: given means on.
  compressMode = app->hasEntry("compress") && app->getEntryValueInteger("compress", 1) != 0;

  designOffset = spromMode ? 0 : app->getEntryValueInteger("offset", -1);
  hexOffset = app->getEntryValue("offset");

  activeParallelMode = app->hasEntry("activeparallel");
  saveTimestamp = app->hasEntry("timestamp");
  saveMode = app->hasEntry("save");
  quietMode = app->hasEntry("quiet");
  debugMode = app->hasEntry("debug");

  const bool detected = family != nullptr && family != &deviceFamily::INVALID;
  if (!inputSof) {
    app->severe(messages::NO_INPUT);
    ok = false;
  } else if (family == nullptr) {
    app->severe(messages::INPUT_NOT_SOF);
    retValue = INPUT_ERROR;
    ok = false;
  } else if (family == &deviceFamily::INVALID) {
    app->severe(messages::UNRECOGNIZED_FAMILY);
    retValue = INPUT_ERROR;
    ok = false;
  }

  if (!outputFlash) {
    app->severe(messages::NO_OUTPUT);
    ok = false;
  }

  if (spromMode) {
    if (detected && !family->allowsSerialModes()) {
      app->severe(messages::SPROM_FAMILY);
      retValue = INPUT_ERROR;
      ok = false;
    }
  } else if (designOffset == -1) {
    app->severe(messages::NO_OFFSET);
    ok = false;
  }

  if (compressMode && detected && !family->allowsCompression()) {
    app->severe(messages::COMPRESSION_FAMILY);
    retValue = INPUT_ERROR;
    ok = false;
  }

  if (!checkNameClashes()) ok = false;

  if (!ok && retValue == SUCCESS) retValue = OPTION_ERROR;

  if (kldMode) {
    if (!optionBitAddress) {
      app->severe(messages::KLD_NO_OPTIONBIT);
      retValue = OPTION_ERROR;
      ok = false;
    }
    if (!programmingMode) {
      app->severe(messages::KLD_NO_PROGRAMMINGMODE);
      retValue = OPTION_ERROR;
      ok = false;
    } else if (const auto mode = parseProgrammingMode(*programmingMode)) {
      enumProgrammingMode = *mode;
    } else {
      app->severe(messages::KLD_BAD_PROGRAMMINGMODE);
      retValue = OPTION_ERROR;
      ok = false;
    }
  }

  if (optionBitAddress && !kldMode) {
    app->severe(messages::OPTIONBIT_WITHOUT_KLD);
    retValue = OPTION_ERROR;
    ok = false;
  }

  if (kldMode && app->getEntryValueInteger("optionbit", -1) == -1) {
    app->severe(messages::KLD_BAD_OPTIONBIT);
    ok = false;
  }

  if (kldMode && activeParallelMode) {
    app->severe(messages::KLD_WITH_ACTIVEPARALLEL);
    ok = false;
  }
  return ok;
}

bool Bitmorph::checkNameClashes() {
  if (!inputSof || !outputFlash || !baseName) return true;
  const std::string &base = *baseName;
  std::vector<std::string> intermediates = {base + ".rbf", base + ".rpd", base + ".pof",
                                            base + ".cof", base + ".opt", base + ".map"};
  if (intermediateOptions) intermediates.push_back(*intermediateOptions);
  // The loader flow always writes its result to base + ".flash", whatever --output says.
  std::string output = *outputFlash;
  if (kldMode && !spromMode) {
    output = base + ".flash";
    for (const char *suffix : {".hexout", ".cof.opt", ".map.flash"}) {
      intermediates.push_back(base + suffix);
    }
  }
  for (const auto &name : intermediates) {
    if (sameFile(*inputSof, name)) {
      app->severe(messages::INPUT_CLASHES + name);
      return false;
    }
  }
  if (sameFile(output, *inputSof)) {
    app->severe(messages::OUTPUT_CLASHES + output);
    return false;
  }
  for (const auto &name : intermediates) {
    if (sameFile(output, name)) {
      app->severe(messages::OUTPUT_CLASHES + output);
      return false;
    }
  }
  return true;
}

} // namespace vantrel::bitmorph
