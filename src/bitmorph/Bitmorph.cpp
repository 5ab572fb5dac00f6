// The run: start-up, validation, flow dispatch, output stage, clean-up and the exit code.
#include "bitmorph/Bitmorph.h"

#include "bitmorph/FlashImageBuilder.h"
#include "bitmorph/Messages.h"
#include "bitmorph/SofReader.h"
#include "commandApplication/CmdApp.h"
#include "commandOptions/Options.h"
#include "commandOptions/StandardStreams.h"
#include "memory/BinaryMemory.h"
#include "memory/FlashDataMemory.h"
#include "memory/RWMemoryException.h"
#include "utilities/ZemFile.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace vantrel::bitmorph {

void Bitmorph::main(const std::vector<std::string> &args) {
  int code = SUCCESS;
  {
    Bitmorph driver(args);
    code = driver.getRetValue();
  }
  commandOptions::standardOutput().flush();
  commandOptions::standardError().flush();
  std::cout.flush();
  std::fflush(stdout);
  // The logging sinks flush themselves at process exit.
  if (code != SUCCESS) std::exit(code);
}

Bitmorph::Bitmorph(const std::vector<std::string> &args) {
  run(args);
}

Bitmorph::~Bitmorph() = default;

const deviceFamily *Bitmorph::getTargetDeviceFamily(const std::string &path) {
  SofDetection detection = detectSofFamilyInFile(path);
  // Quotes are cleaned out only when the path as given does not open, so that a real file
  // name holding an apostrophe or a quote still works.
  if (!detection.opened) {
    const std::string cleaned = cleanSofPath(path);
    if (cleaned != path) detection = detectSofFamilyInFile(cleaned);
  }
  if (detection.family == &deviceFamily::INVALID) {
    auto &out = commandOptions::standardOutput();
    out << messages::FAMILY_NO_MATCH << deviceFamily::MIRREN_10.toString() << detection.partName;
    out.flush();
  }
  return detection.family;
}

void Bitmorph::run(const std::vector<std::string> &args) {
  retValue = SUCCESS;
  opts = buildOptions();
  commandApplication::DeclineReason reason = commandApplication::DeclineReason::None;
  app = commandApplication::CmdApp::getInstance(messages::APP_NAME, args, opts.get(), messages::HELP_HEADER,
                                                messages::HELP_FOOTER, &reason);
  if (!app) {
    // Help asked for is a success; a rejected command line or log file is not.
    retValue = reason == commandApplication::DeclineReason::Help ? SUCCESS : CMD_ERROR;
    return;
  }
  verbose = app->hasEntry("verbose");
  app->fine(messages::STARTING);

  if (!processArgs()) {
    if (retValue == SUCCESS) retValue = OPTION_ERROR;
    app->usage();
    return;
  }

  takeSnapshot();
  if (!runFlow()) {
    app->severe(messages::FLOW_FAILED);
    retValue = EXT_APP_ERROR;
    return;
  }
  if (kldMode && !spromMode) {
    app->fine(messages::KLD_DONE);
    return;
  }
  echoArgs(args);
  outputStage();
  cleanUp();
  app->fine(messages::DONE);
}

void Bitmorph::takeSnapshot() {
  const std::string &base = *baseName;
  snapshot.record({base + ".rbf", base + ".rpd", base + ".pof", base + ".cof", base + ".map", base + ".opt"});
  if (intermediateOptions) snapshot.record(*intermediateOptions);
  snapshot.record(KLDFlashGenerator::intermediateNames(base));
  gen.setSnapshot(&snapshot);
}

bool Bitmorph::runFlow() {
  if (spromMode) return serialCpf(qpromMode);
  if (kldMode) {
    return gen.kldgen(*inputSof, *baseName, hexOffset.value_or(""), optionBitAddress.value_or(""),
                      enumProgrammingMode, !quietMode, compressMode, saveMode, debugMode);
  }
  return parallelCpf();
}

void Bitmorph::echoArgs(const std::vector<std::string> &args) {
  if (!verbose || quietMode) return;
  std::string text = messages::ARGS_ECHO;
  for (const auto &arg : args)
    text += " " + arg;
  app->info(text);
}

bool Bitmorph::producedByRun(const std::string &path) const {
  return snapshot.producedByRun(path);
}

void Bitmorph::outputStage() {
  memory::BinaryMemory binary(FLASH_WINDOW_BASE, FLASH_WINDOW_END, "Address Space");
  try {
    // A file this run's converter did not write is no result of this run, whatever an
    // earlier run left under that name.
    if (!producedByRun(intermediateBinary)) {
      throw memory::RWMemoryException(std::string(messages::FILE_PREFIX) + intermediateBinary +
                                      messages::NOT_FOUND_SUFFIX);
    }
    binary.read(intermediateBinary);
  } catch (const std::exception &e) {
    // The reader's own failures, and any other (an image too large to hold in memory),
    // are reported alike.
    app->severe(messages::READ_ERROR + std::string(e.what()));
    app->severe(messages::RETRIEVE_FAILED + intermediateBinary);
    retValue = INPUT_ERROR;
    return;
  }
  if (binary.isEmpty()) {
    app->severe(messages::RETRIEVE_FAILED + intermediateBinary);
    retValue = INPUT_ERROR;
    return;
  }
  memory::FlashDataMemory flash(FLASH_WINDOW_BASE, FLASH_WINDOW_END, "SOF Flash");
  bool generated = false;
  try {
    generated = generateFlash(binary, flash);
  } catch (const std::exception &) {
    generated = false;
  }
  if (!generated) {
    app->severe(messages::GENERATE_FAILED);
    retValue = DATA_ERROR;
    return;
  }
  bool written = false;
  try {
    if (saveTimestamp) {
      const auto millis = utilities::ZemFile::getModifiedDate(*inputSof);
      written = flash.write(*outputFlash, std::to_string(millis));
    } else {
      written = flash.write(*outputFlash);
    }
  } catch (const std::exception &) {
    written = false;
  }
  if (!written) {
    app->severe(messages::WRITE_FAILED);
    retValue = OUTPUT_ERROR;
  }
}

void Bitmorph::cleanUp() {
  if (saveMode) return;
  // Only files this run produced are removed; a user's file that merely shares a name
  // with an intermediate stays.
  snapshot.removeIfProduced(intermediateBinary);
  if (activeParallelMode && intermediateCof) snapshot.removeIfProduced(*intermediateCof);
  snapshot.removeIfProduced(*baseName + ".map");
}

} // namespace vantrel::bitmorph
