// Runs at the same time in one folder: sixteen with distinct outputs and mixed flows (two
// pairs of them sharing a base name) each write exactly what they write alone; eight on one
// output take turns on the base name's lock and each writes a whole file; and the leftovers
// of a killed run go with the next run, while a live writer's temporary file stays.
#include "RunTestSupport.h"
#include "SofBuilder.h"

#include "bitmorph/Messages.h"
#include "bitmorph/RunPlan.h"
#include "platform/file.h"
#include "platform/fileLock.h"
#include "support/Waiting.h"

#include <gtest/gtest.h>

#include <regex>

namespace vantrel::bitmorph {
namespace {

using test::BackgroundRun;
using test::FolderContents;

/// One run: its output and options.
struct RunConfig {
  std::string output;
  std::vector<std::string> options;
};

class ConcurrentRuns : public ::testing::Test {
protected:
  void SetUp() override {
    folder_ = test::userFolder(scratch_);
    vantrel::testing::writeBytes(path("Design A.sof"), test::SofBuilder(true).partName("KX2R").text());
    vantrel::testing::writeBytes(path("Design B.sof"), test::SofBuilder(false).partName("KX3R").text());
    pids_ = test::inFolder(test::hostPath(scratch_.path().string()), "pids.txt");
  }
  std::string path(const std::string &name) const { return test::inFolder(folder_, name); }

  std::vector<std::string> args(const RunConfig &config, const std::string &design) const {
    std::vector<std::string> all = {"--input=" + path(design), "--output=" + path(config.output)};
    all.insert(all.end(), config.options.begin(), config.options.end());
    return all;
  }

  test::ScratchDir scratch_;
  std::string folder_;
  std::string pids_;
};

TEST_F(ConcurrentRuns, SixteenRunsWithDistinctOutputsWriteWhatTheyWriteAlone) {
  std::vector<RunConfig> configs;
  for (int i = 0; i < 16; ++i) {
    const std::string n = std::to_string(i);
    switch (i % 4) {
    case 0: // parallel; runs 4 and 8 share the base name "Pair"
      configs.push_back({i == 4   ? "Pair.flash"
                         : i == 8 ? "Pair.bin"
                                  : "Out " + n + ".flash",
                         {"--offset=" + std::to_string(0x100 * i)}});
      break;
    case 1: // serial; runs 5 and 9 share the base name "Twin"
      configs.push_back({i == 5 ? "Twin.flash" : i == 9 ? "Twin.bin" : "Out " + n + ".flash", {"--sprom"}});
      break;
    case 2:
      configs.push_back({"Out " + n + ".flash", {"--activeparallel", "--offset=0", "--compress"}});
      break;
    default:
      configs.push_back({"Kld " + n + ".flash",
                         {"--kld", "--offset=0x20000", "--optionbit=0x18000", "--programmingmode=FPP"}});
      break;
    }
  }
  const auto design = [](std::size_t i) { return i % 2 == 0 ? "Design A.sof" : "Design B.sof"; };
  const std::vector<std::string> environment = {"BM_FAKE_SIZE=131072", "BM_FAKE_CHUNK=16384",
                                                "BM_FAKE_SLOW=2"};

  // Each run alone first: its results are the reference.
  const FolderContents before = test::folderContents(folder_);
  FolderContents alone;
  for (std::size_t i = 0; i < configs.size(); ++i) {
    const auto r = test::runDriver(args(configs[i], design(i)), environment);
    ASSERT_EQ(r.exitCode, 0) << configs[i].output << "\n" << r.out << r.err;
    // Its results, and the options file that a compressing flow leaves.
    for (const auto &[name, content] : test::folderContents(folder_)) {
      if (before.count(name) == 0) alone[name] = content;
    }
    test::restoreFolder(folder_, before);
  }

  std::vector<std::unique_ptr<BackgroundRun>> runs;
  for (std::size_t i = 0; i < configs.size(); ++i)
    runs.push_back(std::make_unique<BackgroundRun>(args(configs[i], design(i)), environment));
  for (std::size_t i = 0; i < runs.size(); ++i) {
    const auto r = runs[i]->finish();
    EXPECT_EQ(r.exitCode, 0) << configs[i].output << "\n" << r.out << r.err;
  }
  // Exactly the designs and every run's results, each as that run writes it alone: no
  // intermediate, temporary or lock file of any run is left.
  FolderContents expected = before;
  expected.insert(alone.begin(), alone.end());
  const FolderContents after = test::folderContents(folder_);
  for (const auto &[name, content] : after) {
    const auto want = expected.find(name);
    if (want == expected.end()) {
      ADD_FAILURE() << name << " left behind";
    } else {
      EXPECT_TRUE(content == want->second) << name << " differs from a run alone";
    }
  }
  EXPECT_EQ(after.size(), expected.size());
}

TEST_F(ConcurrentRuns, EightRunsOnOneOutputTakeTurnsAndEachWritesAWholeFile) {
  const RunConfig shared{"Shared.flash", {}};
  const std::vector<std::string> environment = {"BM_FAKE_SIZE=65536", "BM_FAKE_PIDS=" + pids_};
  const FolderContents before = test::folderContents(folder_);
  // Eight runs that place the design at different offsets, so each writes its own file.
  std::vector<std::vector<std::string>> runArgs;
  std::vector<std::string> alone;
  for (int i = 0; i < 8; ++i) {
    std::vector<std::string> a = args(shared, "Design A.sof");
    a.push_back("--offset=" + std::to_string(0x1000 * i));
    const auto r = test::runDriver(a, environment);
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    alone.push_back(vantrel::testing::readBytes(path(shared.output)));
    test::restoreFolder(folder_, before);
    runArgs.push_back(a);
  }
  vantrel::testing::writeBytes(pids_, "");

  // The lock of the base name is held here until every run says that it waits.
  auto held = platform::FileLock::acquire(RunFiles::forBase(path("Shared")).lock);
  ASSERT_NE(held, nullptr);
  std::vector<std::unique_ptr<BackgroundRun>> runs;
  for (const auto &a : runArgs)
    runs.push_back(std::make_unique<BackgroundRun>(a, environment));
  const std::string waiting = messages::RUN_WAITING;
  // Eight runs start beside each other: a wait twice as generous as one event's.
  for (auto &run : runs)
    vantrel::testing::waitUntil([&] { return run->outputSoFar().find(waiting) != std::string::npos; },
                                2 * vantrel::testing::EVENT_LIMIT_MILLIS);
  EXPECT_TRUE(test::loggedProcessIds(pids_).empty()) << "a converter ran while another run held the lock";
  held.reset();

  for (auto &run : runs) {
    const auto r = run->finish();
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    int waits = 0;
    for (const auto &line : r.lines)
      waits += line == "(INFO) bitmorph: " + waiting + RunFiles::forBase(path("Shared")).lock;
    EXPECT_EQ(waits, 1) << r.out;
  }
  EXPECT_EQ(test::loggedProcessIds(pids_).size(), 8u);
  // One whole file, the one the last run wrote; nothing else is left.
  const FolderContents after = test::folderContents(folder_);
  EXPECT_EQ(after.size(), before.size() + 1);
  ASSERT_EQ(after.count(shared.output), 1u);
  EXPECT_NE(std::find(alone.begin(), alone.end(), after.at(shared.output)), alone.end()) << "a mixed file";
}

TEST_F(ConcurrentRuns, RunsOfOtherBaseNamesTakeTurnsOnTheOptionsFileTheyShare) {
  const std::vector<std::string> environment = {"BM_FAKE_PIDS=" + pids_};
  vantrel::testing::writeBytes(pids_, "");
  // Held here, the lock of the options file's base name keeps both runs waiting: neither
  // writes the file or starts its converter meanwhile.
  const std::string lock = RunFiles::forBase(path("Shared")).lock;
  auto held = platform::FileLock::acquire(lock);
  ASSERT_NE(held, nullptr);
  std::vector<std::unique_ptr<BackgroundRun>> runs;
  for (const char *output : {"One.flash", "Two.flash"}) {
    runs.push_back(std::make_unique<BackgroundRun>(
        args({output, {"--sprom", "--options=" + path("Shared.opt")}}, "Design A.sof"), environment));
  }
  for (auto &run : runs) {
    EXPECT_TRUE(vantrel::testing::waitUntil(
        [&] { return run->outputSoFar().find(messages::RUN_WAITING + lock) != std::string::npos; }));
  }
  EXPECT_TRUE(test::loggedProcessIds(pids_).empty()) << "a converter ran while the options file was locked";
  EXPECT_FALSE(platform::fileExists(path("Shared.opt")));
  held.reset();
  for (auto &run : runs) {
    const auto r = run->finish();
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
  }
  EXPECT_EQ(test::loggedProcessIds(pids_).size(), 4u); // two converter runs each
}

TEST_F(ConcurrentRuns, ALiveWritersTemporaryFileStaysAndAKilledRunsLeftoversGo) {
  const RunConfig config{"Top.flash", {"--offset=0"}};
  const std::vector<std::string> environment = {"BM_FAKE_SIZE=65536"};
  vantrel::testing::writeBytes(path("Top.flash"), "earlier result\n");
  const FolderContents before = test::folderContents(folder_);
  const std::regex temporary(R"(Top\.flash\.[0-9]+-[0-9]+\.part)");

  // A writer of the same output in this process, alive while the run goes on.
  platform::OutputFile live;
  ASSERT_TRUE(live.open(path("Top.flash"), platform::OutputFile::Mode::Atomic));
  auto r = test::runDriver(args(config, "Design A.sof"), environment);
  ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
  const std::string written = vantrel::testing::readBytes(path("Top.flash"));
  int liveParts = 0;
  for (const auto &[name, content] : test::folderContents(folder_))
    liveParts += std::regex_match(name, temporary);
  EXPECT_EQ(liveParts, 1) << "the live temporary file was removed";
  live.close();

  // A run killed while it writes the flash file leaves its temporary file behind ...
  test::restoreFolder(folder_, before);
  r = test::runDriver(args(config, "Design A.sof"), {"BM_FAKE_SIZE=65536", "BM_STOP_AT=.flash:1:9"}, true, "",
                      BM_STOPPING_DRIVER_PATH);
  EXPECT_NE(r.exitCode, 0);
  int leftovers = 0;
  for (const auto &[name, content] : test::folderContents(folder_))
    leftovers += std::regex_match(name, temporary);
  EXPECT_EQ(leftovers, 1) << "the killed run left no temporary file";
  EXPECT_EQ(vantrel::testing::readBytes(path("Top.flash")), "earlier result\n");

  // ... which the next run writing that output removes, with everything else of the first.
  r = test::runDriver(args(config, "Design A.sof"), environment);
  ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
  const FolderContents after = test::folderContents(folder_);
  for (const auto &[name, content] : after)
    EXPECT_TRUE(before.count(name) != 0) << name << " left behind";
  EXPECT_EQ(after.size(), before.size());
  EXPECT_TRUE(after.at("Top.flash") == written);
}

} // namespace
} // namespace vantrel::bitmorph
