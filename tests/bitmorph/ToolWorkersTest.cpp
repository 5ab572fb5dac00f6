// A converter that leaves a worker behind, as a wrapper script may: however the run ends (by
// itself, stopped by SIGTERM, by a Ctrl-C to the terminal's whole process group), no process
// of the tool's group outlives it and nothing writes the intermediate afterwards; a run
// killed outright takes its converter with it.
#include "RunTestSupport.h"
#include "SofBuilder.h"

#include "platform/file.h"
#include "platform/time.h"
#include "support/ProcessControl.h"

#include <gtest/gtest.h>

namespace vantrel::bitmorph {
namespace {

constexpr long IMAGE_SIZE = 524288; // eight chunks, written slowly

/// Waits up to 10 s until none of the processes runs; false when one still does.
bool allEnd(const std::vector<std::uint64_t> &pids) {
  const std::int64_t deadline = platform::nowMillis() + 10000;
  for (std::uint64_t pid : pids) {
    while (testing::processRuns(pid)) {
      if (platform::nowMillis() > deadline) return false;
      platform::sleepMillis(5);
    }
  }
  return true;
}

struct Ending {
  const char *name;
  const char *stopAt; ///< BM_FAKE_STOP, or "" for a run that ends by itself
  int signal;         ///< the signal the run dies of (0: it exits with 0)
};

TEST(ToolWorkers, NothingOfTheToolsGroupOutlivesTheRun) {
  if (BM_TEST_WINDOWS)
    GTEST_SKIP() << "process groups are POSIX's; on Windows the run's job ends the workers";
  test::ScratchDir scratch;
  const std::string folder = test::userFolder(scratch);
  const std::string base = test::inFolder(folder, "Top");
  vantrel::testing::writeBytes(base + ".sof", test::SofBuilder(true).partName("KX2R").text());
  const std::string pids = test::inFolder(folder, "pids.txt");
  const Ending endings[] = {{"by itself", "", 0},
                            {"SIGTERM to the run", ".rbf:2:15", 15},
                            {"Ctrl-C to the run's process group", ".rbf:2:-2", 2},
                            {"the run killed outright", ".rbf:2:9", 9}};
  for (const Ending &ending : endings) {
    SCOPED_TRACE(ending.name);
    vantrel::testing::writeBytes(pids, "");
    const auto r = test::runDriver(
        {"--input=" + base + ".sof", "--output=" + base + ".flash", "--offset=0x100"},
        {"BM_FAKE_WORKER=1", "BM_FAKE_PIDS=" + pids, "BM_FAKE_STOP=" + std::string(ending.stopAt),
         "BM_FAKE_SIZE=" + std::to_string(IMAGE_SIZE), "BM_FAKE_CHUNK=65536", "BM_FAKE_SLOW=15"});
    EXPECT_EQ(r.exitCode, ending.signal == 0 ? 0 : 128 + ending.signal) << r.out << r.err;
    const std::vector<std::uint64_t> tool = test::loggedProcessIds(pids);
    ASSERT_EQ(tool.size(), 2u) << "the converter and its worker";
    if (ending.signal == 9) {
      // The converter dies with the run, before it has written the whole image. Its worker
      // is out of reach (README) and is ended here.
      EXPECT_TRUE(allEnd({tool[0]})) << "the converter outlived the killed run";
      EXPECT_LT(vantrel::testing::readBytes(base + ".rbf").size(), static_cast<std::size_t>(IMAGE_SIZE));
      vantrel::testing::killProcess(tool[1]);
    } else {
      // Both end with the run; once they are gone, the intermediate the run removed is
      // still gone: nobody wrote it after the run.
      EXPECT_TRUE(allEnd(tool)) << "a process of the converter's group outlived the run";
      EXPECT_FALSE(platform::fileExists(base + ".rbf")) << "written after the run ended";
    }
    platform::removeFile(base + ".rbf");
    platform::removeFile(base + ".flash");
  }
}

} // namespace
} // namespace vantrel::bitmorph
