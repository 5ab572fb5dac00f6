// The converter stand-in stopped while it writes its outputs (each under the temporary name
// output + ".partial~"): it removes its temporary files, leaves each earlier output as it was
// (or replaced whole), and ends by the stop, as the application does.
#include <gtest/gtest.h>

#include <map>

#include "GeneratedDesign.h"
#include "SofFile.h"
#include "TestSupport.h"
#include "platform/environment.h"
#include "platform/file.h"
#include "support/ChildRun.h"
#include "support/ProcessControl.h"

namespace vantrel::suite {
namespace {

using namespace testing;
using vantrel::testing::Stop;

/// The files of a folder by name, with their contents.
std::map<std::string, std::string> contents(const std::filesystem::path &folder) {
  std::map<std::string, std::string> files;
  for (const auto &entry : std::filesystem::directory_iterator(folder))
    files[pathUtf8(entry.path().filename())] = readFile(pathUtf8(entry.path()));
  return files;
}

class StoppedTool : public ::testing::TestWithParam<Stop> {};

TEST_P(StoppedTool, RemovesItsTemporaryFilesAndEndsByTheStop) {
  if (!vantrel::testing::stopDeliverable(GetParam()))
    GTEST_SKIP() << "this console event cannot be delivered here";
  ScratchDir dir;
  const auto folder = dir.path() / utf8Path("Tool's v1.2 é€ Ж 日本");
  std::filesystem::create_directory(folder);
  const std::string base = pathUtf8(folder / utf8Path("Top é"));
  SofDesign design;
  design.partName = "KX3R40F484";
  design.configData = generateConfigData(200000, 7);
  writeFile(base + ".sof", writeSof(design));
  // Two outputs, the image and its memory map, each with a temporary file of its own.
  writeFile(base + ".opt", std::string("MEMORY_MAP_FILE=ON\n"));
  const std::vector<std::string> command = {vantrel::testing::hostPath(SUITE_STOPPING_CONVERTER),
                                            "--no_banner",
                                            "--convert",
                                            "--option=" + base + ".opt",
                                            base + ".sof",
                                            base + ".rbf"};

  // The whole conversion once: its two outputs as they are when complete.
  const auto whole = vantrel::testing::runChild(command);
  ASSERT_EQ(whole.exitCode, 0) << whole.err;
  const auto complete = contents(folder);
  ASSERT_EQ(complete.count("Top é.map"), 1u);
  std::filesystem::remove(utf8Path(base + ".map"));
  writeFile(base + ".rbf", std::string("earlier image"));
  const auto before = contents(folder);

  // Stopped before its first and before its second temporary file is written.
  for (const int nth : {1, 2}) {
    SCOPED_TRACE("write " + std::to_string(nth));
    std::vector<std::string> environment = platform::environmentList();
    environment.push_back("BM_STOP_AT=.partial~:" + std::to_string(nth) + ":" +
                          std::to_string(vantrel::testing::signalNumber(GetParam())));
    const auto r = vantrel::testing::runChild(command, {{}, environment});
    EXPECT_EQ(r.exitCode, vantrel::testing::stoppedExitValue(GetParam())) << r.out << r.err;
    for (const auto &[name, content] : contents(folder)) {
      const auto old = before.find(name);
      // Every file is the one there before or a complete output: no temporary file.
      if (old == before.end() || old->second != content) {
        ASSERT_EQ(complete.count(name), 1u) << name << " left behind";
        EXPECT_TRUE(complete.at(name) == content) << name << " is incomplete";
      }
    }
    for (const auto &[name, content] : contents(folder))
      if (before.count(name) == 0) std::filesystem::remove(folder / utf8Path(name));
    writeFile(base + ".rbf", std::string("earlier image"));
  }
}

INSTANTIATE_TEST_SUITE_P(EachStop, StoppedTool,
                         ::testing::Values(Stop::Interrupt, Stop::Terminate, Stop::HangUp),
                         [](const auto &info) {
                           return "signal" + std::to_string(vantrel::testing::signalNumber(info.param));
                         });

} // namespace
} // namespace vantrel::suite
