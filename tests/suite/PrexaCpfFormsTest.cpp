// The converter's six call forms, each output checked on its own: sizes, headers, map
// lines and hex-record contents, read by the rules of the flows that use them.
#include <gtest/gtest.h>

#include "ByteOrder.h"
#include "Checksum.h"
#include "CofTexts.h"
#include "ConverterFixture.h"
#include "FlowReaders.h"
#include "HexFile.h"
#include "Messages.h"
#include "NumberText.h"
#include "PofFile.h"

namespace vantrel::suite {
namespace {

using namespace testing;

TEST_F(ConverterTest, ParallelRawImage) {
  const ToolRun run = cpf({"--no_banner", "--convert", "r3.sof", "r3.rbf"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Reading r3.sof: part KX3R40F484, 20000 bytes of configuration data\n"
                     "Writing r3.rbf: 20096 bytes\n"
                     "Writing r3.map\n"
                     "Conversion done\n");
  EXPECT_EQ(run.err, "");
  const std::string rbf = readFile("r3.rbf");
  EXPECT_EQ(rbf.size(), 20096u);
  expectImageOf(rbf, "r3.sof", false);
  EXPECT_EQ(dir_.list(), (std::vector<std::string>{"compress.opt", "r1.sof", "r3.map", "r3.rbf", "r3.sof",
                                                   "serial.opt", "t1.sof", "t5.sof"}));
}

TEST_F(ConverterTest, ParallelCompressedImageIsSmallerAndRoundTrips) {
  ASSERT_EQ(cpf({"--no_banner", "--convert", "r3.sof", "raw.rbf"}).status, 0);
  const ToolRun run = cpf({"--no_banner", "--convert", "--option=compress.opt", "r3.sof", "r3.rbf"});
  EXPECT_EQ(run.status, 0) << run.err;
  const std::string packed = readFile("r3.rbf");
  EXPECT_LT(packed.size() * 2, readFile("raw.rbf").size());
  expectImageOf(packed, "r3.sof", true);
  EXPECT_EQ(designSizeFromMap(readFile("r3.map")), static_cast<std::int64_t>(packed.size()));
}

TEST_F(ConverterTest, ParallelBootFamilyImageStartsWithReservedBytes) {
  ASSERT_EQ(cpf({"--no_banner", "--convert", "t5.sof", "t5.rbf"}).status, 0);
  const std::string rbf = readFile("t5.rbf");
  EXPECT_EQ(rbf.substr(0, 12), std::string(12, '\xFF'));
  std::string headed = rbf;
  headed.replace(0, 12, std::string("\0\0\0\0\x83\x79\x73\x78\xFF\xFF\xFF\xFF", 12));
  expectImageOf(headed, "t5.sof", false);
}

TEST_F(ConverterTest, NoMapWhenTurnedOff) {
  writeFile("nomap.opt", std::string("MEMORY_MAP_FILE=OFF\n"));
  ASSERT_EQ(cpf({"--no_banner", "--convert", "--option=nomap.opt", "r3.sof", "r3.rbf"}).status, 0);
  EXPECT_FALSE(exists("r3.map"));
}

TEST_F(ConverterTest, ActiveParallelDescription) {
  writeFile("top.cof", activeParallelCof("r3.sof", "top.rbf"));
  const ToolRun run = cpf({"--no_banner", "--convert", "--option=compress.opt", "top.cof"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Reading top.cof\n"
                     "Reading r3.sof: part KX3R40F484, 20000 bytes of configuration data\n"
                     "Writing top.rbf: " +
                         std::to_string(readFile("top.rbf").size()) +
                         " bytes, compressed\n"
                         "Writing top.map\n"
                         "Conversion done\n");
  expectImageOf(readFile("top.rbf"), "r3.sof", true);
  EXPECT_TRUE(exists("top.map"));
}

TEST_F(ConverterTest, SerialFirstRunWritesPofAndMap) {
  const ToolRun run =
      cpf({"--no_banner", "--convert", "--device=SPROM128", "--option=serial.opt", "r3.sof", "r3.pof"});
  EXPECT_EQ(run.status, 0) << run.err;
  auto pof = parsePof(readFile("r3.pof"));
  ASSERT_TRUE(pof.ok()) << pof.error();
  EXPECT_TRUE(pof.value().serial);
  EXPECT_TRUE(pof.value().compressed);
  EXPECT_EQ(pof.value().target, "SPROM128");
  EXPECT_EQ(pof.value().partName, "KX3R40F484");
  const std::string map = unixLines(readFile("r3.map"));
  EXPECT_EQ(map, "Memory map for SPROM128\n\nPage_0\t0x00000000\t" +
                     hex8(static_cast<std::uint32_t>(pof.value().image.size() - 1)) + "\n");
  EXPECT_EQ(run.out, "Reading r3.sof: part KX3R40F484, 20000 bytes of configuration data\n"
                     "Writing r3.pof: SPROM128 image of " +
                         std::to_string(pof.value().image.size()) +
                         " bytes, compressed\n"
                         "Writing r3.map\n"
                         "Conversion done\n");
}

// The serial flow measures older families from the bitstream header and newer ones from
// the map; both must give the image's size, and the image must hold the design.
TEST_F(ConverterTest, SerialSecondRunGivesPaddedRawProgrammingData) {
  for (const char *name : {"r3", "r1", "t5"}) {
    const std::string n = name;
    for (const char *device : {"--device=SPROM128", "--device=QPROM256", "--device=QPROM128"}) {
      ASSERT_EQ(
          cpf({"--no_banner", "--convert", device, "--option=serial.opt", n + ".sof", n + ".pof"}).status, 0);
      const ToolRun run = cpf({"--no_banner", "--convert", n + ".pof", n + ".rpd"});
      ASSERT_EQ(run.status, 0) << run.err;
      const std::string rpd = readFile(n + ".rpd");
      EXPECT_EQ(rpd.size(), 65536u) << name;
      const std::vector<std::uint8_t> bytes(rpd.begin(), rpd.end());
      const std::int64_t fromMap = designSizeFromMap(readFile(n + ".map"));
      EXPECT_EQ(designSizeFromHeader(bytes), fromMap) << name;
      EXPECT_EQ(bytes[32], 0x6A);
      expectImageOf(rpd.substr(0, static_cast<std::size_t>(fromMap)), n + ".sof", true);
      EXPECT_EQ(rpd.find_first_not_of('\xFF', static_cast<std::size_t>(fromMap)), std::string::npos) << name;
    }
  }
  // The oldest family's header needs the scattered rule.
  const std::string r1 = readFile("r1.rpd");
  EXPECT_LE(familyCodeOf(std::vector<std::uint8_t>(r1.begin(), r1.begin() + 64)), 20u);
}

TEST_F(ConverterTest, SerialImageWithoutCompression) {
  writeFile("plain.opt", std::string("MEMORY_MAP_FILE=ON\n"));
  ASSERT_EQ(
      cpf({"--no_banner", "--convert", "--device=SPROM128", "--option=plain.opt", "r3.sof", "r3.pof"}).status,
      0);
  ASSERT_EQ(cpf({"--no_banner", "--convert", "r3.pof", "r3.rpd"}).status, 0);
  const std::string rpd = readFile("r3.rpd");
  EXPECT_EQ(designSizeFromMap(readFile("r3.map")), 20096);
  expectImageOf(rpd.substr(0, 20096), "r3.sof", false);
}

TEST_F(ConverterTest, LoaderRunsGivePofMapAndHexFile) {
  for (const char *mode : {"6", "0"}) {
    writeFile("top.cof", kldCof("r3.sof", "top.pof", "0x00020000", "0x00018000", mode));
    const ToolRun first = cpf({"-c", "top.cof"});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out.substr(0, first.out.find('\n') + 1), std::string(msg::CONVERTER_BANNER) + "\n");
    const std::string map = readFile("top.map");
    const auto a = loaderAddresses(map);
    ASSERT_TRUE(a.has_value()) << map;
    EXPECT_EQ(a->start, 0x20000);
    EXPECT_EQ(a->end, 0x20000 + 20096 - 1);
    EXPECT_EQ(a->optionStart, 0x18000);
    EXPECT_EQ(a->optionEnd, 0x18000 + 31);
    EXPECT_EQ(
        unixLines(map),
        "Memory map for CFI_1GB\n\nPage_0\t0x00020000\t0x00024E7F\nOPTION BITS\t0x00018000\t0x0001801F\n");

    const ToolRun second = cpf({"-c", "top.pof", "top.hexout"});
    ASSERT_EQ(second.status, 0) << second.err;
    auto hex = parseHexFile(readFile("top.hexout"));
    ASSERT_TRUE(hex.ok()) << hex.error();
    ASSERT_EQ(hex.value().segments.size(), 2u);
    const Segment &options = hex.value().segments[0];
    const Segment &image = hex.value().segments[1];
    EXPECT_EQ(options.address, 0x18000u);
    EXPECT_EQ(image.address, 0x20000u);
    expectImageOf(asText(image.bytes), "r3.sof", false);
    ASSERT_EQ(options.bytes.size(), 32u);
    EXPECT_EQ(loadLe32(&options.bytes[0]), 0x20000u);
    EXPECT_EQ(loadLe32(&options.bytes[4]), 0x24E7Fu);
    EXPECT_EQ(loadLe32(&options.bytes[8]), crc32Of(image.bytes.data(), image.bytes.size()));
    EXPECT_EQ(options.bytes[12], std::string(mode) == "6" ? 6 : 0);
    EXPECT_EQ(options.bytes[13], 0);
    EXPECT_EQ(options.bytes[31], 0xFF);
  }
}

TEST_F(ConverterTest, LoaderWithCompressionAndHighOptionBits) {
  writeFile("top.cof", kldCof("t5.sof", "top.pof", "0", "0x01000000", "6"));
  ASSERT_EQ(cpf({"-c", "top.cof", "--option", "compress.opt"}).status, 0);
  ASSERT_EQ(cpf({"-c", "top.pof", "top.hexout"}).status, 0);
  auto hex = parseHexFile(readFile("top.hexout"));
  ASSERT_TRUE(hex.ok()) << hex.error();
  ASSERT_EQ(hex.value().segments.size(), 2u);
  EXPECT_EQ(hex.value().segments[0].address, 0u);
  EXPECT_EQ(hex.value().segments[1].address, 0x01000000u);
  expectImageOf(asText(hex.value().segments[0].bytes), "t5.sof", true);
  EXPECT_EQ(hex.value().segments[1].bytes[13], 1); // compressed flag
  const auto a = loaderAddresses(readFile("top.map"));
  ASSERT_TRUE(a.has_value());
  EXPECT_EQ(a->end - a->start + 1, static_cast<long long>(hex.value().segments[0].bytes.size()));
}

} // namespace
} // namespace vantrel::suite
