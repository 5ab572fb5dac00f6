// Runs that meet a fault part-way, in every flow, with and without --save: a stop by SIGINT,
// SIGTERM or SIGHUP (console events under Windows) inside the converter's slow writing or
// the driver's own, a tool that crashes or exits with an error status part-way, an earlier
// run's file of a name the flow writes, another program rewriting a file the flow does not
// write. Afterwards every file holds what it held before or what a whole run writes (with
// --save a stopped run keeps only what was complete; a failed one what the flow wrote so
// far), the earlier results are unchanged (or, after a stop, replaced whole, the loader's
// pair together), a file the flow does not write is untouched, no tool is left, no tool ran
// after a failed one, and the run ends by the stop or as a failed step.
#include "RunTestSupport.h"
#include "SofBuilder.h"

#include "bitmorph/Bitmorph.h"
#include "bitmorph/Messages.h"
#include "platform/process.h"
#include "support/ProcessControl.h"

#include <gtest/gtest.h>

#include <set>

namespace vantrel::bitmorph {
namespace {

using test::FolderContents;
using testing::Stop;

constexpr bool WINDOWS = BM_TEST_WINDOWS != 0;
const std::string DESIGN = "Top Design";
const std::string OTHER_PROGRAMS = "another program's file\n";

enum class Fault {
  ToolStop,   ///< the test converter stops the run after a chunk of an output
  DriverStop, ///< the driver stops itself before the n-th write of one of its files
  Crash,      ///< the tool writing the output crashes after a chunk of it
  Exit        ///< the tool writing the output exits with an error status after a chunk of it
};

struct FaultPoint {
  Fault fault;
  const char *suffix;             ///< the output whose writing meets the fault
  int nth;                        ///< chunk or write
  Stop stop;                      ///< the signal of a stop
  bool save;                      ///< --save
  std::set<std::string> complete; ///< suffixes of the flow's files complete at that point
  const char *failure = nullptr;  ///< a crash: the flow's own line after the cause
  std::string earlier = "";       ///< an earlier run's file of this suffix lies there
  std::string other = "";         ///< another program writes the file of this suffix meanwhile
  int status = 0;                 ///< an exit: its status
  std::size_t calls = 0;          ///< an exit: the tool runs there were, the failed one last
};

struct FlowCase {
  const char *name;
  std::vector<std::string> options;
  std::vector<FaultPoint> points;
};

void PrintTo(const FlowCase &flow, std::ostream *out) {
  *out << flow.name;
}

std::string describe(const FaultPoint &p) {
  const char *kinds[] = {"tool stop", "driver stop", "crash", "exit"};
  return std::string(kinds[static_cast<int>(p.fault)]) + " " + p.suffix + " #" + std::to_string(p.nth) +
         (p.fault >= Fault::Crash ? "" : " signal " + std::to_string(testing::signalNumber(p.stop))) +
         (p.fault == Fault::Exit ? " status " + std::to_string(p.status) : "") + (p.save ? " --save" : "") +
         (p.earlier.empty() ? "" : " earlier " + p.earlier) + (p.other.empty() ? "" : " other " + p.other);
}

/// What is wrong with the folder after a run that met the fault (empty: nothing). A stopped
/// run leaves new files only with --save and only complete ones; a failed run leaves what
/// the flow wrote so far, complete.
std::vector<std::string> problems(const FolderContents &before, const FolderContents &after,
                                  const FolderContents &whole, const FaultPoint &point, bool loader,
                                  bool stopped) {
  std::vector<std::string> found;
  const auto wholeHas = [&](const std::string &name, const std::string &content) {
    const auto it = whole.find(name);
    return it != whole.end() && it->second == content;
  };
  std::set<std::string> replaced;
  for (const auto &[name, content] : before) {
    const auto now = after.find(name);
    if (name == DESIGN + ".flash" || (loader && name == DESIGN + ".map.flash")) {
      // Replaced whole when a stop came after the run put it in place, else not at all.
      if (now == after.end() || (now->second != content && !(stopped && wholeHas(name, now->second))))
        found.push_back(name + ": half a result, replaced by a failed run, or gone");
      else if (now->second != content)
        replaced.insert(name);
    } else if (name == DESIGN + point.earlier) {
      // Rewritten by this run: gone unless complete.
      if (now != after.end() && now->second != content && !wholeHas(name, now->second))
        found.push_back(name + ": half written");
    } else if (now == after.end() || now->second != content) {
      found.push_back(name + ": gone or changed");
    }
  }
  if (!point.other.empty()) {
    const auto it = after.find(DESIGN + point.other);
    if (it == after.end() || it->second != OTHER_PROGRAMS)
      found.push_back(DESIGN + point.other + ": touched");
  }
  // The loader's two results belong together: both earlier or both new.
  if (loader && replaced.size() == 1) found.push_back(*replaced.begin() + ": replaced without its partner");
  std::set<std::string> left;
  for (const auto &[name, content] : after) {
    if (name == DESIGN + point.other) continue;
    if (before.count(name) != 0 && name != DESIGN + point.earlier) continue;
    if (before.count(name) != 0 && content == before.at(name)) continue;
    left.insert(name.substr(DESIGN.size()));
    if (stopped && !point.save) found.push_back(name + ": left by a stopped run without --save");
    if (!wholeHas(name, content)) found.push_back(name + ": incomplete");
  }
  // What was complete stays with --save, and after a failed flow in any case.
  if (point.save || !stopped) {
    for (const auto &suffix : point.complete)
      if (left.count(suffix) == 0) found.push_back(DESIGN + suffix + ": complete but gone");
  }
  return found;
}

class FaultyRun : public ::testing::TestWithParam<FlowCase> {
protected:
  void SetUp() override {
    if (!testing::stopDeliverable(Stop::Interrupt)) GTEST_SKIP() << "no stop can be delivered here";
    folder_ = test::userFolder(scratch_);
    base_ = test::inFolder(folder_, DESIGN);
    vantrel::testing::writeBytes(base_ + ".sof", test::SofBuilder(true).partName("KX2R").text());
    vantrel::testing::writeBytes(base_ + ".flash", "earlier result\n");
    vantrel::testing::writeBytes(base_ + ".map.flash", "earlier option bits\n");
    vantrel::testing::writeBytes(test::inFolder(folder_, "notes.txt"), "a file of the user's\n");
    pids_ = test::inFolder(test::hostPath(scratch_.path().string()), "pids.txt");
  }

  std::vector<std::string> args(bool save, bool debug) const {
    std::vector<std::string> all = {"--input=" + base_ + ".sof", "--output=" + base_ + ".flash"};
    const auto &options = GetParam().options;
    all.insert(all.end(), options.begin(), options.end());
    if (save) all.push_back("--save");
    if (debug) all.push_back("--debug");
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

TEST_P(FaultyRun, LeavesNothingHalfWrittenAndNoFileItDidNotWrite) {
  const bool loader = std::string(GetParam().name) == "loader";
  const FolderContents start = test::folderContents(folder_);
  // The whole run once, with --save: every file of the flow as it is when complete.
  const auto whole = test::runDriver(args(true, false), environment());
  ASSERT_EQ(whole.exitCode, 0) << whole.out << whole.err;
  const FolderContents complete = test::folderContents(folder_);
  test::restoreFolder(folder_, start);

  for (const FaultPoint &point : GetParam().points) {
    SCOPED_TRACE(describe(point));
    FolderContents before = start;
    if (!point.earlier.empty()) before[DESIGN + point.earlier] = "an earlier run's file, complete\n";
    test::restoreFolder(folder_, before);
    vantrel::testing::writeBytes(pids_, "");
    // Under Windows the stops are console events shared with the run's console; where only
    // Ctrl-C can be delivered (Wine), it stops the run at every point.
    const Stop stop = testing::stopDeliverable(point.stop) ? point.stop : Stop::Interrupt;
    const std::string at = std::string(point.suffix) + ":" + std::to_string(point.nth) + ":" +
                           std::to_string(point.fault == Fault::Crash ? 11 : testing::signalNumber(stop));
    std::vector<std::string> env = environment();
    const char *variable[] = {"BM_FAKE_STOP=", "BM_STOP_AT=", "BM_FAKE_CRASH=", "BM_FAKE_EXIT="};
    env.push_back(variable[static_cast<int>(point.fault)] +
                  (point.fault == Fault::Exit
                       ? point.suffix + (":" + std::to_string(point.nth)) + ":" + std::to_string(point.status)
                       : at));
    if (!point.other.empty()) env.push_back("BM_FAKE_OTHER=" + point.other);
    const bool crash = point.fault == Fault::Crash;
    const bool exit = point.fault == Fault::Exit;
    const auto r = test::runDriver(args(point.save, crash), env, true, "",
                                   point.fault == Fault::DriverStop ? BM_STOPPING_DRIVER_PATH : "");

    for (const std::uint64_t pid : test::loggedProcessIds(pids_))
      EXPECT_FALSE(platform::processExists(pid)) << "tool " << pid << " outlived the run";
    const FolderContents after = test::folderContents(folder_);
    if (crash || exit) {
      // The cause first, with the tool's last words even without --debug, then the flow's
      // failure; a converter's error status leaves its result missing (code 3), as the
      // design has it, without claiming that a file was not found.
      const std::string tool =
          std::string(point.suffix) == ".flash" ? messages::OBJECT_COPY : messages::CONVERTER;
      const std::string named = tool + (loader && WINDOWS ? ".exe" : "");
      const std::string cause =
          named + (exit ? " exited with status " + std::to_string(point.status) + ": fake tool: giving up"
                   : WINDOWS ? " ended with status 0xC0000005: fake tool: crashing"
                             : " ended by signal 11 (SIGSEGV): fake tool: crashing");
      const bool missing = point.failure == std::string(messages::RETRIEVE_FAILED);
      EXPECT_EQ(r.exitCode, missing ? Bitmorph::INPUT_ERROR : Bitmorph::EXT_APP_ERROR) << r.out << r.err;
      const std::string out = r.out;
      const auto causeAt = out.find("(SEVERE) bitmorph: " + cause);
      EXPECT_NE(causeAt, std::string::npos) << out;
      EXPECT_NE(out.find(point.failure, causeAt == std::string::npos ? 0 : causeAt), std::string::npos)
          << out;
      EXPECT_EQ(out.find(messages::READ_ERROR), std::string::npos) << out;
      if (point.calls != 0) {
        EXPECT_EQ(test::loggedProcessIds(pids_).size(), point.calls) << out;
      }
      for (const auto &problem : problems(before, after, complete, point, loader, false))
        ADD_FAILURE() << problem;
    } else if (WINDOWS && point.fault == Fault::ToolStop) {
      // Under Windows the converter receives the Ctrl-C itself and may end before this
      // run's handler has run: its 0xC000013A is then a failed step, and the run fails, or
      // ends by the stop once the flow has failed. Either way nothing half written stays.
      const bool stopped = r.exitCode == testing::stoppedExitValue(stop);
      EXPECT_TRUE(stopped || r.exitCode == Bitmorph::EXT_APP_ERROR) << r.exitCode << "\n" << r.out << r.err;
      if (r.exitCode == Bitmorph::EXT_APP_ERROR) {
        EXPECT_NE(r.out.find(" ended with status 0xC000013A"), std::string::npos) << r.out;
      }
      const auto asStopped = problems(before, after, complete, point, loader, true);
      const auto asFailed = problems(before, after, complete, point, loader, false);
      if (!asStopped.empty() && !asFailed.empty()) {
        for (const auto &problem : stopped ? asStopped : asFailed)
          ADD_FAILURE() << problem;
      }
    } else {
      EXPECT_EQ(r.exitCode, testing::stoppedExitValue(stop)) << r.out << r.err;
      for (const auto &problem : problems(before, after, complete, point, loader, true))
        ADD_FAILURE() << problem;
    }
    test::restoreFolder(folder_, start);
  }
}

const char *const LAUNCH_FAILED = messages::LAUNCH_FAILED;
const char *const POF_FAILED = messages::KLD_POF_FAILED;
const char *const NO_RESULT = messages::RETRIEVE_FAILED;
const char *const NO_HEX = messages::KLD_NO_HEXFILE;
const char *const NO_SREC = messages::KLD_SREC_FAILED;
// The loader's files complete after its first converter run, and after its second.
const std::set<std::string> POF_DONE = {".cof", ".cof.opt", ".pof", ".map"};
const std::set<std::string> HEX_DONE = {".cof", ".cof.opt", ".pof", ".map", ".hexout"};
constexpr auto EXIT = Fault::Exit;
constexpr auto ANY = Stop::Interrupt; // no stop: a tool's exit

// Each flow meets each fault before, inside and after the tools' and the driver's writing.
// The complete lists name the flow's files complete at that point (and still there: after
// an exit with an error status the clean-up of a run without --save runs).
const FlowCase FLOWS[] = {
    {"parallel_compressed",
     {"--offset=0x100", "--compress"},
     {
         {Fault::ToolStop, ".rbf", 1, Stop::Interrupt, true, {".opt"}},
         {Fault::ToolStop, ".rbf", 4, Stop::Terminate, false, {".opt"}, nullptr, "", ".pof"},
         {Fault::ToolStop, ".rbf", 8, Stop::HangUp, true, {".opt"}},
         {Fault::DriverStop, ".opt", 1, Stop::Terminate, true, {}},
         {Fault::DriverStop, ".flash", 1, Stop::Interrupt, false, {}},
         {Fault::DriverStop, ".flash", 2, Stop::HangUp, true, {".opt", ".rbf"}},
         {Fault::Crash, ".rbf", 5, Stop::Interrupt, false, {".opt"}, LAUNCH_FAILED, ".rbf"},
         {EXIT, ".rbf", 2, ANY, false, {".opt"}, NO_RESULT, ".rbf", "", 1, 1},
         // A wrapper script whose converter crashed exits with 128 + 11.
         {EXIT, ".rbf", 1, ANY, true, {".opt"}, NO_RESULT, "", "", 139, 1},
     }},
    {"serial",
     {"--sprom"},
     {
         {Fault::ToolStop, ".pof", 1, Stop::Interrupt, false, {".opt"}},
         // A rerun stopped while the converter rewrites an earlier run's ".rpd" in place.
         {Fault::ToolStop, ".rpd", 2, Stop::Terminate, true, {".opt", ".pof", ".map"}, nullptr, ".rpd"},
         {Fault::DriverStop, ".flash", 1, Stop::HangUp, true, {".opt", ".pof", ".map", ".rpd"}},
         {Fault::Crash, ".pof", 1, Stop::Interrupt, false, {".opt"}, LAUNCH_FAILED},
         {Fault::Crash, ".rpd", 2, Stop::Interrupt, true, {".opt", ".pof", ".map"}, LAUNCH_FAILED, ".rpd"},
         // A failed first run ends the flow: the second would convert half a file.
         {EXIT, ".pof", 1, ANY, false, {}, NO_RESULT, ".pof", "", 1, 1},
         {EXIT, ".rpd", 3, ANY, true, {".opt", ".pof", ".map"}, NO_RESULT, "", "", 1, 2},
     }},
    {"active_parallel",
     {"--activeparallel", "--offset=0"},
     {
         {Fault::DriverStop, ".cof", 1, Stop::Interrupt, true, {}},
         {Fault::ToolStop, ".rbf", 3, Stop::HangUp, true, {".cof"}},
         {Fault::Crash, ".rbf", 2, Stop::Interrupt, false, {".cof"}, LAUNCH_FAILED},
         {EXIT, ".rbf", 2, ANY, false, {}, NO_RESULT, "", "", 1, 1},
     }},
    {"loader",
     {"--kld", "--offset=0x20000", "--optionbit=0x18000", "--programmingmode=FPP", "--compress"},
     {
         {Fault::ToolStop, ".hexout", 2, Stop::Terminate, true, POF_DONE, nullptr, ".hexout"},
         {Fault::ToolStop, ".pof", 1, Stop::Interrupt, false, {".cof", ".cof.opt"}},
         {Fault::DriverStop, ".map.flash", 1, Stop::HangUp, true, HEX_DONE},
         {Fault::Crash, ".pof", 1, Stop::Interrupt, false, {".cof", ".cof.opt"}, POF_FAILED},
         {Fault::Crash, ".hexout", 2, Stop::Interrupt, true, POF_DONE, NO_HEX},
         {Fault::Crash, ".flash", 2, Stop::Interrupt, false, HEX_DONE, NO_SREC},
         {EXIT, ".pof", 1, ANY, false, {".cof", ".cof.opt"}, POF_FAILED, "", "", 1, 1},
         {EXIT, ".hexout", 2, ANY, true, POF_DONE, NO_HEX, "", "", 1, 2},
         {EXIT, ".flash", 2, ANY, false, HEX_DONE, NO_SREC, "", "", 1, 3},
     }},
};

INSTANTIATE_TEST_SUITE_P(EveryFlow, FaultyRun, ::testing::ValuesIn(FLOWS),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace vantrel::bitmorph
