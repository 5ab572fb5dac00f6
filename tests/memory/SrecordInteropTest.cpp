// S-record files checked against two independent S-record parsers (GNU objcopy and
// srec_cat): files the library writes are read back by them with the same bytes at the same
// addresses, and files they write are read by the library.
#include "TestFiles.h"
#include "memory/BinaryMemory.h"
#include "memory/SrecordMemory.h"
#include "platform/process.h"
#include "support/ChildRun.h"

#include <gtest/gtest.h>

#include <random>

using namespace vantrel::memory;
using namespace vantrel::memory::test;
namespace platform = vantrel::platform;

namespace {

/// Runs a tool to its end and returns its exit value; its output is collected into log.
int runTool(const std::vector<std::string> &command, std::string &log) {
  const vantrel::testing::ChildRun run = vantrel::testing::runChild(command);
  log = run.started ? run.out + run.err : "could not start " + command[0] + ": " + run.error;
  return run.exitCode;
}

Bytes randomBytes(std::size_t n, std::uint32_t seed) {
  std::mt19937 random(seed);
  Bytes bytes(n);
  for (auto &b : bytes)
    b = static_cast<std::uint8_t>(random());
  return bytes;
}

/// Expects image to hold exactly the given runs (address, bytes), nothing else.
void expectRuns(const SegmentedMemory &image, const std::vector<std::pair<std::int64_t, Bytes>> &runs) {
  std::int64_t total = 0;
  for (const auto &[addr, bytes] : runs) {
    const OptionalBytes got = image.get(addr, static_cast<std::int64_t>(bytes.size()));
    ASSERT_TRUE(got.has_value()) << "no data at " << addr;
    EXPECT_TRUE(*got == bytes) << "bytes differ at " << addr;
    total += static_cast<std::int64_t>(bytes.size());
  }
  EXPECT_EQ(image.total(), total);
}

class SrecordInterop : public ::testing::Test {
protected:
  void SetUp() override {
    if (!platform::findProgram("objcopy") || !platform::findProgram("srec_cat"))
      GTEST_SKIP() << "objcopy or srec_cat is not installed";
  }
  TempDir dir;
  std::string log;
};

} // namespace

TEST_F(SrecordInterop, ObjcopyReadsWhatTheLibraryWrites) {
  const Bytes bytes = randomBytes(100003, 1);
  SrecordMemory image(0, 0x7FFFFFFF, "lib");
  image.setHeader(std::string("lib.flash"));
  image.add(0x20000, bytes);
  ASSERT_TRUE(image.write(dir.file("lib.flash")));
  // objcopy's binary output starts at the lowest address and runs to the highest.
  ASSERT_EQ(
      runTool({"objcopy", "-I", "srec", "-O", "binary", dir.file("lib.flash"), dir.file("objcopy.bin")}, log),
      0)
      << log;
  EXPECT_TRUE(readBytes(dir.file("objcopy.bin")) == bytes);
}

TEST_F(SrecordInterop, ObjcopyRewritesWhatTheLibraryWritesWithTheSameBytes) {
  const std::vector<std::pair<std::int64_t, Bytes>> runs = {
      {0x100, randomBytes(70, 2)}, {0x1000, randomBytes(4096 + 17, 3)}, {0x7FFFFF00, randomBytes(256, 4)}};
  SrecordMemory image(0, 0x7FFFFFFF, "lib");
  for (const auto &[addr, bytes] : runs)
    image.add(addr, bytes);
  ASSERT_TRUE(image.write(dir.file("lib.flash")));
  ASSERT_EQ(runTool({"objcopy", "-I", "srec", "-O", "srec", "--srec-len=16", dir.file("lib.flash"),
                     dir.file("objcopy.srec")},
                    log),
            0)
      << log;
  SrecordMemory back(0, 0x7FFFFFFF, "back");
  back.read(dir.file("objcopy.srec"));
  expectRuns(back, runs);
}

TEST_F(SrecordInterop, SrecCatReadsWhatTheLibraryWrites) {
  const std::vector<std::pair<std::int64_t, Bytes>> runs = {{0, randomBytes(33, 5)},
                                                            {0x40000, randomBytes(9000, 6)}};
  SrecordMemory image(0, 0x7FFFFFFF, "lib");
  image.setHeader(std::string("header"));
  for (const auto &[addr, bytes] : runs)
    image.add(addr, bytes);
  ASSERT_TRUE(image.write(dir.file("lib.flash")));
  // srec_cat checks every checksum and count; it rewrites the data in its own layout.
  ASSERT_EQ(runTool({"srec_cat", dir.file("lib.flash"), "-Motorola", "-o", dir.file("cat.srec"), "-Motorola",
                     "-Output_Block_Size=20"},
                    log),
            0)
      << log;
  SrecordMemory back(0, 0x7FFFFFFF, "back");
  back.read(dir.file("cat.srec"));
  expectRuns(back, runs);
}

TEST_F(SrecordInterop, LibraryReadsWhatObjcopyWrites) {
  const Bytes bytes = randomBytes(50000, 7);
  writeBytes(dir.file("in.bin"), bytes);
  ASSERT_EQ(runTool({"objcopy", "-I", "binary", "-O", "srec", "--srec-forceS3", "--change-addresses",
                     "0x12345", dir.file("in.bin"), dir.file("objcopy.srec")},
                    log),
            0)
      << log;
  SrecordMemory image(0, 0x7FFFFFFF, "in");
  image.read(dir.file("objcopy.srec"));
  expectRuns(image, {{0x12345, bytes}});
  EXPECT_TRUE(image.getHeader().has_value());
}

TEST_F(SrecordInterop, LibraryReadsWhatSrecCatWritesInEveryAddressWidth) {
  const Bytes bytes = randomBytes(3000, 8);
  writeBytes(dir.file("in.bin"), bytes);
  // Offsets chosen so srec_cat picks S1, S2 and S3 records (with S5 and S9/S8/S7 ends).
  for (const char *offset : {"0x0100", "0x012000", "0x01200000"}) {
    ASSERT_EQ(runTool({"srec_cat", dir.file("in.bin"), "-binary", "-offset", offset, "-o",
                       dir.file("cat.srec"), "-Motorola"},
                      log),
              0)
        << log;
    SrecordMemory image(0, 0x7FFFFFFF, "in");
    image.read(dir.file("cat.srec"));
    expectRuns(image, {{std::stoll(offset, nullptr, 16), bytes}});
  }
}

TEST_F(SrecordInterop, RawBinaryWrittenByTheLibraryMatchesObjcopy) {
  const Bytes bytes = randomBytes(20000, 9);
  SrecordMemory image(0, 0x7FFFFFFF, "lib");
  image.add(0, bytes);
  ASSERT_TRUE(image.write(dir.file("lib.flash")));
  ASSERT_EQ(
      runTool({"objcopy", "-I", "srec", "-O", "binary", dir.file("lib.flash"), dir.file("objcopy.bin")}, log),
      0)
      << log;
  BinaryMemory raw(0, 0x7FFFFFFE, "raw");
  raw.add(0, *image.get(0));
  ASSERT_TRUE(raw.write(dir.file("lib.bin")));
  EXPECT_TRUE(readBytes(dir.file("lib.bin")) == readBytes(dir.file("objcopy.bin")));
}
