// The flash-loader programming modes, as typed on the command line and as written in the COF.
#pragma once

#include <optional>
#include <string>

namespace vantrel::bitmorph {

/// How the flash loader configures the FPGA.
enum class ProgrammingMode { FPP, ONEBITPS };

/// The mode for the --programmingmode text: "FPP" or "PS", compared exactly.
std::optional<ProgrammingMode> parseProgrammingMode(const std::string &text);

/// The mode's code in the conversion description: "6" for FPP, "0" for ONEBITPS.
const char *programmingModeCode(ProgrammingMode mode);

} // namespace vantrel::bitmorph
