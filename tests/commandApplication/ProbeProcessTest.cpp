// Tests of a real program built on the framework, run as a child: the exact bytes on its
// standard output (line separators untranslated, the parse-error line after the help),
// its standard error and its exit codes.
#include "AppTestSupport.h"

#include "support/ChildRun.h"

namespace vantrel::commandApplication {
namespace {

using test::maskConsoleStamps;
using test::nl;
using test::STANDARD_HELP;

/// The probe run to its end with args.
testing::ChildRun runProbe(const std::vector<std::string> &args) {
  std::vector<std::string> command{CMDAPP_PROBE};
  command.insert(command.end(), args.begin(), args.end());
  testing::ChildRun run = testing::runChild(command);
  if (!run.started) ADD_FAILURE() << "could not start " << CMDAPP_PROBE << ": " << run.error;
  return run;
}

TEST(ProbeProcess, HelpExitsWithZeroAndExactBytes) {
  testing::ChildRun run = runProbe({"--help"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, nl(STANDARD_HELP));
  EXPECT_EQ(run.err, "");
}

TEST(ProbeProcess, ParseErrorExitsWithOneAndItsLineFollowsTheHelp) {
  testing::ChildRun run = runProbe({"--log"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(maskConsoleStamps(run.out),
            nl(std::string(STANDARD_HELP) +
               "<T> - (SEVERE) Exception parsing command line: no argument for: log\n"));
}

TEST(ProbeProcess, LogFileErrorExitsWithOneWithoutHelp) {
  const std::string bad = test::scratchFile("none") + "/x.log";
  testing::ChildRun run = runProbe({"--log=" + bad});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(maskConsoleStamps(run.out), nl("<T> - (SEVERE) Unable to open the logfile: " + bad + "\n"));
}

TEST(ProbeProcess, FrameworkOutputKeepsItsPlaceAmongOtherOutput) {
  testing::ChildRun run = runProbe({"word"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(maskConsoleStamps(run.out), nl("plain line\n"
                                           "<T> - (INFO) tool: started\n"
                                           "last plain line\n"
                                           "<T> - (WARNING) tool: pending\n"));
}

} // namespace
} // namespace vantrel::commandApplication
