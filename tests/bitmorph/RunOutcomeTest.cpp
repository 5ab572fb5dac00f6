// Tests of the exit-code decision: every stage's results against the code they give.
#include "bitmorph/RunOutcome.h"

#include "bitmorph/Bitmorph.h"

#include <gtest/gtest.h>

namespace vantrel::bitmorph {
namespace {

using CF = CheckFailure;

TEST(DecideExitCode, EveryResultGivesItsCode) {
  struct Case {
    const char *what;
    RunResults results;
    int code;
  };
  const Case cases[] = {
      {"converted",
       {StartStatus::Started, {}, FlowStatus::Succeeded, OutputStatus::Written},
       Bitmorph::SUCCESS},
      {"loader flow done", {StartStatus::Started, {}, FlowStatus::Succeeded}, Bitmorph::SUCCESS},
      {"help", {StartStatus::HelpShown}, Bitmorph::SUCCESS},
      {"command line rejected", {StartStatus::CommandLineRejected}, Bitmorph::CMD_ERROR},
      {"options refused", {StartStatus::Started, {CF::Options}}, Bitmorph::OPTION_ERROR},
      {"input refused", {StartStatus::Started, {CF::Input}}, Bitmorph::INPUT_ERROR},
      {"input and options refused",
       {StartStatus::Started, {CF::Options, CF::Input, CF::Options}},
       Bitmorph::INPUT_ERROR},
      // The loader's option checks overrule an input failure, whatever the order.
      {"input then loader option",
       {StartStatus::Started, {CF::Input, CF::LoaderOptions}},
       Bitmorph::OPTION_ERROR},
      {"loader option then input",
       {StartStatus::Started, {CF::LoaderOptions, CF::Input}},
       Bitmorph::OPTION_ERROR},
      {"options file not written",
       {StartStatus::Started, {}, FlowStatus::OptionsFileFailed},
       Bitmorph::EXT_APP_ERROR},
      {"converter not driven", {StartStatus::Started, {}, FlowStatus::LaunchFailed}, Bitmorph::EXT_APP_ERROR},
      {"loader flow failed", {StartStatus::Started, {}, FlowStatus::LoaderFailed}, Bitmorph::EXT_APP_ERROR},
      {"raw image unusable",
       {StartStatus::Started, {}, FlowStatus::Succeeded, OutputStatus::ReadFailed},
       Bitmorph::INPUT_ERROR},
      {"flash image not built",
       {StartStatus::Started, {}, FlowStatus::Succeeded, OutputStatus::GenerateFailed},
       Bitmorph::DATA_ERROR},
      {"flash file not written",
       {StartStatus::Started, {}, FlowStatus::Succeeded, OutputStatus::WriteFailed},
       Bitmorph::OUTPUT_ERROR},
      {"lock not taken",
       {StartStatus::Started, {}, FlowStatus::NotRun, OutputStatus::NotRun, false, true},
       Bitmorph::OUTPUT_ERROR},
      {"internal error",
       {StartStatus::Started, {}, FlowStatus::Succeeded, OutputStatus::Written, true},
       Bitmorph::INTERNAL_ERROR},
      {"internal error after help",
       {StartStatus::HelpShown, {}, FlowStatus::NotRun, OutputStatus::NotRun, true},
       Bitmorph::INTERNAL_ERROR},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(decideExitCode(c.results), c.code) << c.what;
  }
}

} // namespace
} // namespace vantrel::bitmorph
