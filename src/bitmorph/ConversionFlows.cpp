// The converter flows of the driver: parallel (with active parallel) and serial, and the
// flash image built from their raw output.
#include "bitmorph/Bitmorph.h"

#include "bitmorph/BitmorphCofMaker.h"
#include "bitmorph/FlashImageBuilder.h"
#include "bitmorph/MemoryMapReaders.h"
#include "bitmorph/Messages.h"
#include "bitmorph/RunLedger.h"
#include "bitmorph/ToolRunner.h"
#include "commandApplication/CmdApp.h"
#include "commandOptions/StandardStreams.h"
#include "flashDevice/FlashDeviceSPROM.h"
#include "memory/BinaryMemory.h"
#include "memory/FlashDataMemory.h"
#include "memory/MemoryMessages.h"
#include "platform/file.h"
#include "utilities/ZemFile.h"

#include <stdexcept>

namespace vantrel::bitmorph {

namespace {

const char *deviceArgument(SerialDevice device) {
  switch (device) {
  case SerialDevice::QPROM128:
    return messages::DEVICE_QPROM128;
  case SerialDevice::QPROM256:
    return messages::DEVICE_QPROM256;
  case SerialDevice::SPROM128:
    break;
  }
  return messages::DEVICE_SPROM128;
}

} // namespace

bool Bitmorph::writeOptionsFile(const RunPlan &plan, const std::vector<std::string> &lines) {
  const std::string &name = plan.optionsFile;
  ledger->begin(RunStep::OptionsFile);
  platform::OutputFile file;
  bool ok = file.open(name, platform::OutputFile::Mode::Truncate);
  for (const auto &line : lines) {
    if (!ok) break;
    ok = file.write(line) && file.write(std::string(platform::lineSeparator()));
  }
  ok = file.close() && ok;
  // Written, the file holds this run's lines even if an identical one was there before;
  // half written, it goes.
  ledger->end(RunStep::OptionsFile, ok ? StepEnd::Completed : StepEnd::Failed);
  if (!ok) {
    // The OS's reason first (a full disk, a folder that is not writable).
    if (!file.failureReason().empty()) {
      app->severe(memory::messages::CANNOT_WRITE_FILE + name + memory::messages::REASON_SEPARATOR +
                  file.failureReason());
    }
    app->severe(messages::OPTIONS_FILE_FAILED + name + messages::OPTIONS_FILE_FAILED_SUFFIX);
  }
  return ok;
}

FlowStatus Bitmorph::runConverters(const RunPlan &plan,
                                   const std::vector<std::vector<std::string>> &commands) {
  // The converter's runs in order: the first, then (serial) the second.
  const RunStep steps[] = {RunStep::Convert, RunStep::ConvertAgain};
  const RunStep *current = nullptr; // the step under way
  try {
    // Every runner is created, and with --debug every command printed, before the first runs.
    std::vector<ToolRunner> runners;
    for (const auto &command : commands)
      runners.emplace_back(command);
    auto &out = commandOptions::standardOutput();
    if (plan.debug) {
      for (const auto &runner : runners)
        runner.printCommand(out);
    }
    // A run that failed ends the flow: what it wrote is never read and goes (the serial
    // flow's second run would convert a half-made file). One that ended with an error
    // status leaves the output stage to report the missing result; one that crashed fails
    // the flow as if the converter could not be driven.
    for (std::size_t i = 0; i < runners.size(); ++i) {
      current = &steps[i];
      ledger->begin(steps[i]);
      const ToolOutcome outcome = runners[i].run(plan.quiet ? nullptr : &out);
      if (!plan.quiet) {
        out << outcome.tail;
        out.flush();
      }
      logToolOutcome(outcome, runners[i].command().front(), plan.debug, toolLog());
      current = nullptr;
      if (!outcome.launched) {
        // Nothing was written; the output stage reports the missing result (a later run
        // would only convert what an earlier run left).
        ledger->end(steps[i], StepEnd::NotStarted);
        return FlowStatus::Succeeded;
      }
      if (!outcome.failed) {
        ledger->end(steps[i], StepEnd::Completed);
        continue;
      }
      ledger->end(steps[i], StepEnd::Failed);
      if (!outcome.crashed) return FlowStatus::ToolFailed;
      app->severe(messages::LAUNCH_FAILED);
      return FlowStatus::LaunchFailed;
    }
    return FlowStatus::Succeeded;
  } catch (const std::logic_error &) {
    throw; // a fault of the program, not of the converter: the top-level handler reports it
  } catch (const std::exception &e) {
    // The process layer failed to drive the converter (no thread, no memory, ...): what
    // the run had begun to write is half done.
    if (current) ledger->end(*current, StepEnd::Failed);
    app->severe(messages::LAUNCH_FAILED);
    app->fine(e.what());
    return FlowStatus::LaunchFailed;
  }
}

FlowResult Bitmorph::parallelCpf(const RunPlan &plan) {
  const RunFiles &files = plan.files;
  FlowResult result{FlowStatus::NotRun, files.rbf, std::nullopt};
  if (plan.compress && !writeOptionsFile(plan, {messages::OPTION_COMPRESSION})) {
    result.status = FlowStatus::OptionsFileFailed;
    return result;
  }
  std::vector<std::string> command = {messages::CONVERTER, messages::CONVERTER_NO_BANNER,
                                      messages::CONVERTER_CONVERT};
  if (plan.compress) command.push_back(messages::CONVERTER_OPTION + plan.optionsFile);
  if (plan.flow == Flow::ActiveParallel) {
    result.description = files.cof;
    ledger->begin(RunStep::Description);
    BitmorphCofMaker maker(plan.inputSof, files.rbf, files.cof);
    // The description is written once more; an identical file is left untouched, and is
    // this run's description all the same. One not written leaves what was there (it is
    // written whole or not at all), and the converter reports the missing file.
    ledger->end(RunStep::Description, maker.writeCof() ? StepEnd::Completed : StepEnd::Failed);
    command.push_back(files.cof);
  } else {
    command.push_back(plan.inputSof);
    command.push_back(files.rbf);
  }
  result.status = runConverters(plan, {command});
  return result;
}

FlowResult Bitmorph::serialCpf(const RunPlan &plan) {
  const RunFiles &files = plan.files;
  FlowResult result{FlowStatus::NotRun, files.rpd, std::nullopt};
  // Serial images are always compressed, and the map gives the newer families' size.
  if (!writeOptionsFile(plan, {messages::OPTION_COMPRESSION, messages::OPTION_MEMORY_MAP})) {
    result.status = FlowStatus::OptionsFileFailed;
    return result;
  }
  result.status =
      runConverters(plan, {{messages::CONVERTER, messages::CONVERTER_NO_BANNER, messages::CONVERTER_CONVERT,
                            deviceArgument(plan.serialDevice), messages::CONVERTER_OPTION + plan.optionsFile,
                            plan.inputSof, files.pof},
                           {messages::CONVERTER, messages::CONVERTER_NO_BANNER, messages::CONVERTER_CONVERT,
                            files.pof, files.rpd}});
  // The ".pof" and the options file go with the run's other intermediates at its end.
  return result;
}

std::int64_t Bitmorph::getLen(const RunPlan &plan) {
  const std::string &map = plan.files.map;
  // A map left by an earlier run describes another design: treat it as missing.
  const auto text = ledger->produced(map) ? utilities::ZemFile::readFile(map) : std::nullopt;
  if (!text) {
    auto &err = commandOptions::standardError();
    err << messages::MAP_UNREADABLE << map << platform::lineSeparator();
    err.flush();
    return -1;
  }
  return parseSerialMapDesignSize(*text);
}

bool Bitmorph::generateFlash(const RunPlan &plan, memory::BinaryMemory &binary,
                             memory::FlashDataMemory &flash) {
  const auto refuse = [this](const std::string &why) {
    app->severe(why);
    return false;
  };
  std::int64_t designSize = 0;
  if (plan.serial()) {
    const auto header =
        binary.get(0, static_cast<std::int64_t>(flashDevice::FlashDeviceSPROM::HEADER_LENGTH));
    if (!header) return false;
    designSize =
        plan.family->isMapSized() ? getLen(plan) : flashDevice::FlashDeviceSPROM::getDesignSize(*header);
    if (designSize <= 0) return refuse(serialSizeProblem(designSize, 0));
  }
  // The image is moved out of the binary image, changed where it lies and moved on into
  // the flash image: its bytes are never copied.
  memory::Segment data = binary.take(0);
  if (data.length() == 0) return false;
  // An image shorter than the size its header or map claims would be written under a
  // header that promises more than the flash holds.
  if (plan.serial() && !serialImageData(data, designSize)) {
    return refuse(serialSizeProblem(designSize, static_cast<std::uint64_t>(data.length())));
  }
  if (plan.family->isMapSized() && !writeBootImageHeader(data, designSize)) return false;
  // Data wholly outside the window would be dropped silently and leave an empty flash file.
  if (const auto why = flashWindowProblem(plan.designOffset, static_cast<std::uint64_t>(data.length()));
      !why.empty())
    return refuse(why);
  return !flash.add(plan.designOffset, std::move(data)).has_value();
}

} // namespace vantrel::bitmorph
