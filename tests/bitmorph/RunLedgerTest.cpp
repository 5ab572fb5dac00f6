// Tests of the run's ledger: which files count as the run's, and what a failed step removes
// (what stops and the end of a run remove: FaultyRunTest and the driver tests).
#include "bitmorph/RunLedger.h"

#include "support/ScratchDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vantrel::bitmorph {
namespace {

using vantrel::testing::readBytes;
using vantrel::testing::ScratchDir;
using vantrel::testing::writeBytes;

RunPlan planIn(const ScratchDir &dir, Flow flow, bool compress = false) {
  const RunFiles files = RunFiles::forBase(dir.file("top"));
  return RunPlan{.inputSof = dir.file("top.sof"),
                 .files = files,
                 .outputFlash = files.flash,
                 .optionsFile = files.options,
                 .flow = flow,
                 .compress = compress};
}

bool exists(const std::string &path) {
  return std::filesystem::exists(path);
}

TEST(RunLedger, OnlyWhatACompletedStepOfThisRunWroteIsTheRuns) {
  enum class Before { None, File, Folder };
  struct Case {
    const char *what;
    Before before;
    bool write;
    std::optional<StepEnd> end;
    bool produced;
  };
  const Case cases[] = {
      {"new file, step completed", Before::None, true, StepEnd::Completed, true},
      {"rewritten file, step completed", Before::File, true, StepEnd::Completed, true},
      {"earlier run's file, untouched", Before::File, false, StepEnd::Completed, false},
      {"written, step still running", Before::None, true, std::nullopt, false},
      {"written, tool never started", Before::File, true, StepEnd::NotStarted, false},
      {"a folder of that name", Before::Folder, false, StepEnd::Completed, false},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    ScratchDir dir;
    const RunPlan plan = planIn(dir, Flow::Parallel);
    if (c.before == Before::File) writeBytes(plan.files.rbf, "old");
    if (c.before == Before::Folder) std::filesystem::create_directory(plan.files.rbf);
    RunLedger ledger(plan);
    ledger.begin(RunStep::Convert);
    if (c.write) writeBytes(plan.files.rbf, "new image");
    if (c.end) ledger.end(RunStep::Convert, *c.end);
    EXPECT_EQ(ledger.produced(plan.files.rbf), c.produced);
  }
}

TEST(RunLedger, AFailedStepRemovesWhatItChangedAndNothingElse) {
  ScratchDir dir;
  const RunPlan plan = planIn(dir, Flow::Serial);
  writeBytes(plan.files.map, "a map of the user's");
  writeBytes(plan.files.rpd, "an earlier image");
  RunLedger ledger(plan);
  ledger.begin(RunStep::Convert);
  writeBytes(plan.files.pof, "half a p"); // the converter crashes before it writes the map
  ledger.end(RunStep::Convert, StepEnd::Failed);
  EXPECT_FALSE(exists(plan.files.pof));
  EXPECT_EQ(readBytes(plan.files.map), "a map of the user's");
  EXPECT_FALSE(ledger.produced(plan.files.map));
  // A step that never began touches nothing.
  EXPECT_EQ(readBytes(plan.files.rpd), "an earlier image");
}

TEST(RunLedger, TheRunsOwnFileCountsEvenWhenLeftIdentical) {
  ScratchDir dir;
  const RunPlan plan = planIn(dir, Flow::ActiveParallel);
  writeBytes(plan.files.cof, "<cof/>");
  RunLedger ledger(plan);
  ledger.begin(RunStep::Description);
  ledger.end(RunStep::Description, StepEnd::Completed); // identical: left untouched
  EXPECT_TRUE(ledger.produced(plan.files.cof));
}

} // namespace
} // namespace vantrel::bitmorph
