// The machine's options (-D, -X and the assertion and verbosity switches), shared by the
// java program and the VM library's creation call.
#pragma once

#include "Vm.h"

#include <cstdint>
#include <string>

namespace vantrel::runtime {

/// Options collected so far; heap sizes are checked against each other at the end.
struct VmSettings {
  VmConfig config;
  std::uint64_t initialHeap = 0; ///< 0: not given
  std::uint64_t maximumHeap = 0;
};

enum class OptionStatus { Applied, Unrecognized, Invalid };

/// Applies one option text. Unrecognized: the machine does not know it; Invalid: it is
/// known but its value is bad. In both cases message holds the complete report line.
/// -Djava.class.path=... sets the class path; other -Dname=value set properties.
OptionStatus applyVmOption(const std::string &option, VmSettings &settings, std::string &message);

/// Checks the options together (initial heap not above maximum heap); false with message.
bool checkVmSettings(const VmSettings &settings, std::string &message);

/// Parses a size such as 256m or 2g (k, m, g, t in either case); nothing when malformed
/// or larger than 64 bits.
std::optional<std::uint64_t> parseMemorySize(const std::string &text);

} // namespace vantrel::runtime
