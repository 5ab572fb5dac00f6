// Tests of CmdApp logging: console lines and log-file records, thresholds set by quiet and
// verbose, flushing of the one- and two-argument forms, and console-sink reuse.
#include "AppTestSupport.h"

#include "platform/file.h"

namespace vantrel::commandApplication {
namespace {

using test::maskConsoleStamps;
using test::maskFileStamps;
using test::nl;

class CmdAppLogging : public test::CapturedStreams {
protected:
  std::unique_ptr<CmdApp> start(const std::vector<std::string> &args) {
    auto app = CmdApp::getInstance("bitmorph", args);
    EXPECT_NE(app, nullptr);
    return app;
  }
  static void logAll(const CmdApp &app) {
    app.severe("s");
    app.warning("w");
    app.info("i");
    app.config("c");
    app.fine("f");
    app.finer("fr");
    app.finest("fst");
  }
};

TEST_F(CmdAppLogging, DefaultThresholdIsInfo) {
  auto app = start({});
  ASSERT_NE(app, nullptr);
  logAll(*app);
  EXPECT_EQ(maskConsoleStamps(out_.str()), nl("<T> - (SEVERE) bitmorph: s\n"
                                              "<T> - (WARNING) bitmorph: w\n"
                                              "<T> - (INFO) bitmorph: i\n"));
}

TEST_F(CmdAppLogging, OneArgumentFormsFlushAtOnce) {
  auto app = start({});
  ASSERT_NE(app, nullptr);
  app->severe("Error creating intermediate files, exiting");
  EXPECT_EQ(maskConsoleStamps(out_.str()),
            nl("<T> - (SEVERE) bitmorph: Error creating intermediate files, exiting\n"));
}

TEST_F(CmdAppLogging, TwoArgumentFormsWaitForAFlush) {
  auto app = start({});
  ASSERT_NE(app, nullptr);
  app->info(app->getDefaultLogger(), "later");
  EXPECT_EQ(out_.str(), "");
  app->info("now");
  // The flush of the one-argument call carries the earlier record along, in order.
  EXPECT_EQ(maskConsoleStamps(out_.str()), nl("<T> - (INFO) bitmorph: later\n<T> - (INFO) bitmorph: now\n"));
}

TEST_F(CmdAppLogging, QuietKeepsOnlySevere) {
  const std::string log = test::scratchFile("quiet.log");
  auto app = start({"--quiet", "--log", log});
  ASSERT_NE(app, nullptr);
  logAll(*app);
  EXPECT_EQ(maskConsoleStamps(out_.str()), nl("<T> - (SEVERE) bitmorph: s\n"));
  EXPECT_EQ(maskFileStamps(test::readText(log)),
            nl("<T> com.vantrel.commandApplication.CmdApp severe\nSEVERE: bitmorph: s\n"));
}

TEST_F(CmdAppLogging, VerboseAndQuietInEitherOrderGiveFiner) {
  for (const std::vector<std::string> &args :
       {std::vector<std::string>{"-v", "-q"}, std::vector<std::string>{"-q", "-v"},
        std::vector<std::string>{"-vq"}, std::vector<std::string>{"--quiet", "--verbose"}}) {
    out_.str("");
    auto app = start(args);
    ASSERT_NE(app, nullptr);
    logAll(*app);
    EXPECT_EQ(maskConsoleStamps(out_.str()), nl("<T> - (SEVERE) bitmorph: s\n"
                                                "<T> - (WARNING) bitmorph: w\n"
                                                "<T> - (INFO) bitmorph: i\n"
                                                "<T> - (CONFIG) bitmorph: c\n"
                                                "<T> - (FINE) bitmorph: f\n"
                                                "<T> - (FINER) bitmorph: fr\n"))
        << args[0];
  }
}

TEST_F(CmdAppLogging, LogFileReceivesTwoLineRecordsAtOnce) {
  const std::string log = test::scratchFile("records.log");
  ASSERT_TRUE(platform::writeWholeFile(log, "old content that must go\n", 25));
  auto app = start({"--log=" + log});
  ASSERT_NE(app, nullptr);
  EXPECT_EQ(test::readText(log), ""); // replaced, not appended to
  app->info("Starting");
  // On disk as soon as the call returns.
  EXPECT_EQ(maskFileStamps(test::readText(log)),
            nl("<T> com.vantrel.commandApplication.CmdApp info\nINFO: bitmorph: Starting\n"));
  app->fine("not at the default threshold");
  app->warning("careful");
  EXPECT_EQ(maskFileStamps(test::readText(log)),
            nl("<T> com.vantrel.commandApplication.CmdApp info\nINFO: bitmorph: Starting\n"
               "<T> com.vantrel.commandApplication.CmdApp warning\nWARNING: bitmorph: careful\n"));
}

TEST_F(CmdAppLogging, VerboseLogFileGetsFineRecords) {
  const std::string log = test::scratchFile("verbose.log");
  auto app = start({"-vl", log});
  ASSERT_NE(app, nullptr);
  app->fine("Starting");
  app->finest("never");
  EXPECT_EQ(maskFileStamps(test::readText(log)),
            nl("<T> com.vantrel.commandApplication.CmdApp fine\nFINE: bitmorph: Starting\n"));
  EXPECT_EQ(maskConsoleStamps(out_.str()), nl("<T> - (FINE) bitmorph: Starting\n"));
}

TEST_F(CmdAppLogging, LogFileIsDetachedWhenTheApplicationEnds) {
  const std::string log = test::scratchFile("detach.log");
  {
    auto app = start({"--log", log});
    ASSERT_NE(app, nullptr);
    app->info("one");
  }
  auto next = start({});
  ASSERT_NE(next, nullptr);
  next->info("two");
  EXPECT_EQ(maskFileStamps(test::readText(log)),
            nl("<T> com.vantrel.commandApplication.CmdApp info\nINFO: bitmorph: one\n"));
}

TEST_F(CmdAppLogging, SecondApplicationOfTheSameNameDoesNotDoubleLines) {
  auto first = start({});
  auto second = start({});
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  second->info("once");
  EXPECT_EQ(maskConsoleStamps(out_.str()), nl("<T> - (INFO) bitmorph: once\n"));
  EXPECT_EQ(first->getDefaultLogger().getSinks().size(), 1u);
}

TEST_F(CmdAppLogging, NewApplicationResetsThresholds) {
  auto verbose = start({"-v"});
  ASSERT_NE(verbose, nullptr);
  auto plain = start({});
  ASSERT_NE(plain, nullptr);
  plain->fine("hidden");
  EXPECT_EQ(out_.str(), "");
}

TEST_F(CmdAppLogging, UniqueLoggersAreNamedAndUnconfigured) {
  Logger &logger = CmdApp::getUniqueLogger("flash");
  EXPECT_EQ(logger.getName(), "com.vantrel.commandApplication.flash");
  EXPECT_EQ(&logger, &CmdApp::getUniqueLogger("flash"));
  EXPECT_TRUE(logger.getSinks().empty());
  auto app = start({});
  ASSERT_NE(app, nullptr);
  app->info(logger, "goes nowhere");
  EXPECT_EQ(outAfterExitFlush(), "");
}

} // namespace
} // namespace vantrel::commandApplication
