// A converter that leaves a worker behind, as a wrapper script may: however the run ends (by
// itself, stopped, by a Ctrl-C to the terminal's whole process group), no process the tool
// started outlives the run and nothing writes the intermediate afterwards; a run killed
// outright takes its converter with it.
#include "RunTestSupport.h"
#include "SofBuilder.h"

#include "platform/file.h"
#include "platform/time.h"
#include "support/ProcessControl.h"
#include "support/Waiting.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vantrel::bitmorph {
namespace {

using testing::Stop;

constexpr bool WINDOWS = BM_TEST_WINDOWS != 0;
constexpr long IMAGE_SIZE = 524288; // eight chunks, written slowly

/// Waits until none of the processes runs; false when one still does after the event limit.
bool allEnd(const std::vector<std::uint64_t> &pids) {
  return testing::waitUntil([&] {
    return std::none_of(pids.begin(), pids.end(),
                        [](std::uint64_t pid) { return testing::processRuns(pid); });
  });
}

enum class Ending { ByItself, Stopped, GroupInterrupted, Killed };

TEST(ToolWorkers, NothingOfTheToolsGroupOutlivesTheRun) {
  test::ScratchDir scratch;
  const std::string folder = test::userFolder(scratch);
  const std::string base = test::inFolder(folder, "Top");
  vantrel::testing::writeBytes(base + ".sof", test::SofBuilder(true).partName("KX2R").text());
  const std::string pids = test::inFolder(folder, "pids.txt");
  // Under Wine only Ctrl-C can be delivered; it stands for SIGTERM there.
  const Stop stop = testing::stopDeliverable(Stop::Terminate) ? Stop::Terminate : Stop::Interrupt;
  for (const Ending ending : {Ending::ByItself, Ending::Stopped, Ending::GroupInterrupted, Ending::Killed}) {
    SCOPED_TRACE(static_cast<int>(ending));
    // On Windows a console's Ctrl-C reaches every process on it: the same as a stop.
    if (ending == Ending::GroupInterrupted && WINDOWS) continue;
    const std::string stopAt = ending == Ending::Stopped ? std::to_string(testing::signalNumber(stop))
                               : ending == Ending::GroupInterrupted ? "-2"
                               : ending == Ending::Killed           ? "9"
                                                                    : "";
    vantrel::testing::writeBytes(pids, "");
    const auto r = test::runDriver(
        {"--input=" + base + ".sof", "--output=" + base + ".flash", "--offset=0x100"},
        {"BM_FAKE_WORKER=1", "BM_FAKE_PIDS=" + pids,
         "BM_FAKE_STOP=" + (stopAt.empty() ? "" : ".rbf:2:" + stopAt),
         "BM_FAKE_SIZE=" + std::to_string(IMAGE_SIZE), "BM_FAKE_CHUNK=65536", "BM_FAKE_SLOW=15"});
    const int expected = ending == Ending::ByItself           ? 0
                         : ending == Ending::Stopped          ? testing::stoppedExitValue(stop)
                         : ending == Ending::GroupInterrupted ? testing::stoppedExitValue(Stop::Interrupt)
                         : WINDOWS                            ? 1 // TerminateProcess's status
                                                              : 128 + 9;
    EXPECT_EQ(r.exitCode, expected) << r.out << r.err;
    const std::vector<std::uint64_t> tool = test::loggedProcessIds(pids);
    ASSERT_EQ(tool.size(), 2u) << "the converter and its worker";
    if (ending == Ending::Killed) {
      // The converter dies with the run, before it has written the whole image. Its worker
      // is out of reach on Linux (README) and is ended here.
      EXPECT_TRUE(allEnd({tool[0]})) << "the converter outlived the killed run";
      EXPECT_LT(vantrel::testing::readBytes(base + ".rbf").size(), static_cast<std::size_t>(IMAGE_SIZE));
      vantrel::testing::killProcess(tool[1]);
    } else {
      // Both end with the run; once they are gone, the intermediate the run removed is
      // still gone: nobody wrote it after the run.
      EXPECT_TRUE(allEnd(tool)) << "a process the converter started outlived the run";
      EXPECT_FALSE(platform::fileExists(base + ".rbf")) << "written after the run ended";
    }
    platform::removeFile(base + ".rbf");
    platform::removeFile(base + ".flash");
  }
}

} // namespace
} // namespace vantrel::bitmorph
