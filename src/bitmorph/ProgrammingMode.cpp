// Mapping between the programming-mode texts, the enumeration and the COF codes.
#include "bitmorph/ProgrammingMode.h"

namespace vantrel::bitmorph {

std::optional<ProgrammingMode> parseProgrammingMode(const std::string &text) {
  if (text == "FPP") return ProgrammingMode::FPP;
  if (text == "PS") return ProgrammingMode::ONEBITPS;
  return std::nullopt;
}

const char *programmingModeCode(ProgrammingMode mode) {
  return mode == ProgrammingMode::FPP ? "6" : "0";
}

} // namespace vantrel::bitmorph
