// Tests of a real program built on the framework, run as a child: the exact bytes on its
// standard output (line separators untranslated, the parse-error line after the help),
// its standard error and its exit codes.
#include "AppTestSupport.h"

#include "platform/process.h"
#include "platform/time.h"

namespace vantrel::commandApplication {
namespace {

using test::maskConsoleStamps;
using test::nl;
using test::STANDARD_HELP;

struct ProbeRun {
  std::string out;
  std::string err;
  int exitValue = -1;
};

std::string drain(platform::ChildProcess &child, platform::ChildStream stream) {
  std::string text;
  char buffer[4096];
  std::string error;
  for (;;) {
    const std::int64_t n = child.read(stream, buffer, sizeof buffer, error);
    if (n <= 0) break;
    text.append(buffer, static_cast<std::size_t>(n));
  }
  return text;
}

ProbeRun runProbe(const std::vector<std::string> &args) {
  std::vector<std::string> command{CMDAPP_PROBE};
  command.insert(command.end(), args.begin(), args.end());
  std::string error;
  auto child = platform::ChildProcess::start(command, std::nullopt, error);
  ProbeRun run;
  if (!child) {
    ADD_FAILURE() << "could not start " << CMDAPP_PROBE << ": " << error;
    return run;
  }
  run.out = drain(*child, platform::ChildStream::Output);
  run.err = drain(*child, platform::ChildStream::Error);
  for (int i = 0; i < 30000 && child->status().state == platform::ChildStatus::State::Running; ++i)
    platform::sleepMillis(1);
  run.exitValue = child->status().exitValue();
  return run;
}

TEST(ProbeProcess, HelpExitsWithZeroAndExactBytes) {
  ProbeRun run = runProbe({"--help"});
  EXPECT_EQ(run.exitValue, 0);
  EXPECT_EQ(run.out, nl(STANDARD_HELP));
  EXPECT_EQ(run.err, "");
}

TEST(ProbeProcess, ParseErrorExitsWithOneAndItsLineFollowsTheHelp) {
  ProbeRun run = runProbe({"--log"});
  EXPECT_EQ(run.exitValue, 1);
  EXPECT_EQ(maskConsoleStamps(run.out),
            nl(std::string(STANDARD_HELP) +
               "<T> - (SEVERE) Exception parsing command line: no argument for: log\n"));
}

TEST(ProbeProcess, LogFileErrorExitsWithOneWithoutHelp) {
  const std::string bad = test::scratchFile("none") + "/x.log";
  ProbeRun run = runProbe({"--log=" + bad});
  EXPECT_EQ(run.exitValue, 1);
  EXPECT_EQ(maskConsoleStamps(run.out), nl("<T> - (SEVERE) Unable to open the logfile: " + bad + "\n"));
}

TEST(ProbeProcess, FrameworkOutputKeepsItsPlaceAmongOtherOutput) {
  ProbeRun run = runProbe({"word"});
  EXPECT_EQ(run.exitValue, 0);
  EXPECT_EQ(maskConsoleStamps(run.out), nl("plain line\n"
                                           "<T> - (INFO) tool: started\n"
                                           "last plain line\n"
                                           "<T> - (WARNING) tool: pending\n"));
}

} // namespace
} // namespace vantrel::commandApplication
