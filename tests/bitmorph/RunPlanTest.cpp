// Tests of the run plan's names: the base-name rule on each platform, the derived files and
// the locks a run takes, one per file in one order however its names are spelled.
#include "bitmorph/RunPlan.h"

#include "platform/file.h"
#include "support/ChildRun.h"
#include "support/ScratchDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace vantrel::bitmorph {
namespace {

constexpr bool WINDOWS = BM_TEST_WINDOWS != 0;

TEST(BaseNameOf, OnlyTheLastComponentLosesItsExtension) {
  struct Case {
    const char *path;
    const char *onLinux;   // '/' is the only separator
    const char *onWindows; // '\' and '/' both separate
  };
  const Case cases[] = {
      {"top.sof", "top", "top"},
      {"out/img.bin", "out/img", "out/img"},
      {"top", "top", "top"},
      {"a.b.flash", "a.b", "a.b"},
      // A dot in a folder name never counts: every derived file stays in that folder.
      {"build.old/top", "build.old/top", "build.old/top"},
      {"Proj's v2.0 Dir/Top File", "Proj's v2.0 Dir/Top File", "Proj's v2.0 Dir/Top File"},
      {"\xC3\x89t\xC3\xA9.v2/\xD0\x96 \xE6\x97\xA5\xE6\x9C\xAC.flash",
       "\xC3\x89t\xC3\xA9.v2/\xD0\x96 \xE6\x97\xA5\xE6\x9C\xAC",
       "\xC3\x89t\xC3\xA9.v2/\xD0\x96 \xE6\x97\xA5\xE6\x9C\xAC"},
      // A backslash separates on Windows only; on Linux it is part of the name.
      {"C:\\proj.v2\\top", "C:\\proj", "C:\\proj.v2\\top"},
      {"C:\\proj.v2\\top.flash", "C:\\proj.v2\\top", "C:\\proj.v2\\top"},
      {"d$1\\x$0.flash", "d$1\\x$0", "d$1\\x$0"},
      {"d.1\\x", "d", "d.1\\x"},
      {"C:top.v2", "C:top", "C:top"},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(baseNameOf(c.path), WINDOWS ? c.onWindows : c.onLinux) << c.path;
  }
}

TEST(RunFiles, EveryNameIsTheBasePlusItsSuffix) {
  const RunFiles files = RunFiles::forBase("d/top");
  EXPECT_EQ(files.base, "d/top");
  EXPECT_EQ(files.flash, "d/top.flash");
  EXPECT_EQ(files.options, "d/top.opt");
  EXPECT_EQ(files.rbf, "d/top.rbf");
  EXPECT_EQ(files.rpd, "d/top.rpd");
  EXPECT_EQ(files.pof, "d/top.pof");
  EXPECT_EQ(files.cof, "d/top.cof");
  EXPECT_EQ(files.map, "d/top.map");
  EXPECT_EQ(files.hexout, "d/top.hexout");
  EXPECT_EQ(files.cofOptions, "d/top.cof.opt");
  EXPECT_EQ(files.optionBits, "d/top.map.flash");
  EXPECT_EQ(files.lock, "d/top.lock");
}

TEST(RunFiles, IntermediatesOfEachFlowInCheckOrder) {
  const RunFiles files = RunFiles::forBase("d/top");
  EXPECT_EQ(files.intermediates("x.opt", false),
            (std::vector<std::string>{"d/top.rbf", "d/top.rpd", "d/top.pof", "d/top.cof", "d/top.opt",
                                      "d/top.map", "x.opt"}));
  EXPECT_EQ(
      files.intermediates("d/top.opt", true),
      (std::vector<std::string>{"d/top.rbf", "d/top.rpd", "d/top.pof", "d/top.cof", "d/top.opt", "d/top.map",
                                "d/top.opt", "d/top.hexout", "d/top.cof.opt", "d/top.map.flash"}));
}

TEST(RunPlan, LockFilesAreEachFileOnceInOneOrderHoweverSpelled) {
  vantrel::testing::ScratchDir dir;
  std::filesystem::create_directories(dir.path() / "d");
  std::filesystem::create_directories(dir.path() / "z");
  const vantrel::testing::CurrentFolderGuard inScratch(dir.path());
  const std::string here = vantrel::testing::hostPath(dir.path().string()) + (WINDOWS ? "\\" : "/");
  const auto plan = [](const std::string &base, const std::string &options, Flow flow, bool compress) {
    return RunPlan{.inputSof = "top.sof",
                   .files = RunFiles::forBase(base),
                   .optionsFile = options,
                   .flow = flow,
                   .compress = compress};
  };
  // Its own options file needs no second lock, however it is spelled; nor does a flow that
  // writes none; nor one in a folder that does not exist, where nothing needs guarding.
  for (const std::string &options :
       {std::string("./d/top.opt"), std::string("d/../d/top.opt"), here + "d/top.opt"})
    EXPECT_EQ(plan("d/top", options, Flow::Serial, false).lockFiles(),
              std::vector<std::string>{"d/top.lock"});
  EXPECT_EQ(plan("d/top", "z/o.opt", Flow::Parallel, false).lockFiles(),
            std::vector<std::string>{"d/top.lock"});
  EXPECT_EQ(plan("d/top", "z/o.opt", Flow::Loader, true).lockFiles(), std::vector<std::string>{"d/top.lock"});
  EXPECT_EQ(plan("d/top", "no/such/o.opt", Flow::Serial, false).lockFiles(),
            std::vector<std::string>{"d/top.lock"});
  // Runs of the base names p and q, each naming the other's options file, spelled
  // relatively, absolutely and through "..", take the two locks in one order: neither can
  // hold one while waiting for the other.
  const auto files = [](const std::vector<std::string> &locks) {
    std::vector<std::optional<std::string>> names;
    for (const auto &lock : locks)
      names.push_back(platform::canonicalName(lock));
    return names;
  };
  const auto order = files(plan("z/q", "./d/p.opt", Flow::Serial, false).lockFiles());
  ASSERT_EQ(order.size(), 2u);
  EXPECT_EQ(files(plan("d/p", here + "z/q.opt", Flow::ActiveParallel, true).lockFiles()), order);
  EXPECT_EQ(files(plan(here + "d/p", "d/../z/q.opt", Flow::Serial, false).lockFiles()), order);
  EXPECT_EQ(files(plan("z/../z/q", here + "d/p.opt", Flow::Parallel, true).lockFiles()), order);
}

} // namespace
} // namespace vantrel::bitmorph
