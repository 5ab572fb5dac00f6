// Every flow from an example SOF to its flash files through the real driver and the
// suite's stand-in tools; contents checked against the converter's own output, and the
// files left behind checked against the clean-up rules; and the flows in folders past
// 300 characters.
#include "DriverRunner.h"
#include "SrecordDecoder.h"
#include "support/ScratchDir.h"

#include "bitmorph/Bitmorph.h"
#include "bitmorph/Messages.h"
#include "platform/fileHandle.h"
#include "platform/process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace vantrel::bitmorph {
namespace {

using test::runDriver;
using vantrel::testing::ScratchDir;

constexpr bool WINDOWS = BM_TEST_WINDOWS != 0;

std::uint8_t mirror(std::uint8_t b) {
  std::uint8_t r = 0;
  for (int i = 0; i < 8; ++i) {
    if (b & (1u << i)) r = static_cast<std::uint8_t>(r | (0x80u >> i));
  }
  return r;
}

/// The bytes of a decoded S-record file from its lowest address on, with no gap allowed.
std::string contiguous(const test::SrecordContent &content, std::uint64_t start) {
  std::string bytes;
  std::uint64_t next = start;
  for (const auto &[address, value] : content.bytes) {
    if (address != next) return bytes + "<gap>";
    bytes.push_back(static_cast<char>(value));
    ++next;
  }
  return bytes;
}

/// The inclusive end of "Page_0" in the serial map: the independent size reading.
long serialMapEnd(const std::string &map) {
  const auto at = map.find("Page_0");
  if (at == std::string::npos) return -1;
  const std::string line = map.substr(at, map.find('\n', at) - at);
  const auto last = line.find_last_of(" \t,");
  return std::stol(line.substr(last + 1), nullptr, 16);
}

class FlowsEndToEnd : public ::testing::Test {
protected:
  void SetUp() override {
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.path());
  }
  void TearDown() override { std::filesystem::current_path(previous_); }

  /// Copies an example design into the scratch folder as top.sof.
  void example(const std::string &name) {
    std::filesystem::copy_file(std::string(BM_EXAMPLES) + "/" + name, dir_.file("top.sof"));
  }
  std::string read(const std::string &name) { return vantrel::testing::readBytes(dir_.file(name)); }
  std::vector<std::string> files() { return dir_.list(); }

  /// Runs with --save, checks the flash against the kept ".rbf", then runs again without
  /// --save and checks what is left.
  void parallel(const std::string &design, const std::vector<std::string> &extra, std::uint64_t offset,
                bool bootHeader) {
    example(design);
    std::vector<std::string> args = {"--input=top.sof", "--save"};
    args.insert(args.end(), extra.begin(), extra.end());
    const auto r = runDriver(args);
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    std::string image = read("top.rbf");
    ASSERT_GT(image.size(), 12u);
    if (bootHeader) {
      image.replace(0, 12, std::string("\0\0\0\0\x83\x79\x73\x78\xFF\xFF\xFF\xFF", 12));
    }
    const auto flash = test::decodeSrecords(read("top.flash"));
    EXPECT_TRUE(flash.wellFormed);
    EXPECT_EQ(flash.header, "top.flash");
    ASSERT_FALSE(flash.bytes.empty());
    EXPECT_EQ(flash.bytes.begin()->first, offset);
    EXPECT_EQ(contiguous(flash, offset), image);
    decodeWithHostTools(offset, image);
  }

  /// On Linux GNU objcopy and srec_cat read the flash file back (skipped when missing).
  void decodeWithHostTools(std::uint64_t offset, const std::string &image) {
    if (WINDOWS) return;
    if (platform::findProgram("objcopy")) {
      ASSERT_EQ(test::runProgram({"objcopy", "-I", "srec", "-O", "binary", "top.flash", "gnu.bin"}), 0);
      EXPECT_EQ(read("gnu.bin"), image);
      std::filesystem::remove(dir_.file("gnu.bin"));
    }
    if (platform::findProgram("srec_cat")) {
      char shift[32];
      std::snprintf(shift, sizeof shift, "-0x%llX", static_cast<unsigned long long>(offset));
      ASSERT_EQ(test::runProgram({"srec_cat", "top.flash", "-offset", shift, "-o", "cat.bin", "-binary"}), 0);
      EXPECT_EQ(read("cat.bin"), image);
      std::filesystem::remove(dir_.file("cat.bin"));
    }
  }

  /// Serial flow: the flash holds the mirrored first S bytes of the ".rpd", S from the map.
  void serial(const std::string &design, const std::string &mode, bool bootHeader) {
    example(design);
    const auto r = runDriver({"--input=top.sof", mode, "--save"});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    const long end = serialMapEnd(read("top.map"));
    ASSERT_GT(end, 0);
    const std::string rpd = read("top.rpd");
    ASSERT_GE(rpd.size(), static_cast<std::size_t>(end + 1));
    std::string expected;
    for (long i = 0; i <= end; ++i)
      expected.push_back(
          static_cast<char>(mirror(static_cast<std::uint8_t>(rpd[static_cast<std::size_t>(i)]))));
    if (bootHeader) {
      const auto field = static_cast<std::uint32_t>(end); // S - 1
      std::string header("\0\0\0\0\x83\x79\x73\x78", 8);
      for (int i = 0; i < 4; ++i)
        header.push_back(static_cast<char>((field >> (8 * i)) & 0xFF));
      expected.replace(0, 12, header);
    }
    const auto flash = test::decodeSrecords(read("top.flash"));
    EXPECT_EQ(contiguous(flash, 0), expected);
    decodeWithHostTools(0, expected);
    // Without --save the serial flow leaves nothing but the result.
    for (const auto &name : files()) {
      if (name != "top.sof") std::filesystem::remove(dir_.file(name));
    }
    const auto again = runDriver({"--input=top.sof", mode});
    ASSERT_EQ(again.exitCode, 0) << again.out;
    EXPECT_EQ(files(), (std::vector<std::string>{"top.flash", "top.sof"}));
  }

  ScratchDir dir_;
  std::filesystem::path previous_;
};

TEST_F(FlowsEndToEnd, ParallelOlderFamilyAtSeveralOffsets) {
  parallel("ravelle3_blinky.sof", {"--offset=0x20000"}, 0x20000, false);
}

TEST_F(FlowsEndToEnd, ParallelAtZeroAndOctalOffset) {
  parallel("ravelle_counter.sof", {"--offset=0"}, 0, false);
  std::filesystem::remove_all(dir_.file("top.sof"));
  parallel("ravelle_counter.sof", {"--offset=0400"}, 0x100, false);
}

TEST_F(FlowsEndToEnd, ParallelNewerFamilyGetsTheBootHeader) {
  parallel("tessary5_uart.sof", {"--offset=0x1000"}, 0x1000, true);
}

TEST_F(FlowsEndToEnd, ParallelCompressedIsSmallerAndKeepsItsOptionsFile) {
  example("ravelle3_blinky.sof");
  ASSERT_EQ(runDriver({"--input=top.sof", "--offset=0", "--save", "--output=plain.flash"}).exitCode, 0);
  const auto plainSize = read("plain.rbf").size();
  std::filesystem::remove(dir_.file("top.sof"));
  parallel("ravelle3_blinky.sof", {"--offset=0x40000", "--compress"}, 0x40000, false);
  EXPECT_LT(read("top.rbf").size(), plainSize);
  for (const auto &name : files()) {
    if (name != "top.sof") std::filesystem::remove(dir_.file(name));
  }
  ASSERT_EQ(runDriver({"--input=top.sof", "--offset=0x40000", "-c"}).exitCode, 0);
  EXPECT_EQ(files(), (std::vector<std::string>{"top.flash", "top.opt", "top.sof"}));
}

TEST_F(FlowsEndToEnd, ActiveParallel) {
  parallel("ravelle3_blinky.sof", {"--offset=0x800", "--activeparallel"}, 0x800, false);
  EXPECT_TRUE(std::filesystem::exists(dir_.file("top.cof")));
  for (const auto &name : files()) {
    if (name != "top.sof") std::filesystem::remove(dir_.file(name));
  }
  ASSERT_EQ(runDriver({"--input=top.sof", "--offset=0x800", "-a"}).exitCode, 0);
  EXPECT_EQ(files(), (std::vector<std::string>{"top.flash", "top.sof"}));
}

TEST_F(FlowsEndToEnd, SerialSpromRuleC) {
  serial("ravelle3_blinky.sof", "--sprom", false);
}

TEST_F(FlowsEndToEnd, SerialQpromRuleA) {
  serial("ravelle_counter.sof", "--qprom", false);
}

TEST_F(FlowsEndToEnd, SerialQprom128NewerFamilySizedFromTheMap) {
  serial("tessary5_uart.sof", "--qprom128", true);
}

TEST_F(FlowsEndToEnd, SerialRefusedForTessary) {
  example("tessary_leds.sof");
  const auto r = runDriver({"--input=top.sof", "--sprom"});
  EXPECT_EQ(r.exitCode, Bitmorph::INPUT_ERROR);
  EXPECT_EQ(files(), (std::vector<std::string>{"top.sof"}));
}

/// The loader flow: both results against the converter's Intel HEX decoded independently.
void checkLoaderResults(const std::string &flashText, const std::string &optionText, std::uint64_t start,
                        std::uint64_t optionStart) {
  const auto image = test::decodeSrecords(flashText);
  const auto options = test::decodeSrecords(optionText);
  EXPECT_TRUE(image.wellFormed);
  EXPECT_FALSE(image.hasHeader);
  ASSERT_FALSE(image.bytes.empty());
  EXPECT_EQ(image.bytes.begin()->first, start);
  EXPECT_EQ(contiguous(image, start).find("<gap>"), std::string::npos);
  ASSERT_FALSE(options.bytes.empty());
  EXPECT_EQ(options.bytes.begin()->first, optionStart);
}

class LoaderFlow : public FlowsEndToEnd {};

TEST_F(LoaderFlow, FppWithSaveKeepsEverything) {
  example("ravelle3_blinky.sof");
  const auto r = runDriver({"--input=top.sof", "--kld", "--offset=0x20000", "--optionbit=0x18000",
                            "--programmingmode=FPP", "--save"});
  ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_EQ(files(), (std::vector<std::string>{"top.cof", "top.flash", "top.hexout", "top.map",
                                               "top.map.flash", "top.pof", "top.sof"}));
  checkLoaderResults(read("top.flash"), read("top.map.flash"), 0x20000, 0x18000);
  EXPECT_NE(read("top.cof").find("<mode>6</mode>"), std::string::npos);
  // The image range of the map, inclusive, is exactly what the result holds.
  const auto map = read("top.map");
  const auto flash = test::decodeSrecords(read("top.flash"));
  const auto last = flash.bytes.rbegin()->first;
  char endText[16];
  std::snprintf(endText, sizeof endText, "0x%08llX", static_cast<unsigned long long>(last));
  EXPECT_NE(map.find(endText), std::string::npos) << map;
}

TEST_F(LoaderFlow, PsCompressedCleansUpAndKeepsTheOptionsFile) {
  example("ravelle3_blinky.sof");
  const auto r = runDriver({"--input=top.sof", "--kld", "--offset=0x20000", "--optionbit=0x18000",
                            "--programmingmode=PS", "--compress", "--output=img.bin"});
  ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_EQ(files(), (std::vector<std::string>{"img.cof.opt", "img.flash", "img.map.flash", "top.sof"}));
  checkLoaderResults(read("img.flash"), read("img.map.flash"), 0x20000, 0x18000);
}

TEST_F(LoaderFlow, WithHostObjcopyInPlaceOfTheStandIn) {
  if (WINDOWS || !platform::findProgram("objcopy")) GTEST_SKIP() << "GNU objcopy: Linux only";
  ScratchDir tools;
  std::filesystem::create_symlink(*platform::findProgram("objcopy"), tools.file("korvo-elf-objcopy"));
  example("ravelle3_blinky.sof");
  const auto r = runDriver(
      {"--input=top.sof", "--kld", "--offset=0x20000", "--optionbit=0x18000", "--programmingmode=FPP"}, {},
      true, tools.path().string());
  ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_EQ(files(), (std::vector<std::string>{"top.flash", "top.map.flash", "top.sof"}));
  checkLoaderResults(read("top.flash"), read("top.map.flash"), 0x20000, 0x18000);
}

TEST_F(LoaderFlow, MissingConverterFailsTheFirstRun) {
  example("ravelle3_blinky.sof");
  const auto r = runDriver(
      {"--input=top.sof", "--kld", "--offset=0x20000", "--optionbit=0x18000", "--programmingmode=FPP"}, {},
      false);
  EXPECT_EQ(r.exitCode, Bitmorph::EXT_APP_ERROR);
  EXPECT_NE(r.out.find(messages::KLD_POF_FAILED), std::string::npos) << r.out;
  EXPECT_EQ(files(), (std::vector<std::string>{"top.cof", "top.sof"}));
}

TEST_F(LoaderFlow, PathsPastThreeHundredCharactersInEveryFlowStep) {
  // A deep workspace: the design, the intermediates, the lock and the results lie below
  // three folders of 100 characters; the programs learn the depth from their arguments.
  const std::string sep = WINDOWS ? "\\" : "/";
  const std::string deep =
      dir_.file(std::string(100, 'a')) + sep + std::string(100, 'b') + sep + std::string(100, 'c');
  std::filesystem::create_directories(hostText::utf8Path(deep));
  const auto in = [&](const std::string &name) { return deep + sep + name; };
  std::filesystem::copy_file(std::string(BM_EXAMPLES) + "/ravelle3_blinky.sof",
                             hostText::utf8Path(in("top.sof")));
  ASSERT_GT(in("top.sof").size(), 300u);
  const auto inDeep = [&] {
    // Listed by the OS layer: the C runtime's folder listing stops at 260 characters.
    std::vector<std::string> names = platform::detail::listFolder(deep);
    std::sort(names.begin(), names.end());
    return names;
  };

  // The parallel flow with an options file, everything kept: the flash holds the image.
  auto r = runDriver({"--input=" + in("top.sof"), "--offset=0x20000", "--compress", "--save"});
  ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_EQ(inDeep(), (std::vector<std::string>{"top.flash", "top.map", "top.opt", "top.rbf", "top.sof"}));
  const auto flash = test::decodeSrecords(vantrel::testing::readBytes(in("top.flash")));
  EXPECT_EQ(contiguous(flash, 0x20000), vantrel::testing::readBytes(in("top.rbf")));

  // The loader flow: the converter twice and the object-copy tool, then the clean-up.
  r = runDriver({"--input=" + in("top.sof"), "--output=" + in("img.bin"), "--kld", "--offset=0x20000",
                 "--optionbit=0x18000", "--programmingmode=FPP"});
  ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_EQ(inDeep(), (std::vector<std::string>{"img.flash", "img.map.flash", "top.flash", "top.map",
                                                "top.opt", "top.rbf", "top.sof"}));
  checkLoaderResults(vantrel::testing::readBytes(in("img.flash")),
                     vantrel::testing::readBytes(in("img.map.flash")), 0x20000, 0x18000);
}

} // namespace
} // namespace vantrel::bitmorph
