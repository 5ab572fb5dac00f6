// The validated arguments of one run as an immutable plan: the base name and every file
// name derived from it, the output, the flow with its flags and addresses.
#pragma once

#include "bitmorph/ProgrammingMode.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel::bitmorph {

class deviceFamily;

/// The conversion a run performs. A serial mode wins over the loader and the
/// active-parallel modes; the loader wins over plain parallel.
enum class Flow { Parallel, ActiveParallel, Serial, Loader };

/// The flow the modes given choose, by the precedence Flow states.
Flow chooseFlow(bool serial, bool loader, bool activeParallel);

/// The serial configuration device named to the converter.
enum class SerialDevice { SPROM128, QPROM256, QPROM128 };

/// The base name of a path: the path up to the last "." of its last component, the whole
/// path when that component has none. A "." in a folder name never counts, so every
/// derived file stays in the folder the user named.
std::string baseNameOf(std::string_view path);

/// Every file name a base name gives: each is the base name plus a fixed suffix. The one
/// place these suffixes are written.
struct RunFiles {
  std::string base;
  std::string flash;      ///< ".flash": the default output, and the loader flow's image
  std::string options;    ///< ".opt": the default converter options file
  std::string rbf;        ///< ".rbf": raw image of the parallel flows
  std::string rpd;        ///< ".rpd": raw programming data of the serial flow
  std::string pof;        ///< ".pof": programming object file (serial and loader flows)
  std::string cof;        ///< ".cof": conversion description (active parallel and loader)
  std::string map;        ///< ".map": the converter's memory map
  std::string hexout;     ///< ".hexout": the loader flow's Intel HEX
  std::string cofOptions; ///< ".cof.opt": the loader flow's options file
  std::string optionBits; ///< ".map.flash": the loader flow's option-bits result
  /// ".lock": the lock file on which the runs of one base name take turns (they would
  /// write the same intermediates); it exists only while a run holds it.
  std::string lock;

  /// The names for base.
  static RunFiles forBase(const std::string &base);

  /// The files a run may write and later delete, in the order the name checks report
  /// them: ".rbf", ".rpd", ".pof", ".cof", ".opt", ".map", then optionsFile, and for the
  /// loader flow ".hexout", ".cof.opt", ".map.flash".
  std::vector<std::string> intermediates(const std::string &optionsFile, bool loader) const;
};

/// The flash file a flow writes: the loader flow always writes files.flash, whatever
/// --output said; every other flow the named or default output.
std::string flashFileOf(Flow flow, const RunFiles &files, const std::string &output);

/// One run, decided before anything is written. Built once from the checked arguments;
/// every stage reads it and none changes it.
struct RunPlan {
  const std::string inputSof{};
  const deviceFamily *const family = nullptr; ///< detected, never INVALID
  const RunFiles files{};
  /// The flash file the run writes: the named or default output; the loader flow always
  /// writes files.flash, whatever --output said.
  const std::string outputFlash{};
  const std::string optionsFile{}; ///< --options, else files.options
  const Flow flow = Flow::Parallel;
  const SerialDevice serialDevice = SerialDevice::SPROM128;
  const bool compress = false;
  const bool timestamp = false; ///< S0 header from the input's modification time
  const bool save = false;      ///< keep the intermediates
  const bool quiet = false;
  const bool debug = false;
  const bool echoArguments = false; ///< verbose and not quiet: log the arguments
  /// Where the design goes in the flash: 0 in serial mode, else the --offset value.
  const std::int64_t designOffset = 0;
  const std::string offsetText{};    ///< --offset as typed (the loader's COF)
  const std::string optionBitText{}; ///< --optionbit as typed (the loader's COF)
  const ProgrammingMode programmingMode = ProgrammingMode::FPP;

  bool serial() const { return flow == Flow::Serial; }
  bool loader() const { return flow == Flow::Loader; }

  /// True when the flow writes the converter options file (optionsFile): the serial flow
  /// always, the parallel flows with --compress, the loader flow never (it has its own).
  bool writesOptionsFile() const;
  /// The lock files the run holds while it runs, in the order it takes them: its base
  /// name's, and, when it writes an options file of another base name (--options), that
  /// base name's too, so that every run writing the file takes turns on it. Each file is
  /// named once however its names are spelled, and the order is that of the files' canonical
  /// names (platform::canonicalName), one for every run, so two runs never wait for each
  /// other. A lock whose folder does not exist is left out: nothing there needs guarding.
  std::vector<std::string> lockFiles() const;
};

} // namespace vantrel::bitmorph
