// The run: start-up, the plan, flow dispatch, output stage, clean-up, the exit code, and
// the one handler of errors the program did not expect.
#include "bitmorph/Bitmorph.h"

#include "bitmorph/FlashImageBuilder.h"
#include "bitmorph/Messages.h"
#include "bitmorph/RunLedger.h"
#include "bitmorph/RunLocks.h"
#include "bitmorph/SofReader.h"
#include "bitmorph/ToolRunner.h"
#include "commandApplication/CmdApp.h"
#include "commandOptions/Options.h"
#include "commandOptions/StandardStreams.h"
#include "memory/BinaryMemory.h"
#include "memory/FlashDataMemory.h"
#include "memory/MemoryMessages.h"
#include "memory/RWMemoryException.h"
#include "platform/file.h"
#include "platform/interrupt.h"
#include "utilities/ZemFile.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <new>

namespace vantrel::bitmorph {

namespace {

void flushStandardStreams() {
  commandOptions::standardOutput().flush();
  commandOptions::standardError().flush();
  std::cout.flush();
  std::fflush(stdout);
}

/// Reports an error the program did not expect (its own text, on standard error) and
/// gives the exit code for it.
int reportInternalError(const std::string &text) {
  flushStandardStreams();
  auto &err = commandOptions::standardError();
  err << messages::INTERNAL_ERROR << text << platform::lineSeparator();
  err.flush();
  RunResults results;
  results.internalError = true;
  return decideExitCode(results);
}

} // namespace

void Bitmorph::main(const std::vector<std::string> &args) {
  const int code = runTool(args);
  // The logging sinks flush themselves at process exit.
  if (code != SUCCESS) std::exit(code);
}

int Bitmorph::runTool(const std::vector<std::string> &args) {
  int code = SUCCESS;
  {
    // A run stopped by the user, a build system or a closed console removes what it was
    // writing and ends its converter first (the handlers of a Java runtime come back after,
    // so they are in place again before the runtime's own exit path runs).
    const platform::InterruptHandlers interrupts;
    try {
      Bitmorph driver(args);
      code = driver.getRetValue();
    } catch (const std::exception &e) {
      // Every error the conversion expects is handled where it happens; what arrives here
      // is a fault of the program, and its text is what the user needs to report it.
      code = reportInternalError(e.what());
    } catch (...) {
      code = reportInternalError(messages::UNKNOWN_ERROR);
    }
  }
  flushStandardStreams();
  return code;
}

Bitmorph::Bitmorph(const std::vector<std::string> &args) {
  retValue = decideExitCode(run(args));
}

Bitmorph::~Bitmorph() = default;

const deviceFamily *Bitmorph::getTargetDeviceFamily(const std::string &path) {
  return detectTargetDevice(path).family;
}

SofDetection Bitmorph::detectTargetDevice(const std::string &path) {
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
  return detection;
}

RunResults Bitmorph::run(const std::vector<std::string> &args) {
  RunResults results;
  opts = buildOptions();
  commandApplication::DeclineReason reason = commandApplication::DeclineReason::None;
  app = commandApplication::CmdApp::getInstance(messages::APP_NAME, args, opts.get(), messages::HELP_HEADER,
                                                messages::HELP_FOOTER, &reason, &Bitmorph::checkLogFile);
  if (!app) {
    // A log name that would overwrite a file of the run is refused like the other names.
    if (reason == commandApplication::DeclineReason::LogFileRefused) {
      results.refused.push_back(CheckFailure::Options);
    } else {
      results.start = reason == commandApplication::DeclineReason::Help ? StartStatus::HelpShown
                                                                        : StartStatus::CommandLineRejected;
    }
    return results;
  }
  app->fine(messages::STARTING);

  const std::optional<RunPlan> planned = planRun(results.refused);
  if (!planned) {
    app->usage();
    return results;
  }
  const RunPlan &plan = *planned;

  // A flash file that cannot be written is said before the converter runs, of the flash
  // file: a folder in its place, or no folder to hold it.
  const platform::WriteTarget target = platform::writeTarget(plan.outputFlash);
  if (target.way == platform::WriteTarget::Way::Refused) {
    app->severe(memory::messages::CANNOT_WRITE_FILE + plan.outputFlash + memory::messages::REASON_SEPARATOR +
                target.why);
    app->severe(messages::WRITE_FAILED);
    results.output = OutputStatus::WriteFailed;
    return results;
  }

  // Runs that write the same files take turns on them; one that cannot take its turn
  // writes nothing rather than run unguarded.
  const RunLocks locks(plan,
                       [&](const std::string &lockFile) { app->info(messages::RUN_WAITING + lockFile); });
  if (!locks.held()) {
    app->severe(messages::LOCK_FAILED + locks.failedLock() + messages::LOCK_FAILED_REASON + locks.reason());
    app->severe(messages::WRITE_FAILED);
    results.lockFailed = true;
    return results;
  }
  // The state before the run is taken once this run has its turn; the ledger goes (and
  // with it the registration of the run's files) before the locks are let go.
  RunLedger runLedger(plan);
  ledger = &runLedger;
  gen.setRun(ledger, toolLog());
  // A result that cannot be replaced is refused before any tool runs.
  if (!resultsReplaceable(plan)) {
    results.output = OutputStatus::WriteFailed;
  } else {
    const FlowResult flow = runFlow(plan);
    results.flow = flow.status;
    const bool toolFailed = flow.status == FlowStatus::ToolFailed;
    if (!flow.succeeded() && !toolFailed) {
      app->severe(messages::FLOW_FAILED);
    } else if (plan.loader()) {
      // The loader flow writes its results itself: no output stage, no clean-up here.
      app->fine(messages::KLD_DONE);
    } else {
      echoArgs(plan, args);
      results.output = outputStage(plan, flow.binary, toolFailed);
      cleanUp(plan);
      app->fine(messages::DONE);
    }
  }
  gen.setRun(nullptr, {});
  ledger = nullptr;
  return results;
}

ToolLog Bitmorph::toolLog() const {
  return ToolLog{[this](const std::string &text) { app->severe(text); },
                 [this](const std::string &text) { app->info(text); }};
}

FlowResult Bitmorph::runFlow(const RunPlan &plan) {
  switch (plan.flow) {
  case Flow::Serial:
    return serialCpf(plan);
  case Flow::Loader: {
    const bool ok = gen.kldgen(plan.inputSof, plan.files.base, plan.offsetText, plan.optionBitText,
                               plan.programmingMode, !plan.quiet, plan.compress, plan.save, plan.debug);
    return FlowResult{ok ? FlowStatus::Succeeded : FlowStatus::LoaderFailed, "", std::nullopt};
  }
  case Flow::Parallel:
  case Flow::ActiveParallel:
    break;
  }
  return parallelCpf(plan);
}

void Bitmorph::echoArgs(const RunPlan &plan, const std::vector<std::string> &args) {
  if (!plan.echoArguments) return;
  std::string text = messages::ARGS_ECHO;
  for (const auto &arg : args)
    text += " " + arg;
  app->info(text);
}

bool Bitmorph::resultsReplaceable(const RunPlan &plan) {
  std::vector<std::string> results = {plan.outputFlash};
  if (plan.loader()) results.push_back(plan.files.optionBits);
  for (const std::string &result : results) {
    if (const auto why = platform::replacementRefusal(result)) {
      app->severe(memory::messages::CANNOT_WRITE_FILE + result + memory::messages::REASON_SEPARATOR + *why);
      app->severe(messages::WRITE_FAILED);
      return false;
    }
  }
  return true;
}

OutputStatus Bitmorph::outputStage(const RunPlan &plan, const std::string &binaryFile, bool toolFailed) {
  memory::BinaryMemory binary(FLASH_WINDOW_BASE, FLASH_WINDOW_END, messages::BINARY_IMAGE_NAME);
  std::optional<std::string> readError;
  // A converter that failed said why already: what it left is no result, and no file is
  // read. A file this run's converter did not write is no result of this run either,
  // whatever an earlier run left under that name.
  if (toolFailed) {
    app->severe(messages::RETRIEVE_FAILED + binaryFile);
    return OutputStatus::ReadFailed;
  }
  if (!ledger->produced(binaryFile)) {
    readError = std::string(messages::FILE_PREFIX) + binaryFile + messages::NOT_FOUND_SUFFIX;
  } else {
    try {
      binary.read(binaryFile);
    } catch (const memory::RWMemoryException &e) {
      readError = e.getMessage();
    } catch (const std::bad_alloc &e) {
      // An image too large to hold in memory is a fault of the converter's output.
      readError = e.what();
    }
  }
  if (readError) app->severe(messages::READ_ERROR + *readError);
  if (readError || binary.isEmpty()) {
    app->severe(messages::RETRIEVE_FAILED + binaryFile);
    return OutputStatus::ReadFailed;
  }

  memory::FlashDataMemory flash(FLASH_WINDOW_BASE, FLASH_WINDOW_END, messages::FLASH_IMAGE_NAME);
  if (!generateFlash(plan, binary, flash)) {
    app->severe(messages::GENERATE_FAILED);
    return OutputStatus::GenerateFailed;
  }
  const bool written =
      plan.timestamp
          ? flash.write(plan.outputFlash, std::to_string(utilities::ZemFile::getModifiedDate(plan.inputSof)))
          : flash.write(plan.outputFlash);
  if (!written) {
    if (const auto why = flash.getWriteFailure()) app->severe(*why);
    app->severe(messages::WRITE_FAILED);
    return OutputStatus::WriteFailed;
  }
  return OutputStatus::Written;
}

void Bitmorph::cleanUp(const RunPlan &plan) {
  if (plan.save) return;
  // Only files this run produced are removed; a user's file that merely shares a name
  // with an intermediate stays.
  ledger->removeIntermediates();
}

} // namespace vantrel::bitmorph
