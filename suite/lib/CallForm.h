// The converter's command line: the six call forms it accepts.
//
//   --no_banner --convert [--option=OPTIONS] IN.sof OUT.rbf          raw image
//   --no_banner --convert [--option=OPTIONS] DESCRIPTION.cof         as the description says
//   --no_banner --convert --device=DEV --option=OPTIONS IN.sof OUT.pof  serial, first run
//   --no_banner --convert IN.pof OUT.rpd                             serial, second run
//   -c DESCRIPTION.cof [--option OPTIONS]                            loader, first run
//   -c IN.pof OUT.hexout                                             loader, second run
// DEV is SPROM128, QPROM256 or QPROM128. Extensions are matched in any case.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vantrel::suite {

/// One parsed call.
struct CallForm {
  enum class Kind { Parallel, ActiveParallel, SerialFirst, SerialSecond, LoaderFirst, LoaderSecond };
  Kind kind = Kind::Parallel;
  std::string optionsFile; ///< empty: no options file
  std::string device;      ///< SerialFirst only
  std::string input;       ///< .sof, .pof or .cof
  std::string output;      ///< empty for the description forms
};

/// The call form of args (without the program name); nothing when args match none. When
/// the only fault is an unknown --device value, deviceError names it.
std::optional<CallForm> parseCallForm(const std::vector<std::string> &args, std::string &deviceError);

/// The usage text printed for a command line that matches no call form.
extern const char PREXA_CPF_USAGE[];

} // namespace vantrel::suite
