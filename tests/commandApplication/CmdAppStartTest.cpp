// Tests of CmdApp start-up: help, parse errors and log-file failures, with the reason for
// declining, the exact console output and the order of help text and error line.
#include "AppTestSupport.h"

#include "commandApplication/AppMessages.h"
#include "commandOptions/DriverHelpText.h"
#include "commandOptions/DriverTable.h"
#include "platform/file.h"

namespace vantrel::commandApplication {
namespace {

using test::maskConsoleStamps;
using test::nl;
using test::STANDARD_HELP;

class CmdAppStart : public test::CapturedStreams {
protected:
  std::unique_ptr<CmdApp> startDriver(const std::vector<std::string> &args, DeclineReason &reason) {
    const commandOptions::Options opts = commandOptions::test::driverOptions();
    return CmdApp::getInstance("bitmorph", args, &opts, std::string(commandOptions::test::DRIVER_HEADER),
                               std::string(), &reason);
  }
};

TEST_F(CmdAppStart, HelpPrintsTheConversionToolHelpExactly) {
  DeclineReason reason = DeclineReason::None;
  EXPECT_EQ(startDriver({"--help"}, reason), nullptr);
  EXPECT_EQ(reason, DeclineReason::Help);
  EXPECT_EQ(out_.str(), nl(commandOptions::test::DRIVER_HELP));
  EXPECT_EQ(outAfterExitFlush(), nl(commandOptions::test::DRIVER_HELP)); // nothing logged
}

TEST_F(CmdAppStart, ShortAndBurstHelp) {
  for (const char *arg : {"-h", "-help"}) {
    DeclineReason reason = DeclineReason::None;
    EXPECT_EQ(CmdApp::getInstance("tool", {arg}, nullptr, std::nullopt, std::nullopt, &reason), nullptr);
    EXPECT_EQ(reason, DeclineReason::Help) << arg;
  }
  EXPECT_EQ(out_.str(), nl(std::string(STANDARD_HELP) + STANDARD_HELP));
}

TEST_F(CmdAppStart, HelpWinsOverABadNumberAndOpensNoLogFile) {
  const std::string log = test::scratchFile("help.log");
  DeclineReason reason = DeclineReason::None;
  EXPECT_EQ(startDriver({"--offset=zz", "--help", "--log", log}, reason), nullptr);
  EXPECT_EQ(reason, DeclineReason::Help);
  EXPECT_EQ(out_.str(), nl(commandOptions::test::DRIVER_HELP));
  EXPECT_EQ(err_.str(), "");
  EXPECT_FALSE(platform::fileExists(log));
}

TEST_F(CmdAppStart, ParseErrorLineComesAfterTheHelpAtExit) {
  DeclineReason reason = DeclineReason::None;
  EXPECT_EQ(startDriver({"--input"}, reason), nullptr);
  EXPECT_EQ(reason, DeclineReason::ParseError);
  // Only the help so far: the error line waits in the console sink.
  EXPECT_EQ(out_.str(), nl(commandOptions::test::DRIVER_HELP));
  EXPECT_EQ(maskConsoleStamps(outAfterExitFlush()),
            nl(std::string(commandOptions::test::DRIVER_HELP) +
               "<T> - (SEVERE) Exception parsing command line: no argument for: input\n"));
}

TEST_F(CmdAppStart, ParseErrorForOffsetWithDashValue) {
  DeclineReason reason = DeclineReason::None;
  EXPECT_EQ(CmdApp::getInstance("tool", {"--log=-x"}, nullptr, std::nullopt, std::nullopt, &reason), nullptr);
  EXPECT_EQ(reason, DeclineReason::ParseError);
  EXPECT_EQ(maskConsoleStamps(outAfterExitFlush()),
            nl(std::string(STANDARD_HELP) +
               "<T> - (SEVERE) Exception parsing command line: no argument for: log\n"));
}

TEST_F(CmdAppStart, LogFileThatCannotBeOpened) {
  const std::string bad = test::scratchFile("no-such-folder") + "/x.log";
  DeclineReason reason = DeclineReason::None;
  EXPECT_EQ(CmdApp::getInstance("tool", {"--log", bad}, nullptr, std::nullopt, std::nullopt, &reason),
            nullptr);
  EXPECT_EQ(reason, DeclineReason::LogFileError);
  EXPECT_EQ(out_.str(), ""); // no help text
  EXPECT_EQ(maskConsoleStamps(outAfterExitFlush()),
            nl("<T> - (SEVERE) Unable to open the logfile: " + bad + "\n"));
}

TEST_F(CmdAppStart, EmptyLogFileName) {
  DeclineReason reason = DeclineReason::None;
  EXPECT_EQ(CmdApp::getInstance("tool", {"--log="}, nullptr, std::nullopt, std::nullopt, &reason), nullptr);
  EXPECT_EQ(reason, DeclineReason::LogFileError);
  EXPECT_EQ(maskConsoleStamps(outAfterExitFlush()), nl("<T> - (SEVERE) Unable to open the logfile: \n"));
}

TEST_F(CmdAppStart, SuccessfulStartReportsNone) {
  DeclineReason reason = DeclineReason::Help;
  auto app = startDriver({"--input=a.sof", "extra"}, reason);
  ASSERT_NE(app, nullptr);
  EXPECT_EQ(reason, DeclineReason::None);
  EXPECT_EQ(app->getName(), "bitmorph");
  EXPECT_EQ(app->getRemainingArgs(), (std::vector<std::string>{"extra"}));
  EXPECT_EQ(outAfterExitFlush(), "");
}

TEST_F(CmdAppStart, ShortFactoriesWork) {
  auto plain = CmdApp::getInstance("tool", {"word"});
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(plain->getRemainingArgs(), (std::vector<std::string>{"word"}));
  commandOptions::Options opts;
  opts.addOption("input", "i", true, "in");
  auto withTable = CmdApp::getInstance("tool", {"-i", "a"}, &opts);
  ASSERT_NE(withTable, nullptr);
  EXPECT_EQ(withTable->getEntryValue("input"), "a");
  EXPECT_EQ(CmdApp::getInstance("tool", {"-h"}, &opts), nullptr);
  // The caller's table is not changed; the application's copy has the standard options.
  EXPECT_FALSE(opts.hasOption("help"));
  EXPECT_TRUE(withTable->getOptions().hasOption("help"));
}

TEST_F(CmdAppStart, UsagePrintsTheHelpOnRequest) {
  auto app = CmdApp::getInstance("tool", {});
  ASSERT_NE(app, nullptr);
  app->usage();
  EXPECT_EQ(out_.str(), nl(STANDARD_HELP));
}

TEST_F(CmdAppStart, EmptyToolNameCannotPrintHelp) {
  EXPECT_THROW(CmdApp::getInstance("", {"--help"}), std::invalid_argument);
  EXPECT_EQ(out_.str(), "");
}

} // namespace
} // namespace vantrel::commandApplication
