// Tests that records logged without a flush reach standard output at process exit, after
// the help text, also when the process ends through std::exit with the tool's exit code.
#include "AppTestSupport.h"

#include "commandOptions/StandardStreams.h"
#include "platform/file.h"

#include <cstdlib>
#include <fstream>

namespace vantrel::commandApplication {
namespace {

using test::maskConsoleStamps;
using test::nl;
using test::STANDARD_HELP;

// Runs in the child process of the death test: standard output goes to a file (the stream
// is never destroyed, so it is still there when the exit handlers run), the start-up
// declines, and the process ends through std::exit like the tool's entry point does.
[[noreturn]] void declineAndExit(const std::string &path, const std::vector<std::string> &args, int code) {
  auto *file = new std::ofstream(path, std::ios::binary);
  commandOptions::setStandardOutput(file);
  DeclineReason reason = DeclineReason::None;
  auto app = CmdApp::getInstance("tool", args, nullptr, std::nullopt, std::nullopt, &reason);
  (void)reason; // the exit code is the test's choice here; the reason is tested elsewhere
  std::exit(app ? 99 : code);
}

class ExitFlush : public ::testing::Test {
protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(ExitFlush, ParseErrorLineFollowsTheHelpWhenExitingWithOne) {
  const std::string path = test::scratchFile("exit1.out");
  EXPECT_EXIT(declineAndExit(path, {"--log"}, 1), ::testing::ExitedWithCode(1), "");
  EXPECT_EQ(maskConsoleStamps(test::readText(path)),
            nl(std::string(STANDARD_HELP) +
               "<T> - (SEVERE) Exception parsing command line: no argument for: log\n"));
}

TEST_F(ExitFlush, LogFileErrorLineAppearsAtExit) {
  const std::string path = test::scratchFile("exit2.out");
  const std::string bad = test::scratchFile("none") + "/x.log";
  EXPECT_EXIT(declineAndExit(path, {"--log", bad}, 1), ::testing::ExitedWithCode(1), "");
  EXPECT_EQ(maskConsoleStamps(test::readText(path)),
            nl("<T> - (SEVERE) Unable to open the logfile: " + bad + "\n"));
}

TEST_F(ExitFlush, HelpAloneExitsWithZero) {
  const std::string path = test::scratchFile("exit0.out");
  EXPECT_EXIT(declineAndExit(path, {"-h"}, 0), ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(test::readText(path), nl(STANDARD_HELP));
}

TEST_F(ExitFlush, TwoArgumentRecordsAreFlushedAtExit) {
  const std::string path = test::scratchFile("exit3.out");
  EXPECT_EXIT(
      {
        auto *file = new std::ofstream(path, std::ios::binary);
        commandOptions::setStandardOutput(file);
        auto app = CmdApp::getInstance("tool", {});
        if (app) app->warning(app->getDefaultLogger(), "unflushed");
        std::exit(7);
      },
      ::testing::ExitedWithCode(7), "");
  EXPECT_EQ(maskConsoleStamps(test::readText(path)), nl("<T> - (WARNING) tool: unflushed\n"));
}

} // namespace
} // namespace vantrel::commandApplication
