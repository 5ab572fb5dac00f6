// Shared fixture and helpers of the command-application tests: captured standard streams,
// time stamps replaced by a marker, scratch files.
#include "AppTestSupport.h"

#include "commandOptions/StandardStreams.h"
#include "platform/file.h"

#include <regex>

namespace vantrel::commandApplication::test {

std::string maskConsoleStamps(const std::string &text) {
  static const std::regex stamp(
      "(^|\n)(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) [1-9][0-9]?, [0-9]{4} "
      "(1[0-2]|[1-9]):[0-5][0-9]:[0-5][0-9] [AP]M - ");
  return std::regex_replace(text, stamp, "$1<T> - ");
}

std::string maskFileStamps(const std::string &text) {
  static const std::regex stamp(
      "(^|\n)(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) [0-3][0-9], [0-9]{4} "
      "(1[0-2]|[1-9]):[0-5][0-9]:[0-5][0-9] [AP]M ");
  return std::regex_replace(text, stamp, "$1<T> ");
}

std::string nl(const std::string &text) {
  std::string out;
  for (char c : text) {
    if (c == '\n')
      out += platform::lineSeparator();
    else
      out += c;
  }
  return out;
}

std::string scratchFile(const std::string &suffix) {
  const ::testing::TestInfo *info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string dir = ::testing::TempDir();
  // Named after the test only: a death test's child re-runs the test body and must come
  // to the same name as its parent.
  dir += "bm_cmdapp_";
  dir += info ? info->name() : "x";
  dir += "_";
  dir += suffix;
  platform::removeFile(dir);
  return dir;
}

std::string readText(const std::string &path) {
  auto bytes = platform::readWholeFile(path);
  if (!bytes) return "<missing>";
  return std::string(bytes->begin(), bytes->end());
}

void CapturedStreams::SetUp() {
  commandOptions::setStandardOutput(&out_);
  commandOptions::setStandardError(&err_);
}

void CapturedStreams::TearDown() {
  Logger::flushAllAtExit();
  commandOptions::setStandardOutput(nullptr);
  commandOptions::setStandardError(nullptr);
}

std::string CapturedStreams::outAfterExitFlush() {
  Logger::flushAllAtExit();
  return out_.str();
}

} // namespace vantrel::commandApplication::test
