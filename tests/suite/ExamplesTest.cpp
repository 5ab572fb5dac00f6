// The checked-in example designs: each matches what sofgen makes from designs.txt, and
// together they cover the families the examples are meant to show.
#include <gtest/gtest.h>

#include <sstream>

#include "DeviceFamily.h"
#include "SofFile.h"
#include "TestSupport.h"

namespace vantrel::suite {
namespace {

using namespace testing;

struct ExampleLine {
  std::string file, part, order, size, seed;
};

std::vector<ExampleLine> exampleTable(const std::string &folder) {
  std::istringstream in(readFile(folder + "/designs.txt"));
  std::vector<ExampleLine> lines;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    ExampleLine e;
    fields >> e.file >> e.part >> e.order >> e.size >> e.seed;
    lines.push_back(e);
  }
  return lines;
}

TEST(Examples, MatchWhatSofgenMakes) {
  const std::string folder = SUITE_EXAMPLES_DIR; // an absolute path, read before moving away
  const std::vector<ExampleLine> table = exampleTable(folder);
  ASSERT_GE(table.size(), 3u);
  ScratchDir dir;
  bool scattered = false, boot = false, noSerial = false;
  for (const ExampleLine &e : table) {
    const ToolRun run =
        runTool(runSofgen, {"--part=" + e.part, "--output=" + e.file, "--byte-order=" + e.order,
                            "--size=" + e.size, "--seed=" + e.seed});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string checkedIn = readFile(folder + "/" + e.file);
    EXPECT_EQ(readFile(e.file), checkedIn) << e.file << " differs from designs.txt: run regenerate_examples";
    EXPECT_LT(checkedIn.size(), 8192u) << e.file;
    auto sof = parseSof(checkedIn);
    ASSERT_TRUE(sof.ok()) << e.file << ": " << sof.error();
    const DeviceFamily *family = findFamily(sof.value().partName);
    ASSERT_NE(family, nullptr) << e.file;
    scattered |= family->layout == LengthLayout::Scattered;
    boot |= family->bootArea;
    noSerial |= !family->serialAllowed;
  }
  EXPECT_TRUE(scattered);
  EXPECT_TRUE(boot);
  EXPECT_TRUE(noSerial);
}

} // namespace
} // namespace vantrel::suite
