// The converter flows of the driver: parallel (with active parallel) and serial, and the
// flash image built from their raw output.
#include "bitmorph/Bitmorph.h"

#include "bitmorph/BitmorphCofMaker.h"
#include "bitmorph/FlashImageBuilder.h"
#include "bitmorph/MemoryMapReaders.h"
#include "bitmorph/Messages.h"
#include "bitmorph/ToolRunner.h"
#include "commandApplication/CmdApp.h"
#include "commandOptions/StandardStreams.h"
#include "flashDevice/FlashDeviceSPROM.h"
#include "memory/BinaryMemory.h"
#include "memory/FlashDataMemory.h"
#include "platform/file.h"
#include "utilities/ZemFile.h"

namespace vantrel::bitmorph {

namespace {
const char *const CONVERTER = "prexa_cpf";
} // namespace

bool Bitmorph::writeOptionsFile(const std::vector<std::string> &lines) {
  const std::string &name = *intermediateOptions;
  platform::OutputFile file;
  bool ok = file.open(name, platform::OutputFile::Mode::Truncate);
  for (const auto &line : lines) {
    if (!ok) break;
    ok = file.write(line) && file.write(std::string(platform::lineSeparator()));
  }
  ok = file.close() && ok;
  // The file holds this run's lines now, even if an identical one was there before.
  if (ok) snapshot.markProduced(name);
  if (!ok) {
    app->severe(messages::OPTIONS_FILE_FAILED + name + messages::OPTIONS_FILE_FAILED_SUFFIX);
  }
  return ok;
}

bool Bitmorph::runConverter(ToolRunner &runner) {
  try {
    auto &out = commandOptions::standardOutput();
    const ToolOutcome outcome = runner.run(quietMode ? nullptr : &out);
    if (!quietMode) {
      out << outcome.tail;
      out.flush();
    }
    return true;
  } catch (const std::exception &) {
    app->severe(messages::LAUNCH_FAILED);
    return false;
  }
}

bool Bitmorph::parallelCpf() {
  const std::string &base = *baseName;
  intermediateBinary = base + ".rbf";
  if (compressMode && !writeOptionsFile({messages::OPTION_COMPRESSION})) return false;

  std::vector<std::string> command = {CONVERTER, "--no_banner", "--convert"};
  if (compressMode) command.push_back("--option=" + *intermediateOptions);
  if (activeParallelMode) {
    intermediateCof = base + ".cof";
    BitmorphCofMaker maker(inputSof, intermediateBinary, intermediateCof);
    // The description is written once more; an identical file is left untouched, and is
    // this run's description all the same.
    if (maker.writeCof()) snapshot.markProduced(*intermediateCof);
    command.push_back(*intermediateCof);
  } else {
    command.push_back(*inputSof);
    command.push_back(intermediateBinary);
  }
  try {
    ToolRunner runner(command);
    if (debugMode) runner.printCommand(commandOptions::standardOutput());
    return runConverter(runner);
  } catch (const std::exception &) {
    app->severe(messages::LAUNCH_FAILED);
    return false;
  }
}

bool Bitmorph::serialCpf(bool qprom) {
  const std::string &base = *baseName;
  intermediateBinary = base + ".rpd";
  const std::string pof = base + ".pof";
  // Serial images are always compressed, and the map gives the newer families' size.
  if (!writeOptionsFile({messages::OPTION_COMPRESSION, messages::OPTION_MEMORY_MAP})) {
    return false;
  }
  std::string device = "--device=SPROM128";
  if (qprom128Mode) {
    device = "--device=QPROM128";
  } else if (qprom) {
    device = "--device=QPROM256";
  }
  try {
    ToolRunner first(
        {CONVERTER, "--no_banner", "--convert", device, "--option=" + *intermediateOptions, *inputSof, pof});
    ToolRunner second({CONVERTER, "--no_banner", "--convert", pof, intermediateBinary});
    if (debugMode) {
      first.printCommand(commandOptions::standardOutput());
      second.printCommand(commandOptions::standardOutput());
    }
    // The second run goes ahead whatever the first did: a failure shows as a missing ".rpd".
    if (!runConverter(first) || !runConverter(second)) return false;
  } catch (const std::exception &) {
    app->severe(messages::LAUNCH_FAILED);
    return false;
  }
  if (!saveMode) {
    snapshot.removeIfProduced(pof);
    snapshot.removeIfProduced(*intermediateOptions);
  }
  return true;
}

std::int64_t Bitmorph::getLen() {
  const std::string map = *baseName + ".map";
  // A map left by an earlier run describes another design: treat it as missing.
  const auto text = producedByRun(map) ? utilities::ZemFile::readFile(map) : std::nullopt;
  if (!text) {
    auto &err = commandOptions::standardError();
    err << messages::MAP_UNREADABLE << map << platform::lineSeparator();
    err.flush();
    return -1;
  }
  return parseSerialMapDesignSize(*text);
}

bool Bitmorph::generateFlash(memory::BinaryMemory &binary, memory::FlashDataMemory &flash) {
  std::int64_t designSize = 0;
  flashDevice::Bytes data;
  if (spromMode) {
    const auto header = binary.get(0, static_cast<std::int64_t>(SERIAL_HEADER_LENGTH));
    if (!header) return false;
    designSize = family->isMapSized() ? getLen() : flashDevice::FlashDeviceSPROM::getDesignSize(*header);
    if (designSize <= 0) return false;
    const auto image = binary.get(0);
    if (!image) return false;
    // An image shorter than the size its header or map claims would be written under a
    // header that promises more than the flash holds.
    auto serial = serialImageData(*image, designSize);
    if (!serial) return false;
    data = std::move(*serial);
  } else {
    auto image = binary.get(0);
    if (!image) return false;
    data = std::move(*image);
  }
  if (family->isMapSized() && !writeBootImageHeader(data, designSize)) return false;
  // Data wholly outside the window would be dropped silently and leave an empty flash file.
  if (!offsetInsideFlashWindow(designOffset)) return false;
  return !flash.add(designOffset, std::move(data)).has_value();
}

} // namespace vantrel::bitmorph
