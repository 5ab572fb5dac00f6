// The exit-code decision.
#include "bitmorph/RunOutcome.h"

#include "bitmorph/Bitmorph.h"

#include <algorithm>

namespace vantrel::bitmorph {

namespace {

bool any(const std::vector<CheckFailure> &failures, CheckFailure kind) {
  return std::find(failures.begin(), failures.end(), kind) != failures.end();
}

} // namespace

int decideExitCode(const RunResults &results) {
  if (results.internalError) return Bitmorph::INTERNAL_ERROR;
  switch (results.start) {
  case StartStatus::HelpShown:
    return Bitmorph::SUCCESS;
  case StartStatus::CommandLineRejected:
    return Bitmorph::CMD_ERROR;
  case StartStatus::Started:
    break;
  }
  if (!results.refused.empty()) {
    // The loader's option checks come after the input checks and overrule their code.
    if (any(results.refused, CheckFailure::LoaderOptions)) return Bitmorph::OPTION_ERROR;
    if (any(results.refused, CheckFailure::Input)) return Bitmorph::INPUT_ERROR;
    return Bitmorph::OPTION_ERROR;
  }
  if (results.lockFailed) return Bitmorph::OUTPUT_ERROR;
  if (results.flow != FlowStatus::NotRun && results.flow != FlowStatus::Succeeded) {
    return Bitmorph::EXT_APP_ERROR;
  }
  switch (results.output) {
  case OutputStatus::ReadFailed:
    return Bitmorph::INPUT_ERROR;
  case OutputStatus::GenerateFailed:
    return Bitmorph::DATA_ERROR;
  case OutputStatus::WriteFailed:
    return Bitmorph::OUTPUT_ERROR;
  case OutputStatus::NotRun:
  case OutputStatus::Written:
    break;
  }
  return Bitmorph::SUCCESS;
}

} // namespace vantrel::bitmorph
