// Tests of the process runner with real children: output collection in order, the two
// streams apart, failed starts, exit values, the line filter, standard input, destroy,
// the program search, environments and the run-to-end convenience.
#include "utilities/Launcher.h"

#include <gtest/gtest.h>

#include "ChildHelper.h"
#include "platform/environment.h"
#include "utilities/IllegalStateError.h"
#include "utilities/Utilities.h"
#include "utilities/UtilitiesMessages.h"

namespace vantrel::utilities {

/// Stages a watcher that keeps reporting the child running.
struct LauncherTestSeam {
  static void setRunning(Launcher &launcher, bool running) {
    std::lock_guard<std::mutex> lock(launcher.instanceLock);
    launcher.iAmRunning = running;
  }
};

} // namespace vantrel::utilities

using namespace vantrel::utilities;
using vantrel::testing::child;
namespace platform = vantrel::platform;

namespace {

/// The callers' loop: read while running, pause 1 ms, then one final read.
std::string pollToEnd(Launcher &launcher) {
  std::string all;
  while (launcher.running()) {
    all += launcher.read();
    Utilities::sleep(1);
  }
  all += launcher.read();
  return all;
}

void waitForEnd(Launcher &launcher) {
  while (launcher.running())
    Utilities::sleep(1);
}

/// Restores an environment variable when the test ends.
class VariableGuard {
public:
  explicit VariableGuard(std::string name)
      : name_(std::move(name)), old_(platform::getEnvironmentVariable(name_)) {}
  ~VariableGuard() { platform::setEnvironmentVariable(name_, old_); }

private:
  std::string name_;
  std::optional<std::string> old_;
};

} // namespace

TEST(LauncherOutput, ThreeLinesArriveExactlyOnceInOrder) {
  auto launcher = Launcher::getInstance(
      child({"out", "one\\n", "sleep", "30", "out", "two\\n", "sleep", "30", "out", "three\\n"}));
  ASSERT_TRUE(launcher->launch()) << launcher->launchError();
  EXPECT_EQ(pollToEnd(*launcher), "one\ntwo\nthree\n");
  EXPECT_EQ(launcher->exitValue(), 0);
}

TEST(LauncherOutput, OneReadAfterTheLoopReturnsEverything) {
  auto launcher = Launcher::getInstance(child({"lines", "L", "500"}));
  ASSERT_TRUE(launcher->launch());
  waitForEnd(*launcher);
  std::string expected;
  for (int i = 0; i < 500; ++i)
    expected += 'L' + std::to_string(i) + '\n';
  EXPECT_EQ(launcher->read(), expected);
}

TEST(LauncherOutput, SecondReadWithoutNewOutputIsEmpty) {
  auto launcher = Launcher::getInstance(child({"out", "once\\n"}));
  ASSERT_TRUE(launcher->launch());
  waitForEnd(*launcher);
  EXPECT_EQ(launcher->read(), "once\n");
  EXPECT_EQ(launcher->read(), "");
}

TEST(LauncherOutput, StandardErrorIsKeptApart) {
  auto launcher = Launcher::getInstance(child({"err", "problem\\n", "sleep", "30", "err", "more\\n"}));
  ASSERT_TRUE(launcher->launch());
  std::string out;
  while (launcher->running()) {
    out += launcher->read();
    Utilities::sleep(1);
  }
  out += launcher->read();
  EXPECT_EQ(out, "");
  EXPECT_EQ(launcher->readStdErr(), "problem\nmore\n");
  EXPECT_EQ(launcher->readStdErr(), "");
}

TEST(LauncherOutput, BothStreamsCollectedTogether) {
  auto launcher =
      Launcher::getInstance(child({"out", "o1\\n", "err", "e1\\n", "out", "o2\\n", "err", "e2\\n"}));
  ASSERT_TRUE(launcher->launch());
  waitForEnd(*launcher);
  EXPECT_EQ(launcher->read(), "o1\no2\n");
  EXPECT_EQ(launcher->readStdErr(), "e1\ne2\n");
}

TEST(LauncherOutput, BytesPassUnchangedIncludingCarriageReturns) {
  auto launcher = Launcher::getInstance(child({"out", "a\\r\\nb\\r\\n\\x01\\xff\\x80\\r", "err", "x\\r\\n"}));
  ASSERT_TRUE(launcher->launch());
  waitForEnd(*launcher);
  EXPECT_EQ(launcher->read(), std::string("a\r\nb\r\n\x01\xff\x80\r"));
  EXPECT_EQ(launcher->readStdErr(), "x\r\n");
}

namespace {

/// Checks text against the child's bulk pattern.
void expectPattern(const std::string &got, std::size_t total) {
  ASSERT_EQ(got.size(), total);
  for (std::size_t i = 0; i < total; ++i)
    ASSERT_EQ(static_cast<unsigned char>(got[i]), (i * 31 + (i >> 8)) & 0xFF) << "at byte " << i;
}

} // namespace

TEST(LauncherOutput, LargeOutputBeyondPipeBufferArrivesWhole) {
  const std::size_t total = 300000;
  auto launcher = Launcher::getInstance(child({"bulk", std::to_string(total)}));
  ASSERT_TRUE(launcher->launch());
  expectPattern(pollToEnd(*launcher), total);
}

TEST(LauncherOutput, LargeOutputOnBothStreamsNeverStalls) {
  // The child fills one pipe and then the other; both are drained on every pass, so
  // neither write waits for ever.
  const std::size_t total = 200000;
  auto launcher = Launcher::getInstance(
      child({"bulkerr", std::to_string(total), "bulk", std::to_string(total), "bulkerr", "10"}));
  ASSERT_TRUE(launcher->launch());
  expectPattern(pollToEnd(*launcher), total);
  const std::string err = launcher->readStdErr();
  expectPattern(err.substr(0, total), total);
  expectPattern(err.substr(total), 10);
}

TEST(LauncherStart, MissingProgramFailsWithoutWatcher) {
  auto launcher = Launcher::getInstance({std::string(vantrel::testing::CHILD_PATH) + "-missing", "x"});
  EXPECT_FALSE(launcher->launch());
  EXPECT_FALSE(launcher->running());
  EXPECT_EQ(launcher->read(), "");
  EXPECT_EQ(launcher->readStdErr(), "");
  EXPECT_EQ(launcher->readLine(), std::nullopt);
  EXPECT_EQ(launcher->exitValue(), -1);
  EXPECT_FALSE(launcher->write("x\n"));
  EXPECT_NE(launcher->launchError().find("Cannot run program"), std::string::npos) << launcher->launchError();
  EXPECT_NO_THROW(launcher->destroy());
}

TEST(LauncherStart, MissingProgramOnPathFails) {
  auto launcher = Launcher::getInstance({"bm-no-such-program-anywhere"});
  EXPECT_FALSE(launcher->launch());
  EXPECT_FALSE(launcher->running());
  EXPECT_EQ(launcher->exitValue(), -1);
}

TEST(LauncherStart, EmptyCommandFails) {
  EXPECT_FALSE(Launcher::getInstance(std::vector<std::string>{})->launch());
  EXPECT_FALSE(Launcher::getInstance(std::string("   "))->launch());
  EXPECT_FALSE(Launcher::getInstance(std::string(" leading-blank-gives-empty-program"))->launch());
}

TEST(LauncherStart, RunningIsTrueAsSoonAsLaunchReturns) {
  auto launcher = Launcher::getInstance(child({"sleep", "300"}));
  ASSERT_TRUE(launcher->launch());
  EXPECT_TRUE(launcher->running());
  waitForEnd(*launcher);
  EXPECT_FALSE(launcher->running());
}

TEST(LauncherStart, SecondLaunchIsRefused) {
  auto launcher = Launcher::getInstance(child({"out", "x\\n"}));
  ASSERT_TRUE(launcher->launch());
  EXPECT_FALSE(launcher->launch());
  EXPECT_EQ(pollToEnd(*launcher), "x\n");
}

TEST(LauncherStart, ProgramWithoutFolderIsFoundOnPath) {
  VariableGuard guard("PATH");
  const std::string old = platform::getEnvironmentVariable("PATH").value_or("");
  ASSERT_TRUE(platform::setEnvironmentVariable("PATH", std::string(vantrel::testing::CHILD_DIR) +
                                                           vantrel::testing::PATH_LIST_SEPARATOR + old));
  auto launcher = Launcher::getInstance({vantrel::testing::CHILD_NAME, "out", "found\\n"});
  ASSERT_TRUE(launcher->launch()) << launcher->launchError();
  EXPECT_EQ(pollToEnd(*launcher), "found\n");
}

TEST(LauncherStart, ProgramPathWithoutSuffixIsFound) {
  // On Windows the ".exe" suffix is added; elsewhere the file carries no suffix.
  const std::string path = std::string(vantrel::testing::CHILD_DIR) + vantrel::testing::DIR_SEPARATOR +
                           vantrel::testing::CHILD_NAME;
  auto launcher = Launcher::getInstance({path, "out", "suffix\\n"});
  ASSERT_TRUE(launcher->launch()) << launcher->launchError();
  EXPECT_EQ(pollToEnd(*launcher), "suffix\n");
}

TEST(LauncherStart, ArgumentsReachTheChildExactly) {
  const std::vector<std::string> tricky = {
      "plain", "two words", "",  "quote\"inside", "tail\\", "back\\\\slash\\\"q", "\ttab",
      "\"\"",  "a\\\\\\",   "  "};
  std::vector<std::string> command = child({"args"});
  command.insert(command.end(), tricky.begin(), tricky.end());
  auto launcher = Launcher::getInstance(command);
  ASSERT_TRUE(launcher->launch());
  std::string expected;
  for (const std::string &argument : tricky)
    expected += "[" + argument + "]\n";
  EXPECT_EQ(pollToEnd(*launcher), expected);
}

TEST(LauncherStart, SingleStringIsSplitAtEveryBlank) {
  auto launcher = Launcher::getInstance(std::string(vantrel::testing::CHILD_PATH) + " args a  \"b c\"  ");
  ASSERT_TRUE(launcher->launch());
  EXPECT_EQ(pollToEnd(*launcher), "[a]\n[]\n[\"b]\n[c\"]\n");
}

TEST(LauncherEnvironment, ListedEnvironmentIsTheWholeEnvironment) {
  VariableGuard guard("BM_PARENT_ONLY");
  ASSERT_TRUE(platform::setEnvironmentVariable("BM_PARENT_ONLY", std::string("parent")));
  auto launcher = Launcher::getInstance(child({"env", "BM_LISTED", "env", "BM_PARENT_ONLY"}),
                                        std::vector<std::string>{"BM_LISTED=42", "OTHER=x"});
  ASSERT_TRUE(launcher->launch()) << launcher->launchError();
  EXPECT_EQ(pollToEnd(*launcher), "42\n<unset>\n");
}

TEST(LauncherEnvironment, AbsentEnvironmentIsInherited) {
  VariableGuard guard("BM_PARENT_ONLY");
  ASSERT_TRUE(platform::setEnvironmentVariable("BM_PARENT_ONLY", std::string("from parent")));
  auto launcher = Launcher::getInstance(child({"env", "BM_PARENT_ONLY"}), std::nullopt);
  ASSERT_TRUE(launcher->launch());
  EXPECT_EQ(pollToEnd(*launcher), "from parent\n");
}

TEST(LauncherExit, ExitValueIsMinusOneUntilTheChildEnds) {
  auto launcher = Launcher::getInstance(child({"sleep", "300", "exit", "3"}));
  EXPECT_EQ(launcher->exitValue(), -1);
  EXPECT_EQ(launcher->childStatus().state, vantrel::platform::ChildStatus::State::Running);
  ASSERT_TRUE(launcher->launch());
  EXPECT_EQ(launcher->exitValue(), -1);
  waitForEnd(*launcher);
  EXPECT_EQ(launcher->exitValue(), 3);
  EXPECT_EQ(launcher->childStatus().state, vantrel::platform::ChildStatus::State::Exited);
  EXPECT_EQ(launcher->childStatus().code, 3);
}

TEST(LauncherExit, ZeroAndLargeExitValues) {
  auto zero = Launcher::getInstance(child({}));
  auto large = Launcher::getInstance(child({"exit", "200"}));
  ASSERT_TRUE(zero->launch());
  ASSERT_TRUE(large->launch());
  waitForEnd(*zero);
  waitForEnd(*large);
  EXPECT_EQ(zero->exitValue(), 0);
  EXPECT_EQ(large->exitValue(), 200);
}

TEST(LauncherFilter, KeepsOnlyLinesWithThePrefix) {
  auto launcher = Launcher::getInstance(child({"out", "Info: a\\nWarning: b\\nInfo: c\\n"}));
  launcher->setOutputFilter(std::string("Info"));
  ASSERT_TRUE(launcher->launch());
  EXPECT_EQ(pollToEnd(*launcher), "Info: a\nInfo: c\n");
}

TEST(LauncherFilter, LineWrittenInPiecesIsJudgedWhole) {
  auto launcher =
      Launcher::getInstance(child({"out", "Info: pa", "sleep", "150", "out", "rt\\nWarning: x\\nInfo: end"}));
  launcher->setOutputFilter(std::string("Info"));
  ASSERT_TRUE(launcher->launch());
  EXPECT_EQ(pollToEnd(*launcher), "Info: part\nInfo: end\n");
}

TEST(LauncherFilter, AppliesToStandardErrorAndCanBeCleared) {
  auto launcher = Launcher::getInstance(child({"err", "Info: e\\nnoise\\n", "out", "Info: o\\nnoise\\n"}));
  launcher->setOutputFilter(std::string("Info"));
  ASSERT_TRUE(launcher->launch());
  waitForEnd(*launcher);
  EXPECT_EQ(launcher->readStdErr(), "Info: e\n");
  launcher->setOutputFilter(std::nullopt);
  EXPECT_EQ(launcher->read(), "Info: o\nnoise\n");
}

TEST(LauncherLines, ReadLineTakesCompleteLinesOnly) {
  auto launcher =
      Launcher::getInstance(child({"out", "first\\r\\nsecond\\n\\nthird", "err", "\\nwarn\\r\\n"}));
  ASSERT_TRUE(launcher->launch());
  waitForEnd(*launcher);
  EXPECT_EQ(launcher->readLine(), std::optional<std::string>("first"));
  EXPECT_EQ(launcher->readLine(), std::optional<std::string>("second"));
  EXPECT_EQ(launcher->readLine(), std::nullopt);
  EXPECT_EQ(launcher->read(), "third");
  EXPECT_EQ(launcher->readLineStdErr(), std::optional<std::string>("warn"));
  EXPECT_EQ(launcher->readLineStdErr(), std::nullopt);
}

TEST(LauncherInput, WrittenTextReachesTheChildAndInputStaysOpen) {
  auto launcher = Launcher::getInstance(child({"echo"}));
  ASSERT_TRUE(launcher->launch());
  ASSERT_TRUE(launcher->write("hello\n"));
  std::string seen;
  for (int i = 0; i < 5000 && seen.size() < 6; ++i) {
    seen += launcher->read();
    Utilities::sleep(1);
  }
  EXPECT_EQ(seen, "hello\n");
  // The child waits for the end of its input, which never comes: it is still running.
  Utilities::sleep(200);
  EXPECT_TRUE(launcher->running());
  EXPECT_EQ(launcher->read(), "");
  launcher->destroy();
  EXPECT_FALSE(launcher->running());
  EXPECT_EQ(launcher->read(), "");
}

TEST(LauncherInput, WriteToEndedChildFailsQuietly) {
  auto launcher = Launcher::getInstance(child({"exit", "0"}));
  ASSERT_TRUE(launcher->launch());
  waitForEnd(*launcher);
  // More than any pipe holds, so the write cannot just sit in a buffer.
  EXPECT_FALSE(launcher->write(std::string(1 << 20, 'x')));
  EXPECT_EQ(launcher->exitValue(), 0);
}

TEST(LauncherDestroy, EndsARunningChildAndDropsItsOutput) {
  auto launcher = Launcher::getInstance(child({"out", "before\\n", "sleep", "20000"}));
  ASSERT_TRUE(launcher->launch());
  EXPECT_TRUE(launcher->running());
  launcher->destroy();
  EXPECT_FALSE(launcher->running());
  EXPECT_EQ(launcher->read(), "");
  EXPECT_EQ(launcher->readStdErr(), "");
  EXPECT_EQ(launcher->exitValue(), -1);
}

TEST(LauncherDestroy, AfterTheChildEndedKeepsNothing) {
  auto launcher = Launcher::getInstance(child({"out", "x\\n"}));
  ASSERT_TRUE(launcher->launch());
  waitForEnd(*launcher);
  EXPECT_NO_THROW(launcher->destroy());
  EXPECT_EQ(launcher->read(), "");
}

TEST(LauncherDestroy, WatcherStillRunningAfterLimitIsIllegalState) {
  auto launcher = Launcher::getInstance(child({}));
  LauncherTestSeam::setRunning(*launcher, true);
  try {
    launcher->destroy();
    ADD_FAILURE() << "destroy() returned";
  } catch (const IllegalStateError &e) {
    EXPECT_STREQ(e.what(), STILL_RUNNING_AFTER_DESTROY);
    EXPECT_STREQ(e.what(), "INTERNAL ERROR: still running after destroy");
  }
  LauncherTestSeam::setRunning(*launcher, false);
}

TEST(LauncherDestroy, DroppingTheObjectEndsARunningChild) {
  auto launcher = Launcher::getInstance(child({"echo"}));
  ASSERT_TRUE(launcher->launch());
  launcher.reset(); // must neither hang nor leave the watcher behind
  SUCCEED();
}

TEST(LauncherText, ToStringJoinsTheCommandByBlanks) {
  EXPECT_EQ(Launcher::getInstance({"prexa_cpf", "--no_banner", "", "a b"})->toString(),
            "Launcher[commandLine=prexa_cpf --no_banner  a b]");
  EXPECT_EQ(Launcher::getInstance(std::string("prog  x"))->toString(), "Launcher[commandLine=prog  x]");
  EXPECT_EQ(Launcher::getInstance(std::vector<std::string>{})->toString(), "Launcher[commandLine=]");
}

TEST(LauncherRunCommand, ReturnsOutputOfSuccessfulRun) {
  EXPECT_EQ(Launcher::runCommand(child({"out", "hello\\n", "err", "ignored\\n"})),
            std::optional<std::string>("hello\n"));
}

TEST(LauncherRunCommand, NothingForFailedRunOrMissingProgram) {
  EXPECT_EQ(Launcher::runCommand(child({"out", "partial\\n", "exit", "2"})), std::nullopt);
  EXPECT_EQ(Launcher::runCommand({"bm-no-such-program-anywhere"}), std::nullopt);
}

TEST(LauncherRunCommand, StringFormSplitsAtBlanks) {
  EXPECT_EQ(Launcher::runCommand(std::string(vantrel::testing::CHILD_PATH) + " args x  y"),
            std::optional<std::string>("[x]\n[]\n[y]\n"));
}
