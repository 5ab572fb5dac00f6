// The object-copy stand-in: Hex records in, the same bytes at the same addresses out as
// S-records, and its refusals.
#include <gtest/gtest.h>

#include "HexFile.h"
#include "Messages.h"
#include "SrecordCheck.h"
#include "TestSupport.h"

namespace vantrel::suite {
namespace {

using namespace testing;

ToolRun objcopy(const std::vector<std::string> &args) {
  return runTool(runObjcopy, args);
}

TEST(ObjcopyTool, GoldenOutput) {
  ScratchDir dir;
  writeFile("a.hexout",
            std::string(":020000040001F9\n:048000000102030472\n:040000050001800076\n:00000001FF\n"));
  const ToolRun run = objcopy({"-O", "srec", "a.hexout", "a.flash"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(unixLines(readFile("a.flash")), "S00A0000612E666C61736858\n"
                                            "S30900018000010203046B\n"
                                            "S7050001800079\n");
}

TEST(ObjcopyTool, SameBytesAtSameAddresses) {
  ScratchDir dir;
  std::vector<Segment> segments = {{0x18000, std::vector<std::uint8_t>(32, 0xA5)}, {0x20000, {}}};
  for (int i = 0; i < 100000; ++i)
    segments[1].bytes.push_back(static_cast<std::uint8_t>(i ^ (i >> 8)));
  writeFile("b.hexout", writeHexFile(segments));
  const ToolRun run = objcopy({"-I", "ihex", "-O", "srec", "b.hexout", "b.flash"});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto read = readSrecordsStrict(readFile("b.flash"));
  ASSERT_TRUE(read.has_value());
  ASSERT_EQ(read->size(), 32u + 100000u);
  for (const Segment &s : segments) {
    for (std::size_t i = 0; i < s.bytes.size(); ++i) {
      ASSERT_EQ(read->at(s.address + static_cast<std::uint32_t>(i)), s.bytes[i]) << i;
    }
  }
}

TEST(ObjcopyTool, Usage) {
  for (const auto &args : std::vector<std::vector<std::string>>{{},
                                                                {"a.hex", "b.srec"},
                                                                {"-O", "srec", "a.hex"},
                                                                {"-O", "srec", "a", "b", "c"},
                                                                {"-O"},
                                                                {"-x", "a", "b"}}) {
    const ToolRun run = objcopy(args);
    EXPECT_EQ(run.status, EXIT_USAGE) << ::testing::PrintToString(args);
    EXPECT_EQ(run.err, OBJCOPY_USAGE);
  }
  const ToolRun binary = objcopy({"-O", "binary", "a.hex", "b.bin"});
  EXPECT_EQ(binary.status, EXIT_USAGE);
  EXPECT_EQ(binary.err, std::string("Error: ") + msg::OBJCOPY_FORMAT + "binary\n");
  const ToolRun elf = objcopy({"-I", "elf32-little", "-O", "srec", "a.hex", "b.srec"});
  EXPECT_EQ(elf.status, EXIT_USAGE);
  EXPECT_EQ(elf.err, std::string("Error: ") + msg::OBJCOPY_INPUT_FORMAT + "elf32-little\n");
}

TEST(ObjcopyTool, BadInputLeavesNoOutput) {
  ScratchDir dir;
  ToolRun run = objcopy({"-O", "srec", "none.hexout", "x.flash"});
  EXPECT_EQ(run.status, EXIT_FAILED);
  EXPECT_EQ(run.err, std::string("Error: ") + msg::CANNOT_READ + "none.hexout\n");

  writeFile("x.flash", std::string("stale"));
  writeFile("bad.hexout", std::string(":020000040001F9\n:0480000001020304EF\n:00000001FF\n"));
  run = objcopy({"-O", "srec", "bad.hexout", "x.flash"});
  EXPECT_EQ(run.status, EXIT_FAILED);
  EXPECT_EQ(run.err, std::string("Error: bad.hexout: line 2: ") + msg::HEX_CHECKSUM +
                         " (stated 0xEF, computed 0x72)\n");
  EXPECT_FALSE(exists("x.flash"));

  writeFile("noend.hexout", std::string(":048000000102030472\n"));
  run = objcopy({"-O", "srec", "noend.hexout", "x.flash"});
  EXPECT_EQ(run.err, std::string("Error: noend.hexout: ") + msg::HEX_NO_EOF + "\n");

  writeFile("ok.hexout", std::string(":00000001FF\n"));
  run = objcopy({"-O", "srec", "ok.hexout", "nodir/x.flash"});
  EXPECT_EQ(run.status, EXIT_FAILED);
  EXPECT_EQ(run.err, std::string("Error: ") + msg::CANNOT_WRITE + "nodir/x.flash\n");
  EXPECT_EQ(dir.list(), (std::vector<std::string>{"bad.hexout", "noend.hexout", "ok.hexout"}));
}

} // namespace
} // namespace vantrel::suite
