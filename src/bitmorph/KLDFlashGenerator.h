// The flash-loader flow: COF, programming object file, Intel HEX, S-records, and the two
// address ranges of the memory map cut out into ".flash" and ".map.flash".
#pragma once

#include "bitmorph/MemoryMapReaders.h"
#include "bitmorph/ProgrammingMode.h"
#include "bitmorph/RunLedger.h"
#include "bitmorph/ToolRunner.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace vantrel::memory {
class SrecordMemory;
}

namespace vantrel::bitmorph {

/// A failed step of the loader flow; the message is printed, the trace names the step.
class KLDException : public std::runtime_error {
public:
  KLDException(const std::string &message, std::string trace)
      : std::runtime_error(message), trace_(std::move(trace)) {}
  /// Where the failure happened ("at KLDFlashGenerator.<operation>").
  const std::string &trace() const { return trace_; }

private:
  std::string trace_;
};

/// Produces base name + ".flash" (the FPGA image) and base name + ".map.flash" (the option
/// bits) for a flash-loader design.
class KLDFlashGenerator {
public:
  /// Progress and tool output go to out; by default the program's standard output, where
  /// tool output passes byte for byte.
  KLDFlashGenerator();
  explicit KLDFlashGenerator(std::ostream &out);

  /// Works in the driver's run: its ledger (without one kldgen keeps its own, and the
  /// other operations read whatever file is there) and its log for the cause of a failed
  /// tool run (without one, standard error).
  void setRun(RunLedger *ledger, ToolLog log);

  /// The whole flow on the files RunFiles::forBase(baseName) names; true on success.
  /// Failures print their message (and with debug the trace) on the output and return
  /// false, leaving the files written so far. An error the program did not expect (a
  /// std::logic_error) propagates.
  bool kldgen(const std::string &inputSof, const std::string &baseName, const std::string &offsetText,
              const std::string &optionBitText, ProgrammingMode mode, bool verbose, bool compress, bool save,
              bool debug);

  /// Writes the loader COF with the mode's code.
  void generateCof(const std::string &cofFile, const std::string &sof, const std::string &pof,
                   const std::string &start, const std::string &optionStart, ProgrammingMode mode);
  /// First converter run: the COF to a programming object file and memory map; when
  /// compressing, through the options file it writes at optionsFile. Throws on a non-zero
  /// status.
  void generatePofFromCof(const std::string &cofFile, const std::optional<std::string> &optionsFile);
  /// Second converter run: programming object file to Intel HEX.
  void convertPofToHex(const std::string &pof, const std::string &hex);
  /// Object-copy run: Intel HEX to S-records, once the earlier results are set aside.
  /// Throws when the tool fails.
  void convertHexToSREC(const std::string &hex, const std::string &srec);

  /// Image start address from the memory map (line 2, field 1).
  std::int64_t getStartAddress(const std::string &map);
  /// Image end address, inclusive (line 2, field 2).
  std::int64_t getEndAddress(const std::string &map);
  /// Option-bits start address (line 3, field 2).
  std::int64_t getOptStartAddress(const std::string &map);
  /// Option-bits end address, inclusive (line 3, field 3).
  std::int64_t getOptEndAddress(const std::string &map);

  /// Cuts the option-bit range into optionOut and the image range over imageFile. Both
  /// ranges are inclusive and keep every byte the S-records hold inside them, gaps left as
  /// gaps. A range that holds no byte, or that 32-bit S-record addresses cannot hold, fails
  /// the flow.
  void extractSREC(const std::string &optionOut, const std::string &imageFile, std::int64_t start,
                   std::int64_t end, std::int64_t optionStart, std::int64_t optionEnd);

private:
  LoaderMap readMap(const std::string &map);
  bool produced(const std::string &path) const;
  void beginStep(RunStep step);
  void endStep(RunStep step, StepEnd how);
  ToolOutcome runTool(RunStep step, const std::vector<std::string> &command);
  void printTail(const ToolOutcome &outcome);
  /// Puts the earlier results back after a failure, telling of any that stays aside; false.
  bool restoreEarlierResults();
  /// An empty image whose window holds the inclusive range start..end; KLDException when
  /// the range is empty or reaches past what a record address can hold.
  std::unique_ptr<memory::SrecordMemory> loadWindow(std::int64_t start, std::int64_t end);
  /// Reads the S-record file source into every image in one pass; a file this run did not
  /// produce leaves them empty (after a trace line), a malformed one is a KLDException.
  void loadSource(const std::string &source, const std::vector<memory::SrecordMemory *> &images);
  /// Moves the bytes of start..end out of loaded into a fresh image of that range;
  /// KLDException when the range holds none.
  std::unique_ptr<memory::SrecordMemory> cutRange(memory::SrecordMemory &loaded, std::int64_t start,
                                                  std::int64_t end);

  std::ostream &out_;
  bool verbose = false;
  bool debug_ = false;
  RunLedger *ledger_ = nullptr;
  ToolLog log_;
};

} // namespace vantrel::bitmorph
