// Tests of the run's ledger: which files count as the run's, what a failed step and the end
// of a run remove, and the names a run reserves.
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

TEST(RunLedger, TheEndOfARunRemovesOnlyTheIntermediatesItProduced) {
  ScratchDir dir;
  const RunPlan plan = planIn(dir, Flow::ActiveParallel, true);
  writeBytes(plan.files.map, "not this flow's file");
  RunLedger ledger(plan);
  for (const RunStep step : {RunStep::OptionsFile, RunStep::Description, RunStep::Convert}) {
    ledger.begin(step);
    for (const std::string &path : ledger.filesOf(step))
      writeBytes(path, "written");
    ledger.end(step, StepEnd::Completed);
  }
  ledger.removeIntermediates();
  EXPECT_TRUE(exists(plan.optionsFile)); // kept after the parallel flows
  EXPECT_FALSE(exists(plan.files.cof));
  EXPECT_FALSE(exists(plan.files.rbf));
  EXPECT_EQ(readBytes(plan.files.map), "not this flow's file");
}

TEST(RunLedger, StepsWriteTheFilesOfTheirFlowOnly) {
  ScratchDir dir;
  const RunFiles &f = planIn(dir, Flow::Parallel).files;
  const RunLedger parallel(planIn(dir, Flow::Parallel));
  EXPECT_TRUE(parallel.filesOf(RunStep::OptionsFile).empty()); // no --compress
  EXPECT_EQ(parallel.filesOf(RunStep::Convert), std::vector<std::string>{f.rbf});
  const RunLedger serial(planIn(dir, Flow::Serial));
  EXPECT_EQ(serial.filesOf(RunStep::Convert), (std::vector<std::string>{f.pof, f.map}));
  EXPECT_EQ(serial.filesOf(RunStep::ConvertAgain), std::vector<std::string>{f.rpd});
  const RunLedger loader(planIn(dir, Flow::Loader, true));
  EXPECT_EQ(loader.filesOf(RunStep::LoaderOptions), std::vector<std::string>{f.cofOptions});
  EXPECT_EQ(loader.filesOf(RunStep::ObjectCopy), std::vector<std::string>{f.flash});
  EXPECT_EQ(loader.filesOf(RunStep::Cut), (std::vector<std::string>{f.optionBits, f.flash}));
  // The names checks keep off: every intermediate and both lock files.
  const auto reserved = RunLedger::reservedNames(f, "x/shared.opt", false);
  EXPECT_EQ(reserved.back(), "x/shared.lock");
  EXPECT_NE(std::find(reserved.begin(), reserved.end(), f.lock), reserved.end());
}

} // namespace
} // namespace vantrel::bitmorph
