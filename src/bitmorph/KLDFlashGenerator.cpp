// The flash-loader flow, step by step.
#include "bitmorph/KLDFlashGenerator.h"

#include "bitmorph/BitmorphCofMaker.h"
#include "bitmorph/Messages.h"
#include "bitmorph/RunPlan.h"
#include "bitmorph/ToolRunner.h"
#include "commandOptions/StandardStreams.h"
#include "memory/RWMemoryException.h"
#include "memory/SrecordMemory.h"
#include "platform/file.h"
#include "platform/interrupt.h"
#include "utilities/ZemFile.h"

namespace vantrel::bitmorph {

namespace {

std::string toolName(const char *base) {
  return std::string(base) + executableSuffix();
}

} // namespace

KLDFlashGenerator::KLDFlashGenerator() : out_(commandOptions::standardOutput()) {}

KLDFlashGenerator::KLDFlashGenerator(std::ostream &out) : out_(out) {}

RunSnapshot &KLDFlashGenerator::snapshot() {
  return snapshot_ ? *snapshot_ : ownSnapshot_;
}

bool KLDFlashGenerator::produced(const std::string &path) const {
  return (snapshot_ ? snapshot_ : &ownSnapshot_)->producedByRun(path);
}

bool KLDFlashGenerator::kldgen(const std::string &inputSof, const std::string &baseName,
                               const std::string &offsetText, const std::string &optionBitText,
                               ProgrammingMode mode, bool verbose_, bool compress, bool save, bool debug) {
  verbose = verbose_;
  const RunFiles files = RunFiles::forBase(baseName);
  if (!snapshot_) {
    ownSnapshot_.record(files.intermediates(files.options, true));
    ownSnapshot_.record(files.flash);
  }
  try {
    generateCof(files.cof, inputSof, files.pof, offsetText, optionBitText, mode);
    generatePofFromCof(files.cof, compress ? std::optional<std::string>(files.cofOptions) : std::nullopt);
    convertPofToHex(files.pof, files.hexout);
    // A hex file left by an earlier run is not this run's result.
    if (!produced(files.hexout)) {
      out_ << messages::KLD_NO_HEXFILE << platform::lineSeparator();
      out_.flush();
      return false;
    }
    convertHexToSREC(files.hexout, files.flash);
    const std::int64_t start = getStartAddress(files.map);
    const std::int64_t end = getEndAddress(files.map);
    const std::int64_t optionStart = getOptStartAddress(files.map);
    const std::int64_t optionEnd = getOptEndAddress(files.map);
    extractSREC(files.optionBits, files.flash, start, end, optionStart, optionEnd);
  } catch (const KLDException &e) {
    out_ << e.what() << platform::lineSeparator();
    if (debug) out_ << e.trace() << platform::lineSeparator();
    out_.flush();
    return false;
  } catch (const std::logic_error &) {
    throw; // a fault of the program, not of the flow: the top-level handler reports it
  } catch (const std::exception &e) {
    // Any other failure of a step (the process layer, memory) ends the flow with its text.
    out_ << e.what() << platform::lineSeparator();
    if (debug) out_ << messages::KLD_TRACE_KLDGEN << platform::lineSeparator();
    out_.flush();
    return false;
  }
  if (!save) {
    if (verbose) out_ << messages::KLD_DELETING << platform::lineSeparator();
    for (const auto *name : {&files.cof, &files.pof, &files.hexout, &files.map})
      snapshot().removeIfProduced(*name);
  }
  out_.flush();
  return true;
}

void KLDFlashGenerator::generateCof(const std::string &cofFile, const std::string &sof,
                                    const std::string &pof, const std::string &start,
                                    const std::string &optionStart, ProgrammingMode mode) {
  BitmorphCofMaker maker(cofFile, sof, pof, start, optionStart, programmingModeCode(mode));
  // An identical description left from an earlier run is this run's description too.
  if (maker.written()) {
    snapshot().markProduced(cofFile);
    platform::markFileCompleteOnInterrupt(cofFile);
  }
}

void KLDFlashGenerator::generatePofFromCof(const std::string &cofFile,
                                           const std::optional<std::string> &optionsFile) {
  std::vector<std::string> command = {toolName(messages::CONVERTER), messages::CONVERTER_COF, cofFile};
  if (optionsFile) {
    const std::string text = std::string(messages::OPTION_COMPRESSION) + platform::lineSeparator();
    if (!platform::writeWholeFile(*optionsFile, text.data(), text.size())) {
      throw KLDException(messages::KLD_OPTIONS_NOT_WRITTEN + *optionsFile, messages::KLD_TRACE_GENERATE_POF);
    }
    platform::markFileCompleteOnInterrupt(*optionsFile);
    command.push_back(messages::CONVERTER_OPTION_FILE);
    command.push_back(*optionsFile);
  }
  runTool(command, true);
}

void KLDFlashGenerator::convertPofToHex(const std::string &pof, const std::string &hex) {
  runTool({toolName(messages::CONVERTER), messages::CONVERTER_COF, pof, hex}, false);
}

void KLDFlashGenerator::convertHexToSREC(const std::string &hex, const std::string &srec) {
  runTool(
      {toolName(messages::OBJECT_COPY), messages::OBJECT_COPY_OUTPUT, messages::OBJECT_COPY_SREC, hex, srec},
      false);
}

void KLDFlashGenerator::runTool(const std::vector<std::string> &command, bool checkStatus) {
  ToolRunner runner(command);
  const ToolOutcome outcome = runner.run(verbose ? &out_ : nullptr);
  if (checkStatus && (!outcome.launched || outcome.exitValue != 0)) {
    throw KLDException(messages::KLD_POF_FAILED, messages::KLD_TRACE_GENERATE_POF);
  }
  if (verbose) out_ << outcome.tail << platform::lineSeparator();
  out_.flush();
}

LoaderMap KLDFlashGenerator::readMap(const std::string &map) {
  // A map left by an earlier run describes another design: treat it as missing.
  const auto text = produced(map) ? utilities::ZemFile::readFile(map) : std::nullopt;
  if (!text) throw KLDException(messages::MAP_UNREADABLE + map, messages::KLD_TRACE_READ_MAP);
  try {
    return parseLoaderMap(*text);
  } catch (const MemoryMapException &e) {
    throw KLDException(std::string(e.what()) + " (" + map + ")", messages::KLD_TRACE_READ_MAP);
  }
}

std::int64_t KLDFlashGenerator::getStartAddress(const std::string &map) {
  return readMap(map).imageStart;
}
std::int64_t KLDFlashGenerator::getEndAddress(const std::string &map) {
  return readMap(map).imageEnd;
}
std::int64_t KLDFlashGenerator::getOptStartAddress(const std::string &map) {
  return readMap(map).optionStart;
}
std::int64_t KLDFlashGenerator::getOptEndAddress(const std::string &map) {
  return readMap(map).optionEnd;
}

void KLDFlashGenerator::extractSREC(const std::string &optionOut, const std::string &imageFile,
                                    std::int64_t start, std::int64_t end, std::int64_t optionStart,
                                    std::int64_t optionEnd) {
  if (verbose) out_ << messages::KLD_EXTRACT_OPTION_BITS << platform::lineSeparator();
  extractRange(imageFile, optionOut, optionStart, optionEnd);
  if (verbose) out_ << messages::KLD_EXTRACT_IMAGE << platform::lineSeparator();
  extractRange(imageFile, imageFile, start, end);
}

void KLDFlashGenerator::extractRange(const std::string &source, const std::string &target, std::int64_t start,
                                     std::int64_t end) {
  const std::string trace = messages::KLD_TRACE_EXTRACT;
  if (start < 0 || end < start) {
    throw KLDException(messages::KLD_RANGE_EMPTY + std::to_string(start) + ".." + std::to_string(end), trace);
  }
  memory::SrecordMemory loaded(start, end, messages::LOADER_READ_IMAGE_NAME);
  // An S-record file that the object-copy tool did not write in this run reads as missing.
  if (!produced(source)) {
    commandOptions::standardError() << messages::KLD_READ_ERROR_TRACE << messages::KLD_SREC_NOT_FOUND
                                    << source << platform::lineSeparator() << std::flush;
  } else {
    try {
      loaded.read(source);
    } catch (const memory::RWMemoryException &e) {
      // A file that stops being readable part-way (a malformed record) would otherwise be
      // cut from what was read so far and reported as a finished result: the run fails.
      commandOptions::standardError()
          << messages::KLD_READ_ERROR_TRACE << e.getMessage() << platform::lineSeparator() << std::flush;
      throw KLDException(e.getMessage(), trace);
    }
  }
  // Both map ends are inclusive, so the byte at the end address belongs to the range.
  const auto length = end - start + 1;
  const auto bytes = loaded.get(start, length);
  if (!bytes || bytes->empty()) throw KLDException(messages::KLD_EMPTY_DATA, trace);
  memory::SrecordMemory cut(start, end, messages::LOADER_CUT_IMAGE_NAME);
  cut.add(start, *bytes);
  if (!cut.write(target)) throw KLDException(messages::KLD_WRITE_FAILED + target, trace);
}

} // namespace vantrel::bitmorph
