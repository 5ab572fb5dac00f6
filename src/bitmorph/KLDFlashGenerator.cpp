// The flash-loader flow, step by step.
#include "bitmorph/KLDFlashGenerator.h"

#include "bitmorph/BitmorphCofMaker.h"
#include "bitmorph/FlashImageBuilder.h"
#include "bitmorph/Messages.h"
#include "bitmorph/RunPlan.h"
#include "bitmorph/ToolRunner.h"
#include "commandOptions/StandardStreams.h"
#include "memory/RWMemoryException.h"
#include "memory/SrecordMemory.h"
#include "memory/SrecordReader.h"
#include "memory/SrecordWriter.h"
#include "platform/file.h"
#include "platform/process.h"
#include "utilities/ZemFile.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

namespace vantrel::bitmorph {

namespace {

/// The loader flow names its tools by the file they stand for on this host ("prexa_cpf.exe"
/// on Windows), the other flows by their plain names.
std::string toolName(const char *base) {
  return platform::programFileName(base);
}

/// Severe lines of a generator used outside a driver run go to standard error.
ToolLog standardErrorLog() {
  const auto line = [](const std::string &text) {
    commandOptions::standardError() << text << platform::lineSeparator() << std::flush;
  };
  return ToolLog{line, line};
}

} // namespace

KLDFlashGenerator::KLDFlashGenerator() : out_(commandOptions::standardOutput()), log_(standardErrorLog()) {}

KLDFlashGenerator::KLDFlashGenerator(std::ostream &out) : out_(out), log_(standardErrorLog()) {}

void KLDFlashGenerator::setRun(RunLedger *ledger, ToolLog log) {
  ledger_ = ledger;
  log_ = log.severe ? std::move(log) : standardErrorLog();
}

bool KLDFlashGenerator::produced(const std::string &path) const {
  if (ledger_) return ledger_->produced(path);
  const auto status = platform::statFile(path);
  return status && !status->isDirectory;
}

void KLDFlashGenerator::beginStep(RunStep step) {
  if (ledger_) ledger_->begin(step);
}

void KLDFlashGenerator::endStep(RunStep step, StepEnd how) {
  if (ledger_) ledger_->end(step, how);
}

bool KLDFlashGenerator::kldgen(const std::string &inputSof, const std::string &baseName,
                               const std::string &offsetText, const std::string &optionBitText,
                               ProgrammingMode mode, bool verbose_, bool compress, bool save, bool debug) {
  verbose = verbose_;
  debug_ = debug;
  const RunFiles files = RunFiles::forBase(baseName);
  // Outside a driver run the flow keeps a ledger of its own for as long as it runs.
  std::unique_ptr<RunLedger> own;
  if (!ledger_) {
    own = std::make_unique<RunLedger>(RunPlan{.inputSof = inputSof,
                                              .files = files,
                                              .outputFlash = files.flash,
                                              .optionsFile = files.options,
                                              .flow = Flow::Loader,
                                              .compress = compress,
                                              .save = save});
    ledger_ = own.get();
  }
  struct Detach {
    RunLedger *&ledger;
    bool owned;
    ~Detach() {
      if (owned) ledger = nullptr;
    }
  } detach{ledger_, own != nullptr};
  try {
    generateCof(files.cof, inputSof, files.pof, offsetText, optionBitText, mode);
    generatePofFromCof(files.cof, compress ? std::optional<std::string>(files.cofOptions) : std::nullopt);
    convertPofToHex(files.pof, files.hexout);
    // A hex file left by an earlier run (or by a crashed converter) is not this run's result.
    if (!produced(files.hexout)) {
      out_ << messages::KLD_NO_HEXFILE << platform::lineSeparator();
      return restoreEarlierResults();
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
    return restoreEarlierResults();
  } catch (const std::logic_error &) {
    throw; // a fault of the program, not of the flow: the top-level handler reports it
  } catch (const std::exception &e) {
    // Any other failure of a step (the process layer, memory) ends the flow with its text.
    out_ << e.what() << platform::lineSeparator();
    if (debug) out_ << messages::KLD_TRACE_KLDGEN << platform::lineSeparator();
    return restoreEarlierResults();
  }
  if (!save) {
    if (verbose) out_ << messages::KLD_DELETING << platform::lineSeparator();
    ledger_->removeIntermediates();
  }
  ledger_->keepResults();
  out_.flush();
  return true;
}

bool KLDFlashGenerator::restoreEarlierResults() {
  // No half of a new pair stays beside half of the earlier one: the earlier pair comes back.
  for (const auto &[result, kept] : ledger_->restoreEarlierResults())
    out_ << messages::KLD_EARLIER_KEPT << result << messages::KLD_EARLIER_KEPT_AS << kept
         << platform::lineSeparator();
  out_.flush();
  return false;
}

void KLDFlashGenerator::generateCof(const std::string &cofFile, const std::string &sof,
                                    const std::string &pof, const std::string &start,
                                    const std::string &optionStart, ProgrammingMode mode) {
  beginStep(RunStep::Description);
  BitmorphCofMaker maker(cofFile, sof, pof, start, optionStart, programmingModeCode(mode));
  // An identical description left from an earlier run is this run's description too.
  endStep(RunStep::Description, maker.written() ? StepEnd::Completed : StepEnd::Failed);
}

void KLDFlashGenerator::generatePofFromCof(const std::string &cofFile,
                                           const std::optional<std::string> &optionsFile) {
  std::vector<std::string> command = {toolName(messages::CONVERTER), messages::CONVERTER_COF, cofFile};
  if (optionsFile) {
    beginStep(RunStep::LoaderOptions);
    platform::OutputFile file;
    const bool written = file.open(*optionsFile) && file.write(messages::OPTION_COMPRESSION) &&
                         file.write(platform::lineSeparator()) && file.close();
    endStep(RunStep::LoaderOptions, written ? StepEnd::Completed : StepEnd::Failed);
    if (!written) {
      // The OS's reason, when it gave one (a full disk, a folder that is not writable).
      const std::string why = file.failureReason().empty() ? "" : ": " + file.failureReason();
      throw KLDException(messages::KLD_OPTIONS_NOT_WRITTEN + *optionsFile + why,
                         messages::KLD_TRACE_GENERATE_POF);
    }
    command.push_back(messages::CONVERTER_OPTION_FILE);
    command.push_back(*optionsFile);
  }
  const ToolOutcome outcome = runTool(RunStep::Convert, command);
  if (!outcome.launched || outcome.failed) {
    throw KLDException(messages::KLD_POF_FAILED, messages::KLD_TRACE_GENERATE_POF);
  }
  printTail(outcome);
}

void KLDFlashGenerator::convertPofToHex(const std::string &pof, const std::string &hex) {
  printTail(
      runTool(RunStep::ConvertAgain, {toolName(messages::CONVERTER), messages::CONVERTER_COF, pof, hex}));
}

void KLDFlashGenerator::convertHexToSREC(const std::string &hex, const std::string &srec) {
  // The tool writes the result's name itself: the earlier pair waits aside until the run
  // keeps its results or puts the earlier ones back.
  std::string why;
  if (ledger_ && !ledger_->setAsideEarlierResults(why))
    throw KLDException(why, messages::KLD_TRACE_CONVERT_HEX);
  const ToolOutcome outcome =
      runTool(RunStep::ObjectCopy, {toolName(messages::OBJECT_COPY), messages::OBJECT_COPY_OUTPUT,
                                    messages::OBJECT_COPY_SREC, hex, srec});
  if (outcome.failed) throw KLDException(messages::KLD_SREC_FAILED, messages::KLD_TRACE_CONVERT_HEX);
  printTail(outcome);
}

ToolOutcome KLDFlashGenerator::runTool(RunStep step, const std::vector<std::string> &command) {
  beginStep(step);
  ToolOutcome outcome;
  try {
    ToolRunner runner(command);
    outcome = runner.run(verbose ? &out_ : nullptr);
  } catch (...) {
    // The process layer failed to drive the tool: what it had begun to write is half done.
    endStep(step, StepEnd::Failed);
    throw;
  }
  logToolOutcome(outcome, command.front(), debug_, log_);
  // A failed tool's files go at once, never read: the flow then finds them missing.
  endStep(step, outcome.failed     ? StepEnd::Failed
                : outcome.launched ? StepEnd::Completed
                                   : StepEnd::NotStarted);
  return outcome;
}

void KLDFlashGenerator::printTail(const ToolOutcome &outcome) {
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
  const auto optionLoaded = loadWindow(optionStart, optionEnd);
  // A bad image range is reported where the image is cut, after the option bits.
  std::unique_ptr<memory::SrecordMemory> imageLoaded;
  std::optional<KLDException> imageRange;
  try {
    imageLoaded = loadWindow(start, end);
  } catch (const KLDException &e) {
    imageRange = e;
  }
  // One pass over the source feeds both ranges.
  std::vector<memory::SrecordMemory *> targets{optionLoaded.get()};
  if (imageLoaded) targets.push_back(imageLoaded.get());
  loadSource(imageFile, targets);
  const auto optionBits = cutRange(*optionLoaded, optionStart, optionEnd);
  if (verbose) out_ << messages::KLD_EXTRACT_IMAGE << platform::lineSeparator();
  if (imageRange) throw *imageRange;
  const auto image = cutRange(*imageLoaded, start, end);
  // Both ranges are cut before either result is written: the image file is their source.
  // In a run, the object-copy tool's image is the run's own and its data is now held: it
  // goes, so that the cut image takes a free name instead of being renamed over it (a
  // rename over a file makes some file systems write the new one to disk at once). A
  // failure from here on puts the earlier pair back all the same.
  if (ledger_ && produced(imageFile)) platform::removeFile(imageFile);
  const std::string trace = messages::KLD_TRACE_EXTRACT;
  beginStep(RunStep::Cut);
  // Each through the atomic writer; one that fails tells the OS's reason.
  for (const auto &[cut, file] :
       {std::pair{optionBits.get(), &optionOut}, std::pair{image.get(), &imageFile}}) {
    if (!cut->write(*file))
      throw KLDException(cut->getWriteFailure().value_or(messages::KLD_WRITE_FAILED + *file), trace);
  }
  endStep(RunStep::Cut, StepEnd::Completed);
}

std::unique_ptr<memory::SrecordMemory> KLDFlashGenerator::loadWindow(std::int64_t start, std::int64_t end) {
  const std::string trace = messages::KLD_TRACE_EXTRACT;
  if (start < 0 || end < start) {
    throw KLDException(messages::KLD_RANGE_EMPTY + std::to_string(start) + ".." + std::to_string(end), trace);
  }
  if (end > memory::MAX_RECORD_ADDRESS) {
    throw KLDException(messages::KLD_RANGE_TOO_LARGE + hexAddress(start) + ".." + hexAddress(end), trace);
  }
  // An image is at least two bytes wide: the window reaches one byte past the range, and
  // only the range's bytes are taken from it.
  return std::make_unique<memory::SrecordMemory>(start, end + 1, messages::LOADER_READ_IMAGE_NAME);
}

void KLDFlashGenerator::loadSource(const std::string &source,
                                   const std::vector<memory::SrecordMemory *> &images) {
  // An S-record file that the object-copy tool did not write in this run reads as missing.
  if (!produced(source)) {
    commandOptions::standardError() << messages::KLD_READ_ERROR_TRACE << messages::KLD_SREC_NOT_FOUND
                                    << source << platform::lineSeparator() << std::flush;
    return;
  }
  try {
    memory::SrecordReader(images).readFile(source);
  } catch (const memory::RWMemoryException &e) {
    // A file that stops being readable part-way (a malformed record) would otherwise be
    // cut from what was read so far and reported as a finished result: the run fails.
    commandOptions::standardError() << messages::KLD_READ_ERROR_TRACE << e.getMessage()
                                    << platform::lineSeparator() << std::flush;
    throw KLDException(e.getMessage(), messages::KLD_TRACE_EXTRACT);
  }
}

std::unique_ptr<memory::SrecordMemory> KLDFlashGenerator::cutRange(memory::SrecordMemory &loaded,
                                                                   std::int64_t start, std::int64_t end) {
  // Every byte inside the inclusive range, gaps left as gaps: an S-record file need not be
  // contiguous, and a converter leaves out blank stretches. The runs move from the loaded
  // image into the cut one without a copy.
  std::vector<memory::Segment> runs = loaded.takeRuns(start, end);
  if (runs.empty()) throw KLDException(messages::KLD_EMPTY_DATA, messages::KLD_TRACE_EXTRACT);
  auto cut = std::make_unique<memory::SrecordMemory>(start, end + 1, messages::LOADER_CUT_IMAGE_NAME);
  for (auto &run : runs) {
    const std::int64_t addr = run.base();
    cut->add(addr, std::move(run));
  }
  return cut;
}

} // namespace vantrel::bitmorph
