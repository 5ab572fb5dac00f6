// Tests of the logging model: loggers by name, logger and sink thresholds, parent sinks,
// the console and file line formats, buffering of the console sink.
#include "AppTestSupport.h"

#include "commandApplication/CmdLogFormatter.h"
#include "commandApplication/DateText.h"
#include "commandApplication/FileLogFormatter.h"
#include "commandApplication/FileSink.h"
#include "platform/file.h"

namespace vantrel::commandApplication {
namespace {

using test::nl;

// 2026-12-06 07:27:29 UTC.
constexpr std::int64_t SAMPLE_MILLIS = 1796542049000;

LogRecord record(Level level, const std::string &text) {
  LogRecord r;
  r.level = level;
  r.message = text;
  r.millis = SAMPLE_MILLIS;
  r.loggerName = "bitmorph";
  return r;
}

// A sink that keeps what it is given, for threshold tests.
class ListSink : public LogSink {
public:
  ListSink() : LogSink(std::make_shared<CmdLogFormatter>()) {}
  void flush() override { ++flushes; }
  void close() override {}
  std::vector<std::string> lines;
  int flushes = 0;

protected:
  void write(const std::string &text) override { lines.push_back(text); }
};

class LoggingModel : public test::CapturedStreams {};

TEST_F(LoggingModel, LevelNames) {
  EXPECT_EQ(levelName(Level::SEVERE), "SEVERE");
  EXPECT_EQ(levelName(Level::WARNING), "WARNING");
  EXPECT_EQ(levelName(Level::INFO), "INFO");
  EXPECT_EQ(levelName(Level::CONFIG), "CONFIG");
  EXPECT_EQ(levelName(Level::FINE), "FINE");
  EXPECT_EQ(levelName(Level::FINER), "FINER");
  EXPECT_EQ(levelName(Level::FINEST), "FINEST");
  EXPECT_TRUE(passes(Level::SEVERE, Level::INFO));
  EXPECT_TRUE(passes(Level::INFO, Level::INFO));
  EXPECT_FALSE(passes(Level::CONFIG, Level::INFO));
  EXPECT_TRUE(passes(Level::FINEST, Level::ALL));
  EXPECT_FALSE(passes(Level::SEVERE, Level::OFF));
}

TEST_F(LoggingModel, SameNameSameLogger) {
  Logger &a = Logger::getLogger("model.same");
  Logger &b = Logger::getLogger("model.same");
  EXPECT_EQ(&a, &b);
  EXPECT_NE(&a, &Logger::getLogger("model.other"));
  EXPECT_EQ(a.getName(), "model.same");
}

TEST_F(LoggingModel, RecordMustPassLoggerAndSinkThresholds) {
  Logger &logger = Logger::getLogger("model.thresholds");
  auto sink = std::make_shared<ListSink>();
  logger.addSink(sink);
  logger.setLevel(Level::FINE);
  sink->setLevel(Level::INFO);
  logger.log(Level::FINE, "below the sink");
  logger.log(Level::INFO, "passes both");
  logger.setLevel(Level::WARNING);
  logger.log(Level::INFO, "below the logger");
  ASSERT_EQ(sink->lines.size(), 1u);
  EXPECT_NE(sink->lines[0].find("(INFO) passes both"), std::string::npos);
  logger.flush();
  EXPECT_EQ(sink->flushes, 1);
  logger.removeSink(sink);
  logger.log(Level::SEVERE, "after removal");
  EXPECT_EQ(sink->lines.size(), 1u);
}

TEST_F(LoggingModel, ParentSinksUnlessDetached) {
  auto rootSink = std::make_shared<ListSink>();
  Logger::getRootLogger().addSink(rootSink);
  Logger &child = Logger::getLogger("model.child");
  child.log(Level::INFO, "to the root");
  child.setUseParentSinks(false);
  child.log(Level::INFO, "not to the root");
  Logger::getRootLogger().removeSink(rootSink);
  ASSERT_EQ(rootSink->lines.size(), 1u);
  EXPECT_NE(rootSink->lines[0].find("to the root"), std::string::npos);
}

TEST_F(LoggingModel, ConsoleLineFormat) {
  CmdLogFormatter formatter;
  const std::string stamp = consoleDateTime(localTimeOf(SAMPLE_MILLIS));
  EXPECT_EQ(formatter.format(record(Level::SEVERE, "bitmorph: text")),
            stamp + nl(" - (SEVERE) bitmorph: text\n"));
  LogRecord withTrace = record(Level::WARNING, "w");
  withTrace.thrown = "trace line\n";
  EXPECT_EQ(formatter.format(withTrace), stamp + nl(" - (WARNING) w\n") + "trace line\n");
}

TEST_F(LoggingModel, ConsoleLineInUtcIsTheDocumentedExample) {
  // The test program runs with TZ=UTC; where the OS ignores it, the local form is
  // checked by ConsoleLineFormat above.
  const platform::LocalTime local = localTimeOf(SAMPLE_MILLIS);
  if (local.hour != 7 || local.day != 6) GTEST_SKIP() << "local time zone is not UTC";
  CmdLogFormatter formatter;
  EXPECT_EQ(formatter.format(record(Level::SEVERE, "bitmorph: Error creating intermediate files, exiting")),
            nl("Dec 6, 2026 7:27:29 AM - (SEVERE) bitmorph: Error creating intermediate files, exiting\n"));
  FileLogFormatter file;
  LogRecord fine = record(Level::FINE, "bitmorph: Starting");
  fine.sourceClass = "com.vantrel.commandApplication.CmdApp";
  fine.sourceMethod = "fine";
  EXPECT_EQ(
      file.format(fine),
      nl("Dec 06, 2026 7:27:29 AM com.vantrel.commandApplication.CmdApp fine\nFINE: bitmorph: Starting\n"));
}

TEST_F(LoggingModel, FileRecordSourceFallsBackToTheLoggerName) {
  FileLogFormatter formatter;
  const std::string stamp = fileDateTime(localTimeOf(SAMPLE_MILLIS));
  EXPECT_EQ(formatter.format(record(Level::INFO, "x")), stamp + nl(" bitmorph\nINFO: x\n"));
  LogRecord classOnly = record(Level::INFO, "x");
  classOnly.sourceClass = "Cls";
  EXPECT_EQ(formatter.format(classOnly), stamp + nl(" Cls\nINFO: x\n"));
}

TEST_F(LoggingModel, ConsoleSinkBuffersUntilFlush) {
  ConsoleSink sink(std::make_shared<CmdLogFormatter>());
  sink.publish(record(Level::INFO, "held"));
  EXPECT_EQ(out_.str(), "");
  EXPECT_NE(sink.pending().find("held"), std::string::npos);
  sink.flush();
  EXPECT_NE(out_.str().find("(INFO) held"), std::string::npos);
  EXPECT_EQ(sink.pending(), "");
}

TEST_F(LoggingModel, FileSinkRefusesUnopenableNames) {
  FileSink sink(std::make_shared<FileLogFormatter>());
  EXPECT_FALSE(sink.open(""));
  EXPECT_FALSE(sink.open(test::scratchFile("missing") + "/dir/x.log"));
}

TEST_F(LoggingModel, FileSinkReportsALostRecordOnce) {
  const std::string path = test::scratchFile("lost.log");
  FileSink sink(std::make_shared<FileLogFormatter>());
  ASSERT_TRUE(sink.open(path));

  struct FailingWrites : platform::IoFaultHook {
    bool allowWrite(const std::string &, std::size_t) override { return false; }
  } hook;
  platform::setIoFaultHook(&hook);
  sink.publish(record(Level::INFO, "one"));
  sink.publish(record(Level::INFO, "two"));
  platform::setIoFaultHook(nullptr);

  EXPECT_FALSE(sink.good());
  EXPECT_EQ(err_.str(), nl("Unable to write the logfile: " + path + "\n"));
  sink.publish(record(Level::INFO, "three"));
  EXPECT_NE(test::readText(path).find("INFO: three"), std::string::npos);
}

TEST_F(LoggingModel, ClosedFileSinkDropsRecords) {
  const std::string path = test::scratchFile("closed.log");
  FileSink sink(std::make_shared<FileLogFormatter>());
  ASSERT_TRUE(sink.open(path));
  sink.close();
  sink.publish(record(Level::SEVERE, "dropped"));
  EXPECT_EQ(test::readText(path), "");
}

} // namespace
} // namespace vantrel::commandApplication
