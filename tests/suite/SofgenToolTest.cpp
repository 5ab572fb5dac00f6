// The SOF writer: generated and given data, byte orders, and its refusals.
#include <gtest/gtest.h>

#include "Compression.h"
#include "DeviceFamily.h"
#include "GeneratedDesign.h"
#include "Messages.h"
#include "SofFile.h"
#include "TestSupport.h"

namespace vantrel::suite {
namespace {

using namespace testing;

ToolRun sofgen(const std::vector<std::string> &args) {
  return runTool(runSofgen, args);
}

TEST(SofgenTool, GeneratedDesign) {
  ScratchDir dir;
  const ToolRun run = sofgen({"--part=KX3R40F484", "--output=a.sof", "--size=5000", "--seed=7"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Wrote a.sof: part KX3R40F484, 5000 bytes of configuration data, big-endian\n");
  auto sof = parseSof(readFile("a.sof"));
  ASSERT_TRUE(sof.ok()) << sof.error();
  EXPECT_TRUE(sof.value().bigEndian);
  EXPECT_EQ(sof.value().partName, "KX3R40F484");
  EXPECT_EQ(sof.value().creator, "sofgen");
  EXPECT_EQ(sof.value().configData, generateConfigData(5000, 7));
}

TEST(SofgenTool, DataFromAFileInLittleEndian) {
  ScratchDir dir;
  writeFile("design.bin", std::string("\x01\x02\x03", 3));
  const ToolRun run =
      sofgen({"--part=5TE30", "--output=b.sof", "--byte-order=little", "--data=design.bin", "--creator=me"});
  EXPECT_EQ(run.status, 0) << run.err;
  auto sof = parseSof(readFile("b.sof"));
  ASSERT_TRUE(sof.ok()) << sof.error();
  EXPECT_FALSE(sof.value().bigEndian);
  EXPECT_EQ(sof.value().configData, (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_EQ(sof.value().creator, "me");
  EXPECT_EQ(readFile("b.sof").substr(0, 6), std::string("SOF\0\0\0", 6));
}

TEST(SofgenTool, Errors) {
  ScratchDir dir;
  auto usage = [](const std::string &message) { return "Error: " + message + "\n" + SOFGEN_USAGE; };
  EXPECT_EQ(sofgen({"--output=a.sof"}).err, usage(msg::SOFGEN_NO_PART));
  EXPECT_EQ(sofgen({"--part=X"}).err, usage(msg::SOFGEN_NO_OUTPUT));
  EXPECT_EQ(sofgen({"--part=X", "--output=a.sof", "--byte-order=middle"}).err,
            usage(std::string(msg::SOFGEN_BAD_ORDER) + "middle"));
  EXPECT_EQ(sofgen({"--part=X", "--output=a.sof", "--data=d", "--size=4"}).err,
            usage(msg::SOFGEN_DATA_AND_SIZE));
  EXPECT_EQ(sofgen({"--part=X", "--output=a.sof", "--seed=x"}).err,
            usage(std::string(msg::SOFGEN_BAD_SEED) + "x"));
  EXPECT_EQ(sofgen({"--part=X", "--output=a.sof", "--size=0"}).err,
            usage(std::string(msg::SOFGEN_BAD_SIZE) + "0"));
  EXPECT_EQ(sofgen({"--part=X", "--output=a.sof", "--size=67108865"}).err,
            usage(std::string(msg::SOFGEN_BAD_SIZE) + "67108865"));
  const ToolRun unknown = sofgen({"--part=X", "--output=a.sof", "-v"});
  EXPECT_EQ(unknown.status, EXIT_USAGE);
  EXPECT_EQ(unknown.err, usage(std::string(msg::SOFGEN_UNKNOWN_ARG) + "-v"));

  const ToolRun missing = sofgen({"--part=X", "--output=a.sof", "--data=none.bin"});
  EXPECT_EQ(missing.status, EXIT_FAILED);
  EXPECT_EQ(missing.err, std::string("Error: ") + msg::CANNOT_READ + "none.bin\n");
  writeFile("empty.bin", std::string());
  EXPECT_EQ(sofgen({"--part=X", "--output=a.sof", "--data=empty.bin"}).err,
            std::string("Error: empty.bin: ") + msg::SOFGEN_EMPTY_DATA + "\n");
  const ToolRun unwritable = sofgen({"--part=X", "--output=nodir/a.sof"});
  EXPECT_EQ(unwritable.status, EXIT_FAILED);
  EXPECT_EQ(unwritable.err, std::string("Error: ") + msg::CANNOT_WRITE + "nodir/a.sof\n");
  EXPECT_EQ(dir.list(), std::vector<std::string>{"empty.bin"});
}

TEST(GeneratedDesign, FramesLookLikeConfigurationData) {
  const std::vector<std::uint8_t> data = generateConfigData(64 * 100, 42);
  ASSERT_EQ(data.size(), 6400u);
  std::size_t zeros = 0;
  for (std::size_t f = 0; f < 100; ++f) {
    const std::uint8_t *frame = &data[f * FRAME_SIZE];
    EXPECT_EQ(frame[0] | (frame[1] << 8), static_cast<int>(f));
    unsigned sum = 0;
    for (std::size_t i = 0; i < FRAME_SIZE - 2; ++i)
      sum += frame[i];
    EXPECT_EQ(frame[62] | (frame[63] << 8), static_cast<int>(sum & 0xFFFF));
    for (std::size_t i = 2; i < FRAME_SIZE - 2; ++i)
      zeros += frame[i] == 0;
  }
  EXPECT_GT(zeros, 6400u / 2);                            // mostly empty, like a real device
  EXPECT_LT(compressBytes(data).size() * 2, data.size()); // and so compressible
  EXPECT_EQ(generateConfigData(6400, 42), data);
  EXPECT_NE(generateConfigData(6400, 43), data);
  EXPECT_EQ(generateConfigData(100, 1).size(), 100u);
}

} // namespace
} // namespace vantrel::suite
