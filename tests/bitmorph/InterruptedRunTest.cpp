// Runs stopped part-way: by SIGINT, SIGTERM or SIGHUP (console events under Windows) at
// chosen points of every flow, inside the converter's slow writing and inside the driver's
// own writing, with and without --save. Afterwards the folder holds what it held before plus,
// with --save, only intermediates that are complete; the earlier flash file is unchanged (or
// replaced whole); no child is left; the run ends with the status of the interruption.
#include "RunTestSupport.h"
#include "SofBuilder.h"

#include "platform/process.h"
#include "support/ProcessControl.h"

#include <gtest/gtest.h>

#include <set>

namespace vantrel::bitmorph {
namespace {

using test::FolderContents;
using testing::Stop;

const char *const DESIGN = "Top Design";

/// Where a run is stopped: in a tool's writing (the test converter stops its parent after a
/// chunk of an output) or in the driver's own writing (before the n-th write of a file).
struct StopPoint {
  const char *where;          ///< "tool" or "driver"
  const char *suffix;         ///< the output whose writing is stopped
  int nth;                    ///< chunk or write
  Stop stop;                  ///< the signal
  bool save;                  ///< --save
  std::set<std::string> kept; ///< suffixes of intermediates that were complete then (kept with --save)
};

struct FlowCase {
  const char *name;
  std::vector<std::string> options;
  std::vector<StopPoint> points;
};

void PrintTo(const FlowCase &flow, std::ostream *out) {
  *out << flow.name;
}

class InterruptedRun : public ::testing::TestWithParam<FlowCase> {
protected:
  void SetUp() override {
    if (!testing::stopDeliverable(Stop::Interrupt)) GTEST_SKIP() << "no stop can be delivered here";
    folder_ = test::userFolder(scratch_);
    base_ = test::inFolder(folder_, DESIGN);
    vantrel::testing::writeBytes(base_ + ".sof", test::SofBuilder(true).partName("KX2R").text());
    vantrel::testing::writeBytes(base_ + ".flash", "earlier result\n");
    vantrel::testing::writeBytes(test::inFolder(folder_, "notes.txt"), "a file of the user's\n");
    pids_ = test::inFolder(test::hostPath(scratch_.path().string()), "pids.txt");
  }

  std::vector<std::string> args(bool save) const {
    std::vector<std::string> all = {"--input=" + base_ + ".sof", "--output=" + base_ + ".flash"};
    const auto &options = GetParam().options;
    all.insert(all.end(), options.begin(), options.end());
    if (save) all.push_back("--save");
    return all;
  }

  /// A large image, written in place slowly by the test converter.
  std::vector<std::string> environment() const {
    return {"BM_FAKE_SIZE=524288", "BM_FAKE_CHUNK=65536", "BM_FAKE_SLOW=15", "BM_FAKE_PIDS=" + pids_};
  }

  test::ScratchDir scratch_;
  std::string folder_;
  std::string base_;
  std::string pids_;
};

std::string describe(const StopPoint &p) {
  return std::string(p.where) + " " + p.suffix + " #" + std::to_string(p.nth) + " signal " +
         std::to_string(testing::signalNumber(p.stop)) + (p.save ? " --save" : "");
}

TEST_P(InterruptedRun, LeavesOnlyWhatWasThereAndCompleteSavedIntermediates) {
  const FolderContents before = test::folderContents(folder_);
  // The whole run once, with --save: every intermediate and the flash file as they are
  // when complete.
  const auto whole = test::runDriver(args(true), environment());
  ASSERT_EQ(whole.exitCode, 0) << whole.out << whole.err;
  const FolderContents complete = test::folderContents(folder_);
  const std::string newFlash = complete.at(std::string(DESIGN) + ".flash");
  const bool loader = std::string(GetParam().name) == "loader";
  test::restoreFolder(folder_, before);

  for (const StopPoint &point : GetParam().points) {
    SCOPED_TRACE(describe(point));
    // Under Windows the stops are console events shared with the run's console; where only
    // Ctrl-C can be delivered (Wine), it stops the run at every point.
    const Stop stop = testing::stopDeliverable(point.stop) ? point.stop : Stop::Interrupt;
    vantrel::testing::writeBytes(pids_, "");
    std::vector<std::string> env = environment();
    const std::string stopAt = std::string(point.suffix) + ":" + std::to_string(point.nth) + ":" +
                               std::to_string(testing::signalNumber(stop));
    const bool byDriver = std::string(point.where) == "driver";
    env.push_back((byDriver ? "BM_STOP_AT=" : "BM_FAKE_STOP=") + stopAt);
    const auto r = test::runDriver(args(point.save), env, true, "", byDriver ? BM_STOPPING_DRIVER_PATH : "");

    EXPECT_EQ(r.exitCode, testing::stoppedExitValue(stop)) << r.out << r.err;
    for (const std::uint64_t pid : test::loggedProcessIds(pids_))
      EXPECT_FALSE(platform::processExists(pid)) << "tool " << pid << " outlived the run";

    const FolderContents after = test::folderContents(folder_);
    for (const auto &[name, content] : before) {
      const auto now = after.find(name);
      if (name == std::string(DESIGN) + ".flash") {
        // Replaced whole (the stop came after its rename) or not at all. The loader flow's
        // object-copy tool writes the result's name itself: what it wrote goes, and with it
        // the earlier file.
        if (now == after.end()) {
          EXPECT_TRUE(loader) << name << " is gone";
        } else if (now->second != content) {
          EXPECT_EQ(now->second, newFlash) << "half a flash file";
        }
        continue;
      }
      ASSERT_NE(now, after.end()) << name << " is gone";
      EXPECT_EQ(now->second, content) << name << " changed";
    }
    std::set<std::string> keptSuffixes;
    for (const auto &[name, content] : after) {
      if (before.count(name) != 0) continue;
      // Anything new is a complete intermediate that --save keeps.
      EXPECT_TRUE(point.save) << name << " left without --save";
      ASSERT_EQ(complete.count(name), 1u) << name << " is no file of a whole run";
      EXPECT_EQ(content, complete.at(name)) << name << " is incomplete";
      keptSuffixes.insert(name.substr(std::string(DESIGN).size()));
    }
    if (point.save) {
      for (const auto &suffix : point.kept)
        EXPECT_EQ(keptSuffixes.count(suffix), 1u) << DESIGN << suffix << " was complete but is gone";
    }
    test::restoreFolder(folder_, before);
  }
}

// Each signal stops each flow at points before, inside and after the tools' and the
// driver's writing. The kept lists name the intermediates complete at that point.
const FlowCase FLOWS[] = {
    {"parallel_compressed",
     {"--offset=0x100", "--compress"},
     {
         {"tool", ".rbf", 1, Stop::Interrupt, true, {".opt"}},
         {"tool", ".rbf", 4, Stop::Terminate, false, {}},
         {"tool", ".rbf", 8, Stop::HangUp, true, {".opt"}},
         {"driver", ".opt", 1, Stop::Terminate, true, {}},
         {"driver", ".flash", 1, Stop::Interrupt, false, {}},
         {"driver", ".flash", 2, Stop::HangUp, true, {".opt", ".rbf"}},
     }},
    {"serial",
     {"--sprom"},
     {
         {"tool", ".pof", 1, Stop::Interrupt, false, {}},
         {"tool", ".rpd", 2, Stop::Terminate, true, {".opt", ".pof", ".map"}},
         {"driver", ".flash", 1, Stop::HangUp, true, {".opt", ".pof", ".map", ".rpd"}},
     }},
    {"active_parallel",
     {"--activeparallel", "--offset=0"},
     {
         {"driver", ".cof", 1, Stop::Interrupt, true, {}},
         {"tool", ".rbf", 3, Stop::HangUp, true, {".cof"}},
     }},
    {"loader",
     {"--kld", "--offset=0x20000", "--optionbit=0x18000", "--programmingmode=FPP", "--compress"},
     {
         {"tool", ".hexout", 2, Stop::Terminate, true, {".cof", ".cof.opt", ".pof", ".map"}},
         {"tool", ".pof", 1, Stop::Interrupt, false, {}},
         {"driver", ".map.flash", 1, Stop::HangUp, true, {".cof", ".cof.opt", ".pof", ".map", ".hexout"}},
     }},
};

INSTANTIATE_TEST_SUITE_P(EveryFlow, InterruptedRun, ::testing::ValuesIn(FLOWS),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace vantrel::bitmorph
