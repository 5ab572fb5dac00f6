// The exit-code decision.
#include "bitmorph/RunOutcome.h"

#include <algorithm>

namespace vantrel::bitmorph {

namespace {

bool any(const std::vector<CheckFailure> &failures, CheckFailure kind) {
  return std::find(failures.begin(), failures.end(), kind) != failures.end();
}

} // namespace

int decideExitCode(const RunResults &results) {
  if (results.internalError) return exitCode::INTERNAL_ERROR;
  switch (results.start) {
  case StartStatus::HelpShown:
    return exitCode::SUCCESS;
  case StartStatus::CommandLineRejected:
    return exitCode::CMD_ERROR;
  case StartStatus::Started:
    break;
  }
  if (!results.refused.empty()) {
    // The loader's option checks come after the input checks and overrule their code.
    if (any(results.refused, CheckFailure::LoaderOptions)) return exitCode::OPTION_ERROR;
    if (any(results.refused, CheckFailure::Input)) return exitCode::INPUT_ERROR;
    return exitCode::OPTION_ERROR;
  }
  if (results.lockFailed) return exitCode::OUTPUT_ERROR;
  if (results.flow != FlowStatus::NotRun && results.flow != FlowStatus::Succeeded &&
      results.flow != FlowStatus::ToolFailed) {
    return exitCode::EXT_APP_ERROR;
  }
  switch (results.output) {
  case OutputStatus::ReadFailed:
    return exitCode::INPUT_ERROR;
  case OutputStatus::GenerateFailed:
    return exitCode::DATA_ERROR;
  case OutputStatus::WriteFailed:
    return exitCode::OUTPUT_ERROR;
  case OutputStatus::NotRun:
  case OutputStatus::Written:
    break;
  }
  return exitCode::SUCCESS;
}

} // namespace vantrel::bitmorph
