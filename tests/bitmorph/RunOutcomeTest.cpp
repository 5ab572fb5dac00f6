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
      {"converter ended with an error status",
       {StartStatus::Started, {}, FlowStatus::ToolFailed, OutputStatus::ReadFailed},
       Bitmorph::INPUT_ERROR},
      {"results refused before the flow",
       {StartStatus::Started, {}, FlowStatus::NotRun, OutputStatus::WriteFailed},
       Bitmorph::OUTPUT_ERROR},
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

// README's table of exit codes, as the numbers users' scripts compare against: a changed
// constant, or a decision that gives another code for a row's case, fails here. (The
// launcher's own -1 is pinned by the chain tests.)
TEST(DecideExitCode, GivesTheNumbersReadmeDocuments) {
  using FS = FlowStatus;
  using OS = OutputStatus;
  struct Row {
    const char *name;
    int constant;
    RunResults when;
    int number;
  };
  const Row rows[] = {
      {"SUCCESS", Bitmorph::SUCCESS, {StartStatus::Started, {}, FS::Succeeded, OS::Written}, 0},
      {"CMD_ERROR", Bitmorph::CMD_ERROR, {StartStatus::CommandLineRejected}, 1},
      {"OPTION_ERROR", Bitmorph::OPTION_ERROR, {StartStatus::Started, {CF::Options}}, 2},
      {"INPUT_ERROR", Bitmorph::INPUT_ERROR, {StartStatus::Started, {CF::Input}}, 3},
      {"DATA_ERROR", Bitmorph::DATA_ERROR, {StartStatus::Started, {}, FS::Succeeded, OS::GenerateFailed}, 4},
      {"EXT_APP_ERROR", Bitmorph::EXT_APP_ERROR, {StartStatus::Started, {}, FS::LaunchFailed}, 6},
      {"OUTPUT_ERROR", Bitmorph::OUTPUT_ERROR, {StartStatus::Started, {}, FS::Succeeded, OS::WriteFailed}, 7},
      {"INTERNAL_ERROR",
       Bitmorph::INTERNAL_ERROR,
       {StartStatus::Started, {}, FS::NotRun, OS::NotRun, true},
       70},
  };
  for (const Row &row : rows) {
    EXPECT_EQ(row.constant, row.number) << row.name;
    EXPECT_EQ(decideExitCode(row.when), row.number) << row.name;
  }
}

} // namespace
} // namespace vantrel::bitmorph
