// The converter's refusals: command lines outside the call forms, bad or missing inputs,
// unwritable outputs; each with its message, its exit status and no output left behind.
#include <gtest/gtest.h>

#include "CallForm.h"
#include "CofTexts.h"
#include "ConverterFixture.h"
#include "Messages.h"

namespace vantrel::suite {
namespace {

using namespace testing;

TEST(PrexaCpfUsage, CommandLinesOutsideTheCallForms) {
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"--help"},
      {"--convert", "a.sof", "a.rbf"},
      {"--no_banner", "--convert"},
      {"--no_banner", "--convert", "a.sof"},
      {"--no_banner", "--convert", "a.sof", "a.bin"},
      {"--no_banner", "--convert", "a.sof", "a.rbf", "b.rbf"},
      {"--no_banner", "--convert", "--option=", "a.sof", "a.rbf"},
      {"--no_banner", "--convert", "--option=o.opt", "a.pof", "a.rpd"},
      {"--no_banner", "--convert", "--device=SPROM128", "a.sof", "a.pof"},
      {"--no_banner", "--convert", "--device=SPROM128", "--option=o.opt", "a.sof", "a.rbf"},
      {"--no_banner", "--convert", "--option=o.opt", "--device=SPROM128", "a.sof", "a.pof"},
      {"--no_banner", "--convert", "--verbose", "a.sof", "a.rbf"},
      {"-c"},
      {"-c", "a.pof"},
      {"-c", "a.cof", "--option"},
      {"-c", "a.cof", "--option=o.opt"},
      {"-c", "a.pof", "a.hex"},
      {"-c", "a.sof", "a.hexout"},
  };
  for (const auto &args : bad) {
    const ToolRun run = cpf(args);
    EXPECT_EQ(run.status, EXIT_USAGE) << ::testing::PrintToString(args);
    EXPECT_EQ(run.err, PREXA_CPF_USAGE) << ::testing::PrintToString(args);
    EXPECT_EQ(run.out, "");
  }
}

TEST(PrexaCpfUsage, UnknownDeviceIsNamed) {
  const ToolRun run =
      cpf({"--no_banner", "--convert", "--device=SPROM64", "--option=o.opt", "a.sof", "a.pof"});
  EXPECT_EQ(run.status, EXIT_USAGE);
  EXPECT_EQ(run.err, std::string("Error: ") + msg::UNKNOWN_DEVICE + "SPROM64\n" + PREXA_CPF_USAGE);
}

TEST(PrexaCpfUsage, ExtensionsInAnyCase) {
  std::string ignored;
  const auto form = parseCallForm({"--no_banner", "--convert", "A.SOF", "B.Rbf"}, ignored);
  ASSERT_TRUE(form.has_value());
  EXPECT_EQ(form->kind, CallForm::Kind::Parallel);
  const auto loader = parseCallForm({"-c", "X.COF", "--option", "x.cof.opt"}, ignored);
  ASSERT_TRUE(loader.has_value());
  EXPECT_EQ(loader->kind, CallForm::Kind::LoaderFirst);
  EXPECT_EQ(loader->optionsFile, "x.cof.opt");
}

/// Expects a failed run with exactly this message, and the folder unchanged.
void expectFailure(ConverterTest &t, ScratchDir &dir, const std::vector<std::string> &args,
                   const std::string &message) {
  (void)t;
  const std::vector<std::string> before = dir.list();
  const ToolRun run = cpf(args);
  EXPECT_EQ(run.status, EXIT_FAILED) << ::testing::PrintToString(args);
  EXPECT_EQ(run.err, "Error: " + message + "\n");
  EXPECT_EQ(dir.list(), before) << ::testing::PrintToString(args);
}

TEST_F(ConverterTest, MissingAndInvalidInputs) {
  expectFailure(*this, dir_, {"--no_banner", "--convert", "none.sof", "x.rbf"},
                std::string(msg::CANNOT_READ) + "none.sof");
  writeFile("bad.sof", std::string("NOT A SOF"));
  expectFailure(*this, dir_, {"--no_banner", "--convert", "bad.sof", "x.rbf"},
                std::string("bad.sof: ") + msg::SOF_NO_SIGNATURE);
  writeFile("short.sof", readFile("r3.sof").substr(0, 100));
  expectFailure(*this, dir_, {"--no_banner", "--convert", "short.sof", "x.rbf"},
                std::string("short.sof: ") + msg::SOF_ENDS_EARLY);
  writeDesign("alien.sof", "ZZ9000", 100, true);
  expectFailure(*this, dir_, {"--no_banner", "--convert", "alien.sof", "x.rbf"},
                std::string("alien.sof: ") + msg::UNKNOWN_PART + "ZZ9000");
  expectFailure(*this, dir_,
                {"--no_banner", "--convert", "--device=SPROM128", "--option=serial.opt", "t1.sof", "t1.pof"},
                std::string("t1.sof: ") + msg::SERIAL_REFUSED + "KX1T10");
}

TEST_F(ConverterTest, BadOptionsFiles) {
  expectFailure(*this, dir_, {"--no_banner", "--convert", "--option=none.opt", "r3.sof", "x.rbf"},
                std::string(msg::CANNOT_READ) + "none.opt");
  writeFile("bad.opt", std::string("BITSTREAM_COMPRESSION=ON\nTURBO=ON\n"));
  expectFailure(*this, dir_, {"--no_banner", "--convert", "--option=bad.opt", "r3.sof", "x.rbf"},
                std::string("bad.opt: line 2 ") + msg::OPTIONS_UNKNOWN + "TURBO");
  expectFailure(*this, dir_, {"-c", "x.cof", "--option", "bad.opt"},
                std::string("bad.opt: line 2 ") + msg::OPTIONS_UNKNOWN + "TURBO");
}

TEST_F(ConverterTest, BadDescriptions) {
  expectFailure(*this, dir_, {"-c", "none.cof"}, std::string(msg::CANNOT_READ) + "none.cof");
  writeFile("amp.cof", activeParallelCof("a&b.sof", "x.rbf"));
  expectFailure(*this, dir_, {"--no_banner", "--convert", "amp.cof"},
                std::string("amp.cof: ") + msg::COF_MALFORMED + "line 11: '&' that starts no reference");
  writeFile("nosof.cof", kldCof("none.sof", "n.pof", "0x20000", "0x18000", "6"));
  expectFailure(*this, dir_, {"-c", "nosof.cof"}, std::string(msg::CANNOT_READ) + "none.sof");
  writeFile("overlap.cof", kldCof("r3.sof", "o.pof", "0x20000", "0x20100", "6"));
  expectFailure(*this, dir_, {"-c", "overlap.cof"},
                std::string("overlap.cof: ") + msg::OPTION_BITS_OVERLAP +
                    "0x00020100-0x0002011F and 0x00020000-0x00024E7F");
  writeFile("big.cof", replaceAll(kldCof("r3.sof", "b.pof", "0x1F000", "0x0", "6"), "CFI_1GB", "CFI_1MB"));
  expectFailure(*this, dir_, {"-c", "big.cof"},
                std::string("the design (20096 bytes at 0x0001F000) ") + msg::DOES_NOT_FIT +
                    "CFI_1MB (131072 bytes)");
  writeFile("opt.cof", replaceAll(kldCof("r3.sof", "b.pof", "0", "0x1FFF0", "6"), "CFI_1GB", "CFI_1MB"));
  expectFailure(*this, dir_, {"-c", "opt.cof"},
                std::string("the option bits (32 bytes at 0x0001FFF0) ") + msg::DOES_NOT_FIT +
                    "CFI_1MB (131072 bytes)");
}

TEST_F(ConverterTest, BadProgrammingObjectFiles) {
  expectFailure(*this, dir_, {"--no_banner", "--convert", "none.pof", "x.rpd"},
                std::string(msg::CANNOT_READ) + "none.pof");
  writeFile("r3.cof", kldCof("r3.sof", "loader.pof", "0x20000", "0x18000", "6"));
  ASSERT_EQ(cpf({"-c", "r3.cof"}).status, 0);
  expectFailure(*this, dir_, {"--no_banner", "--convert", "loader.pof", "x.rpd"},
                std::string("loader.pof: ") + msg::POF_NOT_SERIAL);
  std::string damaged = readFile("loader.pof");
  damaged[40] = static_cast<char>(damaged[40] ^ 0x10);
  writeFile("damaged.pof", damaged);
  expectFailure(*this, dir_, {"-c", "damaged.pof", "x.hexout"},
                std::string("damaged.pof: ") + msg::POF_DAMAGED);
  writeFile("text.pof", std::string("hello"));
  expectFailure(*this, dir_, {"-c", "text.pof", "x.hexout"}, std::string("text.pof: ") + msg::POF_NOT_POF);
}

TEST_F(ConverterTest, UnwritableOutputLeavesNothing) {
  expectFailure(*this, dir_, {"--no_banner", "--convert", "r3.sof", "nodir/x.rbf"},
                std::string(msg::CANNOT_WRITE) + "nodir/x.rbf");
  writeFile("k.cof", kldCof("r3.sof", "nodir/k.pof", "0x20000", "0x18000", "6"));
  expectFailure(*this, dir_, {"-c", "k.cof"}, std::string(msg::CANNOT_WRITE) + "nodir/k.pof");
  EXPECT_FALSE(exists("k.pof"));
}

// The flows judge a run by the files it leaves; a failed run must not leave an earlier
// run's outputs under the names it was asked to write.
TEST_F(ConverterTest, FailedRunRemovesStaleOutputs) {
  writeFile("x.rbf", std::string("stale"));
  writeFile("x.map", std::string("stale"));
  const ToolRun run = cpf({"--no_banner", "--convert", "--option=serial.opt", "none.sof", "x.rbf"});
  EXPECT_EQ(run.status, EXIT_FAILED);
  EXPECT_FALSE(exists("x.rbf"));
  EXPECT_FALSE(exists("x.map"));

  writeFile("s.pof", std::string("stale"));
  writeFile("s.map", std::string("stale"));
  writeFile("s.rpd", std::string("stale"));
  EXPECT_EQ(
      cpf({"--no_banner", "--convert", "--device=SPROM128", "--option=serial.opt", "t1.sof", "s.pof"}).status,
      EXIT_FAILED);
  EXPECT_FALSE(exists("s.pof"));
  EXPECT_FALSE(exists("s.map"));
  EXPECT_EQ(cpf({"--no_banner", "--convert", "s.pof", "s.rpd"}).status, EXIT_FAILED);
  EXPECT_FALSE(exists("s.rpd"));

  writeFile("h.hexout", std::string("stale"));
  EXPECT_EQ(cpf({"-c", "none.pof", "h.hexout"}).status, EXIT_FAILED);
  EXPECT_FALSE(exists("h.hexout"));
}

} // namespace
} // namespace vantrel::suite
