// What a run says about the arguments it does not act on: left-over arguments, and options
// that the chosen flow sets aside, overrides or reads only once.
#pragma once

#include "bitmorph/RunPlan.h"

#include <optional>
#include <string>
#include <vector>

namespace vantrel::commandApplication {
class CmdApp;
}

namespace vantrel::bitmorph {

/// One warning line for each left-over argument: the unrecognised-argument warning for one
/// that begins with "-" (never the input SOF, even when it is the only one left over), and a
/// warning for a word that is taken neither as the input SOF nor as the output file.
std::vector<std::string> leftOverWarnings(const commandApplication::CmdApp &app);

/// One warning line for each option the run sets aside: --offset in serial mode, serial
/// modes given together, options the flow does not read (the loader options, --options,
/// --compress, --timestamp, an --output name the loader flow does not write), and an option
/// given more than once with different values. device is the serial device the run
/// names; files are the run's names when it has a base name.
std::vector<std::string> setAsideWarnings(const commandApplication::CmdApp &app, Flow flow,
                                          SerialDevice device, const std::optional<RunFiles> &files);

} // namespace vantrel::bitmorph
