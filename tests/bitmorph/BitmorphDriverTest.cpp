// The driver run end to end as a child process with the test converter: the validation
// matrix with messages, exit codes and help; base names; the flows and their clean-up.
#include "DriverRunner.h"
#include "SofBuilder.h"
#include "support/ScratchDir.h"

#include "bitmorph/Bitmorph.h"
#include "bitmorph/CauseMessages.h"
#include "bitmorph/Messages.h"
#include "platform/PlatformMessages.h"
#include "platform/file.h"
#include "platform/process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

namespace vantrel::bitmorph {
namespace {

namespace msg = messages;
constexpr bool WINDOWS = BM_TEST_WINDOWS != 0;
using test::DriverResult;
using test::hostPath;
using test::runDriver;
using test::SofBuilder;
using vantrel::testing::ScratchDir;

std::string severe(const std::string &text) {
  return "(SEVERE) bitmorph: " + text;
}

/// Index of the first line equal to text, or -1.
int lineIndex(const DriverResult &r, const std::string &text) {
  const auto it = std::find(r.lines.begin(), r.lines.end(), text);
  return it == r.lines.end() ? -1 : static_cast<int>(it - r.lines.begin());
}

/// Index of the first line starting with prefix, or -1.
int linePrefixIndex(const DriverResult &r, const std::string &prefix) {
  for (std::size_t i = 0; i < r.lines.size(); ++i) {
    if (r.lines[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
  }
  return -1;
}

/// The severe lines of the output, in order.
std::vector<std::string> severeLines(const DriverResult &r) {
  std::vector<std::string> lines;
  for (const auto &line : r.lines) {
    if (line.rfind("(SEVERE) ", 0) == 0) lines.push_back(line);
  }
  return lines;
}

/// Checks that the messages appear as the only severe lines, in order, followed by help.
void expectRefused(const DriverResult &r, int code, const std::vector<std::string> &messages) {
  EXPECT_EQ(r.exitCode, code) << r.out;
  std::vector<std::string> expected;
  for (const auto &m : messages)
    expected.push_back(severe(m));
  EXPECT_EQ(severeLines(r), expected) << r.out;
  const int lastMessage = lineIndex(r, expected.empty() ? "" : expected.back());
  const int help = linePrefixIndex(r, "usage: bitmorph");
  EXPECT_GE(help, 0) << r.out;
  EXPECT_GT(help, lastMessage) << r.out;
}

class DriverTest : public ::testing::Test {
protected:
  void SetUp() override {
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.path());
  }
  void TearDown() override { std::filesystem::current_path(previous_); }

  /// Writes a SOF with the part name in the scratch folder; returns its name.
  std::string sof(const std::string &name, const std::string &part) {
    vantrel::testing::writeBytes(dir_.file(name), SofBuilder(true).record(1, "xx").partName(part).text());
    return name;
  }
  std::string read(const std::string &name) { return vantrel::testing::readBytes(dir_.file(name)); }
  bool exists(const std::string &name) { return std::filesystem::exists(dir_.file(name)); }
  std::vector<std::string> files() { return dir_.list(); }
  std::string logFile() { return "BM_FAKE_LOG=" + hostPath(dir_.file("calls.log")); }
  std::vector<std::string> calls() {
    auto lines = test::splitLines(read("calls.log"));
    std::filesystem::remove(dir_.file("calls.log"));
    return lines;
  }

  ScratchDir dir_;
  std::filesystem::path previous_;
};

// ---- start-up ---------------------------------------------------------------------------

TEST_F(DriverTest, HelpExitsWithZero) {
  const auto r = runDriver({"--help"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_GE(linePrefixIndex(r, "usage: bitmorph"), 0) << r.out;
  EXPECT_TRUE(severeLines(r).empty());
}

TEST_F(DriverTest, RejectedCommandLineExitsWithCmdError) {
  const auto r = runDriver({"--input"});
  EXPECT_EQ(r.exitCode, Bitmorph::CMD_ERROR) << r.out;
  EXPECT_GE(linePrefixIndex(r, "usage: bitmorph"), 0) << r.out;
  EXPECT_NE(r.out.find("Exception parsing command line: "), std::string::npos) << r.out;
}

TEST_F(DriverTest, UnopenableLogFileExitsWithCmdError) {
  const auto r = runDriver({"--log=" + hostPath(dir_.file("no/such/dir/x.log")), "--input=a.sof"});
  EXPECT_EQ(r.exitCode, Bitmorph::CMD_ERROR) << r.out;
  EXPECT_NE(r.out.find("Unable to open the logfile: "), std::string::npos) << r.out;
}

// ---- validation matrix --------------------------------------------------------------------

TEST_F(DriverTest, NoInputAndNoOutput) {
  expectRefused(runDriver({"--offset=0"}), Bitmorph::OPTION_ERROR, {msg::NO_INPUT, msg::NO_OUTPUT});
}

TEST_F(DriverTest, NoInputWithOutput) {
  expectRefused(runDriver({"--output=x.flash", "--offset=0"}), Bitmorph::OPTION_ERROR, {msg::NO_INPUT});
}

TEST_F(DriverTest, UnknownPartNamePrintsFooLineAndIsRefused) {
  sof("odd.sof", "XYZ42");
  const auto r = runDriver({"--input=odd.sof", "--offset=0"});
  EXPECT_EQ(r.exitCode, Bitmorph::INPUT_ERROR);
  // The "foo:" line has no line end: the next log line continues it.
  ASSERT_FALSE(r.lines.empty());
  EXPECT_EQ(r.lines[0].rfind("foo:10MXYZ42", 0), 0u) << r.out;
  EXPECT_EQ(test::cleanLogLine(r.lines[0].substr(12)), severe(msg::UNRECOGNIZED_FAMILY)) << r.out;
  EXPECT_GT(linePrefixIndex(r, "usage: bitmorph"), 0) << r.out;
}

TEST_F(DriverTest, SerialModeRefusedForTessary) {
  sof("t.sof", "KX1T20");
  const std::string cause = "The design in t.sof is for part KX1T20, a Tessary device, which has no serial "
                            "configuration flash mode";
  expectRefused(runDriver({"--input=t.sof", "--sprom"}), Bitmorph::INPUT_ERROR, {cause, msg::SPROM_FAMILY});
  expectRefused(runDriver({"--input=t.sof", "--qprom128"}), Bitmorph::INPUT_ERROR,
                {cause, msg::SPROM_FAMILY});
}

TEST_F(DriverTest, MissingOffset) {
  sof("top.sof", "KX2R");
  expectRefused(runDriver({"--input=top.sof"}), Bitmorph::OPTION_ERROR, {msg::NO_OFFSET});
}

TEST_F(DriverTest, UnparsableOffsetComplainsThenMissingOffset) {
  sof("top.sof", "KX2R");
  const auto r = runDriver({"--input=top.sof", "--offset=zz"});
  expectRefused(r, Bitmorph::OPTION_ERROR, {msg::NO_OFFSET});
  EXPECT_NE(r.err.find("Expected integer value for option 'offset'"), std::string::npos) << r.err;
}

TEST_F(DriverTest, CompressionRefusedForRavelle) {
  sof("r.sof", "KX1R");
  const std::string cause = "The design in r.sof is for part KX1R, a Ravelle device, which does not take "
                            "compressed images";
  expectRefused(runDriver({"--input=r.sof", "--offset=0", "--compress"}), Bitmorph::INPUT_ERROR,
                {cause, msg::COMPRESSION_FAMILY});
  expectRefused(runDriver({"--input=r.sof", "--sprom", "-c"}), Bitmorph::INPUT_ERROR,
                {cause, msg::COMPRESSION_FAMILY});
}

TEST_F(DriverTest, KldWithoutOptionBitGivesBothMessages) {
  sof("top.sof", "KX2R");
  expectRefused(runDriver({"--input=top.sof", "--offset=0", "--kld", "--programmingmode=FPP"}),
                Bitmorph::OPTION_ERROR, {msg::KLD_NO_OPTIONBIT, msg::KLD_BAD_OPTIONBIT});
}

TEST_F(DriverTest, KldWithoutProgrammingMode) {
  sof("top.sof", "KX2R");
  expectRefused(runDriver({"--input=top.sof", "--offset=0", "--kld", "--optionbit=0x18000"}),
                Bitmorph::OPTION_ERROR, {msg::KLD_NO_PROGRAMMINGMODE});
}

TEST_F(DriverTest, KldProgrammingModeIsCaseSensitive) {
  sof("top.sof", "KX2R");
  expectRefused(
      runDriver({"--input=top.sof", "--offset=0", "--kld", "--optionbit=0x18000", "--programmingmode=fpp"}),
      Bitmorph::OPTION_ERROR, {msg::KLD_BAD_PROGRAMMINGMODE});
}

TEST_F(DriverTest, KldOptionBitMinusOneOrNotANumber) {
  sof("top.sof", "KX2R");
  expectRefused(
      runDriver({"--input=top.sof", "--offset=0", "--kld", "--optionbit=xyz", "--programmingmode=PS"}),
      Bitmorph::OPTION_ERROR, {msg::KLD_BAD_OPTIONBIT});
}

TEST_F(DriverTest, OptionBitWithoutKld) {
  sof("top.sof", "KX2R");
  expectRefused(runDriver({"--input=top.sof", "--offset=0", "--optionbit=0x18000"}), Bitmorph::OPTION_ERROR,
                {msg::OPTIONBIT_WITHOUT_KLD});
}

TEST_F(DriverTest, KldWithActiveParallel) {
  sof("top.sof", "KX2R");
  expectRefused(runDriver({"--input=top.sof", "--offset=0", "--kld", "--optionbit=0x18000",
                           "--programmingmode=PS", "-a"}),
                Bitmorph::OPTION_ERROR, {msg::KLD_WITH_ACTIVEPARALLEL});
}

TEST_F(DriverTest, KldCheckOverwritesInputErrorCode) {
  vantrel::testing::writeBytes(dir_.file("bad.sof"), "nope");
  expectRefused(runDriver({"--input=bad.sof", "--offset=0", "--kld", "--programmingmode=FPP"}),
                Bitmorph::OPTION_ERROR,
                {std::string("Input file bad.sof: not a SOF file: ") + msg::SOF_BAD_SIGNATURE,
                 msg::INPUT_NOT_SOF, msg::KLD_NO_OPTIONBIT, msg::KLD_BAD_OPTIONBIT});
}

TEST_F(DriverTest, OutputNamingAnIntermediateIsRefused) {
  sof("top.sof", "KX2R");
  expectRefused(runDriver({"--input=top.sof", "--output=top.rbf", "--offset=0"}), Bitmorph::OPTION_ERROR,
                {std::string(msg::OUTPUT_CLASHES) + "top.rbf"});
  expectRefused(runDriver({"--input=top.sof", "--output=top.sof", "--offset=0"}), Bitmorph::OPTION_ERROR,
                {std::string(msg::OUTPUT_CLASHES) + "top.sof"});
  expectRefused(runDriver({"--input=top.sof", "--output=top.map", "--sprom"}), Bitmorph::OPTION_ERROR,
                {std::string(msg::OUTPUT_CLASHES) + "top.map"});
  expectRefused(runDriver({"--input=top.sof", "--output=x.flash", "--options=x.flash", "--sprom"}),
                Bitmorph::OPTION_ERROR, {std::string(msg::OUTPUT_CLASHES) + "x.flash"});
  // The run's lock file is the run's too: an output of that name would be its own lock.
  expectRefused(runDriver({"--input=top.sof", "--output=top.lock", "--offset=0"}), Bitmorph::OPTION_ERROR,
                {std::string(msg::OUTPUT_CLASHES) + "top.lock"});
  EXPECT_EQ(files(), (std::vector<std::string>{"top.sof"}));
}

TEST_F(DriverTest, OptionsFileNamingTheInputIsRefused) {
  sof("top.sof", "KX2R");
  expectRefused(runDriver({"--input=top.sof", "--options=top.sof", "--sprom"}), Bitmorph::OPTION_ERROR,
                {std::string(msg::INPUT_CLASHES) + "top.sof"});
  EXPECT_EQ(read("top.sof"), SofBuilder(true).record(1, "xx").partName("KX2R").text());
  // Nor may the lock file of the run's base name be the input.
  sof("top.lock", "KX2R");
  expectRefused(runDriver({"--input=top.lock", "--output=top.flash", "--offset=0"}), Bitmorph::OPTION_ERROR,
                {std::string(msg::INPUT_CLASHES) + "top.lock"});
}

TEST_F(DriverTest, ALogFileNamingADesignOrAFileOfTheRunIsRefusedHoweverSpelled) {
  sof("top.sof", "KX2R");
  sof("top.bin", "KX2R");
  std::filesystem::create_directory(dir_.file("x"));
  const std::string here = hostPath(dir_.path().string()) + (WINDOWS ? "\\" : "/");
  const std::vector<std::string> runs = {"--input=top.bin", "--offset=0"};
  const struct {
    std::vector<std::string> args;
    std::string log;
  } cases[] = {
      {{"-o", "x.flash", "--offset=0"}, "top.sof"}, // -l typed for -i: a design, read or not
      {runs, "./top.bin"},                          // the input
      {runs, "x/../top.flash"},                     // the output, not there yet
      {runs, here + "top.rbf"},                     // an intermediate
      {runs, "./top.lock"},                         // the lock file
      {{"--input=top.bin", "--sprom", "--options=x/o.opt"}, here + "x/o.opt"},
  };
  for (const auto &c : cases) {
    std::vector<std::string> args = {"-l", c.log};
    args.insert(args.end(), c.args.begin(), c.args.end());
    expectRefused(runDriver(args), Bitmorph::OPTION_ERROR, {msg::LOG_CLASHES + c.log});
  }
  EXPECT_EQ(files(), (std::vector<std::string>{"top.bin", "top.sof", "x"}));
  EXPECT_EQ(read("top.sof"), read("top.bin"));
  EXPECT_TRUE(std::filesystem::is_empty(dir_.file("x")));
}

// ---- what a run says about its arguments and failures ------------------------------------

/// The warning lines a run printed, in order.
std::vector<std::string> warningLines(const DriverResult &r) {
  std::vector<std::string> lines;
  for (const auto &line : r.lines) {
    if (line.rfind(msg::WARNING, 0) == 0) lines.push_back(line);
  }
  return lines;
}

TEST_F(DriverTest, ArgumentsTheRunDoesNotActOnAreWarnedAboutAndTheRunGoesOn) {
  sof("top.sof", "KX2R");
  const std::string w = msg::WARNING;
  const std::string unrecognized = msg::UNRECOGNIZED_ARGUMENT;
  const std::string serialFlow = std::string(msg::NOT_READ_BY) + "serial flow (--qprom wins)";
  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> warnings;
  };
  const Case cases[] = {
      // A mistyped option left over alone is never the input SOF.
      {{"--input=top.sof", "--offset=0", "--compres"}, {unrecognized + "--compres"}},
      {{"-x", "--input=top.sof", "--version", "--offset=0"},
       {unrecognized + "-x", unrecognized + "--version"}},
      {{"top.sof", "b.sof", "--offset=0", "--compress=0"},
       {msg::UNUSED_ARGUMENT + std::string("b.sof"), msg::UNUSED_ARGUMENT + std::string("0")}},
      {{"--input=top.sof", "--sprom", "--offset=0x100"}, {w + msg::OFFSET_IN_SERIAL_MODE}},
      {{"--input=top.sof", "--qprom", "-c", "--kld", "--optionbit=0x10", "--programmingmode=PS", "--sprom"},
       {w + "--sprom and --qprom given together: the run uses --qprom", w + "--kld" + serialFlow,
        w + "--optionbit" + serialFlow, w + "--programmingmode" + serialFlow,
        w + msg::SERIAL_ALWAYS_COMPRESSED}},
      {{"--input=top.sof", "--offset=0", "--programmingmode=PS", "--options=o.opt"},
       {w + "--options" + msg::NOT_READ_BY + msg::PARALLEL_FLOW_WITHOUT_COMPRESS,
        w + msg::PROGRAMMINGMODE_WITHOUT_KLD}},
      {{"--input=top.sof", "--output=x.bin", "--offset=0", "--kld", "--optionbit=0x18000",
        "--programmingmode=FPP", "--timestamp", "--options=o.opt"},
       {w + msg::TIMESTAMP_WITH_KLD, w + "--options" + msg::NOT_READ_BY + msg::LOADER_FLOW,
        w + "--output=x.bin: the loader flow writes x.flash and x.map.flash"}},
      {{"--input=top.sof", "--offset=0x100", "-o", "a.flash", "--offset=0x200", "--output=b.flash",
        "--offset=0x100"},
       {w + "--output given more than once: the first value counts, a.flash; ignored: b.flash",
        w + "--offset given more than once: the first value counts, 0x100; ignored: 0x200"}},
      {{"--input=top.sof", "--offset=0", "--offset=0", "-c", "--sprom", "--sprom"},
       {w + msg::OFFSET_IN_SERIAL_MODE, w + msg::SERIAL_ALWAYS_COMPRESSED}},
  };
  for (const Case &c : cases) {
    const auto r = runDriver(c.args);
    const std::string name = c.args.back();
    EXPECT_EQ(r.exitCode, 0) << name << r.out;
    EXPECT_EQ(warningLines(r), c.warnings) << name << r.out;
  }
  // What the warnings say is what the runs did: the first value counted, the loader flow
  // wrote its own names.
  EXPECT_EQ(test::decodeSrecords(read("a.flash")).bytes.begin()->first, 0x100u);
  EXPECT_FALSE(exists("b.flash"));
  EXPECT_TRUE(exists("x.flash") && exists("x.map.flash") && !exists("x.bin"));
}

TEST_F(DriverTest, FailuresNameTheirCauseBeforeTheDesignsLines) {
  sof("top.sof", "KX2R");
  sof("t.sof", "KX1T20");
  vantrel::testing::writeBytes(dir_.file("text.sof"), "hello world, not a SOF");
  vantrel::testing::writeBytes(dir_.file("cut.sof"), SofBuilder(true).text().substr(0, 10));
  vantrel::testing::writeBytes(dir_.file("nameless.sof"), SofBuilder(true).record(1, "xx").text());
  vantrel::testing::writeBytes(dir_.file("negative.sof"),
                               SofBuilder(false).header(2, 0x80000000u).raw("KX2T").text());
  vantrel::testing::writeBytes(dir_.file("long.sof"), SofBuilder(true).header(2, 900).raw("KX2T").text());
  std::filesystem::create_directory(dir_.file("dir.sof"));
  // A converter in a PATH entry the search skips.
  std::filesystem::create_directory(dir_.file("tools"));
  const std::string converter = std::string("prexa_cpf") + (WINDOWS ? ".exe" : "");
  std::filesystem::copy_file(hostPath(BM_FAKE_BIN) + "/" + converter, dir_.file("tools/" + converter));
  const std::string input = std::string(msg::INPUT_FILE);
  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> env;
    int code;
    std::vector<std::string> severe;
    std::string pathFront = "";
  };
  const auto sofCase = [&](const std::string &file, const std::string &cause) {
    return Case{{"--input=" + file, "--offset=0"},
                {},
                Bitmorph::INPUT_ERROR,
                {input + file + cause, msg::INPUT_NOT_SOF}};
  };
  const std::string notASof = msg::SOF_NOT_A_SOF;
  const Case cases[] = {
      sofCase("absent.sof", msg::SOF_NOT_FOUND),
      sofCase("dir.sof", msg::SOF_IS_FOLDER),
      sofCase("text.sof", notASof + msg::SOF_BAD_SIGNATURE),
      sofCase("cut.sof", notASof + "it ends at byte 10, inside its header"),
      sofCase("nameless.sof", notASof + "it ends at byte 20 without a part-name record"),
      sofCase("negative.sof", notASof + "its part-name record at byte 12 claims -2147483648 bytes"),
      sofCase("long.sof",
              notASof +
                  "its part-name record at byte 12 claims 900 bytes, past the end of the file at byte 22"),
      {{"--input=t.sof", "--qprom"},
       {},
       Bitmorph::INPUT_ERROR,
       {"The design in t.sof is for part KX1T20, a Tessary device, which has no serial configuration flash "
        "mode",
        msg::SPROM_FAMILY}},
      {{"--input=t.sof", "--offset=0", "-c"},
       {},
       Bitmorph::INPUT_ERROR,
       {"The design in t.sof is for part KX1T20, a Tessary device, which does not take compressed images",
        msg::COMPRESSION_FAMILY}},
      {{"--input=top.sof", "--offset=0x7FFFFFF0"},
       {"BM_FAKE_SIZE=100"},
       Bitmorph::DATA_ERROR,
       {"The image of 100 bytes placed at 0x7FFFFFF0 would end at 0x80000053, past the flash window 0x0 to "
        "0x7FFFFFFE",
        msg::GENERATE_FAILED}},
      {{"--input=top.sof", "--offset=0x80000000"},
       {"BM_FAKE_SIZE=100"},
       Bitmorph::DATA_ERROR,
       {"The image of 100 bytes placed at 0x80000000 would start outside the flash window 0x0 to 0x7FFFFFFE",
        msg::GENERATE_FAILED}},
      {{"--input=top.sof", "--sprom"},
       {"BM_FAKE_SIZE=100", "BM_FAKE_RPD_EXTRA=-10"},
       Bitmorph::DATA_ERROR,
       {"The serial design size of 100 bytes is larger than the converter's image of 90 bytes",
        msg::GENERATE_FAILED}},
      {{"--input=top.sof", "--offset=0"},
       {},
       Bitmorph::INPUT_ERROR,
       {"prexa_cpf: not found on the search path (PATH entries that are empty, relative or the current "
        "folder "
        "are never searched, and \"tools\" holds one)",
        "Read error: File: top.rbf not found, exiting", "Error retrieving data from top.rbf"},
       "tools"},
  };
  for (const Case &c : cases) {
    const auto r = runDriver(c.args, c.env, c.pathFront.empty(), c.pathFront);
    std::vector<std::string> expected;
    for (const auto &line : c.severe)
      expected.push_back(severe(line));
    EXPECT_EQ(r.exitCode, c.code) << c.args[0] << r.out;
    EXPECT_EQ(severeLines(r), expected) << c.args[0] << r.out;
  }
  EXPECT_FALSE(exists("top.flash"));
}

// ---- base names -------------------------------------------------------------------------

TEST_F(DriverTest, LeftOverSofArgumentIsTheInputAndNamesTheOutput) {
  sof("top.sof", "KX2R");
  const auto r = runDriver({"top.sof", "--offset=0"});
  EXPECT_EQ(r.exitCode, 0) << r.out;
  EXPECT_EQ(files(), (std::vector<std::string>{"top.flash", "top.sof"}));
}

TEST_F(DriverTest, OutputWithOtherExtensionNamesTheIntermediates) {
  sof("top.sof", "KX2R");
  std::filesystem::create_directory(dir_.file("out"));
  const auto r = runDriver({"--input=top.sof", "--output=out/img.bin", "--offset=0", "--save"}, {logFile()});
  EXPECT_EQ(r.exitCode, 0) << r.out;
  EXPECT_TRUE(exists("out/img.bin"));
  EXPECT_TRUE(exists("out/img.rbf"));
  EXPECT_EQ(calls(), (std::vector<std::string>{"prexa_cpf|--no_banner|--convert|top.sof|out/img.rbf"}));
}

TEST_F(DriverTest, DotOnlyInADirectoryName) {
  // The folder keeps its dot: the base name is cut in the last component only.
  EXPECT_EQ(Bitmorph::deriveBaseName(std::string("build.old/top"), std::nullopt), "build.old/top");
  EXPECT_EQ(Bitmorph::deriveBaseName(std::string("top.sof"), std::string("out/img.bin")), "out/img");
  EXPECT_EQ(Bitmorph::deriveBaseName(std::nullopt, std::string("x")), "x");
  EXPECT_EQ(Bitmorph::deriveBaseName(std::nullopt, std::nullopt), std::nullopt);
}

TEST_F(DriverTest, OutputInsideADottedFolderKeepsEveryFileInThatFolder) {
  sof("top.sof", "KX2R");
  // A user's folder: a space, upper case, an apostrophe and dots; on Linux also characters
  // outside ASCII (Windows takes them once its file layer calls the wide functions).
  const std::string folder =
      WINDOWS ? "Proj's v2.0 Dir"
              : "Proj's v2.0 \xC3\x89t\xC3\xA9 \xE2\x82\xAC \xD0\x96 \xE6\x97\xA5\xE6\x9C\xAC";
  std::filesystem::create_directory(dir_.file(folder));
  // An absolute path; under Wine in the drive-letter form with backslashes.
  const std::string output = "--output=" + hostPath(dir_.file(folder + "/Top File"));
  for (const auto &args : std::vector<std::vector<std::string>>{
           {"--offset=0", "-c"},
           {"--sprom"},
           {"-a", "--offset=0x100"},
           {"--kld", "--offset=0x20000", "--optionbit=0x18000", "--programmingmode=FPP", "-c"}}) {
    std::vector<std::string> command = {"--input=top.sof", output, "--save"};
    command.insert(command.end(), args.begin(), args.end());
    const auto r = runDriver(command);
    ASSERT_EQ(r.exitCode, 0) << args.front() << r.out;
  }
  EXPECT_EQ(files(), (std::vector<std::string>{folder, "top.sof"}));
  std::vector<std::string> inFolder;
  for (const auto &entry : std::filesystem::directory_iterator(dir_.file(folder)))
    inFolder.push_back(entry.path().filename().string());
  std::sort(inFolder.begin(), inFolder.end());
  EXPECT_EQ(inFolder,
            (std::vector<std::string>{"Top File", "Top File.cof", "Top File.cof.opt", "Top File.flash",
                                      "Top File.hexout", "Top File.map", "Top File.map.flash", "Top File.opt",
                                      "Top File.pof", "Top File.rbf", "Top File.rpd"}));
  EXPECT_EQ(test::decodeSrecords(read(folder + "/Top File")).header, "Top File");
}

TEST_F(DriverTest, BackslashInTheOutputNameSeparatesOnWindowsOnly) {
  sof("top.sof", "KX2R");
  if (WINDOWS) std::filesystem::create_directory(dir_.file("d$1"));
  const auto r = runDriver({"--input=top.sof", "--output=d$1\\x$0.flash", "--offset=0"});
  ASSERT_EQ(r.exitCode, 0) << r.out;
  if (WINDOWS) {
    EXPECT_EQ(test::decodeSrecords(read("d$1/x$0.flash")).header, "x$0.flash");
  } else {
    // On Linux the backslash is a character of the file's name, and the header keeps it.
    EXPECT_EQ(files(), (std::vector<std::string>{"d$1\\x$0.flash", "top.sof"}));
    EXPECT_EQ(test::decodeSrecords(read("d$1\\x$0.flash")).header, "d$1\\x$0.flash");
  }
}

// ---- parallel flow ------------------------------------------------------------------------

TEST_F(DriverTest, ParallelFlowPlacesTheImageAtTheOffset) {
  sof("top.sof", "KX4R");
  const auto r = runDriver({"--input=top.sof", "--output=top.flash", "--offset=0x20000"},
                           {"BM_FAKE_SIZE=100", logFile()});
  ASSERT_EQ(r.exitCode, 0) << r.out;
  EXPECT_EQ(calls(), (std::vector<std::string>{"prexa_cpf|--no_banner|--convert|top.sof|top.rbf"}));
  const auto flash = test::decodeSrecords(read("top.flash"));
  EXPECT_TRUE(flash.wellFormed);
  EXPECT_EQ(flash.header, "top.flash");
  ASSERT_EQ(flash.bytes.size(), 100u);
  const std::string image = test::fakeImage(100);
  for (std::size_t i = 0; i < 100; ++i) {
    ASSERT_EQ(flash.bytes.at(0x20000 + i), static_cast<std::uint8_t>(image[i])) << i;
  }
  EXPECT_EQ(files(), (std::vector<std::string>{"top.flash", "top.sof"}));
}

TEST_F(DriverTest, ParallelFlowWritesTheBootHeaderForNewerFamilies) {
  sof("top.sof", "5TGX");
  const auto r = runDriver({"--input=top.sof", "--offset=0"}, {"BM_FAKE_SIZE=40"});
  ASSERT_EQ(r.exitCode, 0) << r.out;
  const auto flash = test::decodeSrecords(read("top.flash"));
  const std::uint8_t header[12] = {0, 0, 0, 0, 0x83, 0x79, 0x73, 0x78, 0xFF, 0xFF, 0xFF, 0xFF};
  for (std::size_t i = 0; i < 12; ++i)
    EXPECT_EQ(flash.bytes.at(i), header[i]) << i;
  EXPECT_EQ(flash.bytes.at(12), static_cast<std::uint8_t>(test::fakeImage(40)[12]));
  EXPECT_EQ(flash.bytes.size(), 40u);
}

TEST_F(DriverTest, ParallelFlowWithCompressionKeepsTheOptionsFile) {
  sof("top.sof", "KX2R");
  const auto r = runDriver({"--input=top.sof", "--offset=0", "--compress"}, {logFile()});
  ASSERT_EQ(r.exitCode, 0) << r.out;
  EXPECT_EQ(calls(),
            (std::vector<std::string>{"prexa_cpf|--no_banner|--convert|--option=top.opt|top.sof|top.rbf"}));
  const std::string nl = BM_TEST_WINDOWS ? "\r\n" : "\n";
  EXPECT_EQ(read("top.opt"), "BITSTREAM_COMPRESSION=ON" + nl);
  EXPECT_EQ(files(), (std::vector<std::string>{"top.flash", "top.opt", "top.sof"}));
}

TEST_F(DriverTest, ActiveParallelFlowGoesThroughTheDescription) {
  sof("top.sof", "KX2R");
  const auto r = runDriver({"--input=top.sof", "--offset=0x100", "-a", "--save"}, {logFile()});
  ASSERT_EQ(r.exitCode, 0) << r.out;
  EXPECT_EQ(calls(), (std::vector<std::string>{"prexa_cpf|--no_banner|--convert|top.cof"}));
  EXPECT_NE(read("top.cof").find("<output_filename>top.rbf</output_filename>"), std::string::npos);
  EXPECT_EQ(files(), (std::vector<std::string>{"top.cof", "top.flash", "top.rbf", "top.sof"}));
  // The description left by --save is identical to this run's, so it is this run's file.
  const auto again = runDriver({"--input=top.sof", "--offset=0x100", "-a"});
  EXPECT_EQ(files(), (std::vector<std::string>{"top.flash", "top.sof"})) << again.out;
}

TEST_F(DriverTest, ConverterOutputIsEchoedUnlessQuietAndDebugShowsTheCommand) {
  sof("top.sof", "KX2R");
  const auto loud = runDriver({"--input=top.sof", "--offset=0", "--debug"}, {"BM_FAKE_MODE=noise"});
  EXPECT_GE(lineIndex(loud, "fake converter running"), 0) << loud.out;
  EXPECT_GE(lineIndex(loud, "prexa_cpf --no_banner --convert top.sof top.rbf "), 0) << loud.out;
  const auto quiet = runDriver({"--input=top.sof", "--offset=0", "-q"}, {"BM_FAKE_MODE=noise"});
  EXPECT_EQ(quiet.out, "");
  EXPECT_EQ(quiet.exitCode, 0);
}

TEST_F(DriverTest, VerboseLogsStartArgsAndDone) {
  sof("top.sof", "KX2R");
  const auto r = runDriver({"--input=top.sof", "--offset=0", "-v"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_GE(lineIndex(r, "(FINE) bitmorph: Starting"), 0) << r.out;
  EXPECT_GE(lineIndex(r, "(INFO) bitmorph: args = --input=top.sof --offset=0 -v"), 0) << r.out;
  EXPECT_GE(lineIndex(r, "(FINE) bitmorph: Done"), 0) << r.out;
}

TEST_F(DriverTest, TimestampHeaderIsTheInputModificationTime) {
  sof("top.sof", "KX2R");
  const auto r = runDriver({"--input=top.sof", "--offset=0", "--timestamp"});
  ASSERT_EQ(r.exitCode, 0) << r.out;
  const auto header = test::decodeSrecords(read("top.flash")).header;
  ASSERT_FALSE(header.empty());
  EXPECT_EQ(header, std::to_string(platform::modifiedMillis(dir_.file("top.sof"))));
  EXPECT_GT(std::stoll(header), 1600000000000LL); // a wall-clock time in milliseconds
  // 2300-01-01 00:00:00.250 UTC lies past what 64 bits of nanoseconds hold (2262).
  vantrel::testing::setModifiedTime(dir_.file("top.sof"), 10413792000, 250);
  ASSERT_EQ(runDriver({"--input=top.sof", "--offset=0", "--timestamp"}).exitCode, 0);
  EXPECT_EQ(test::decodeSrecords(read("top.flash")).header, "10413792000250");
}

// ---- failures of the converter and the output stage -------------------------------------

TEST_F(DriverTest, MissingConverterIsAReadErrorAndCleanUpStillRuns) {
  sof("top.sof", "KX2R");
  const auto r = runDriver({"--input=top.sof", "--offset=0"}, {}, false);
  EXPECT_EQ(r.exitCode, Bitmorph::INPUT_ERROR) << r.out;
  // The cause first, then the design's own lines.
  EXPECT_EQ(severeLines(r), (std::vector<std::string>{severe("prexa_cpf: not found on the search path"),
                                                      severe("Read error: File: top.rbf not found, exiting"),
                                                      severe("Error retrieving data from top.rbf")}));
}

TEST_F(DriverTest, AConverterAskingAQuestionGetsNoAnswerAndTheRunEnds) {
  sof("top.sof", "KX2R");
  // The tool stops with status 2 when its input neither answers nor ends within the tests'
  // bound: the run must not hold its input open.
  const auto r = runDriver({"--input=top.sof", "--offset=0"}, {"BM_FAKE_ASK=1"});
  EXPECT_EQ(r.exitCode, Bitmorph::INPUT_ERROR) << r.out;
  // The question is echoed as the tool wrote it, without a line end.
  const auto asked = r.out.find("Continue? [y/N] ");
  const auto cause = r.out.find(severe("prexa_cpf exited with status 1: fake tool: no answer, stopping"));
  EXPECT_LT(asked, cause) << r.out;
  EXPECT_NE(cause, std::string::npos) << r.out;
  EXPECT_EQ(r.lines.back(), severe("Error retrieving data from top.rbf"));
  EXPECT_EQ(files(), (std::vector<std::string>{"top.sof"}));
}

TEST_F(DriverTest, ConverterWritingNothingOrAnEmptyImage) {
  sof("top.sof", "KX2R");
  for (const char *mode : {"BM_FAKE_MODE=nooutput", "BM_FAKE_MODE=empty", "BM_FAKE_MODE=fail"}) {
    const auto r = runDriver({"--input=top.sof", "--offset=0"}, {mode});
    EXPECT_EQ(r.exitCode, Bitmorph::INPUT_ERROR) << mode << r.out;
    EXPECT_GE(lineIndex(r, severe("Error retrieving data from top.rbf")), 0) << r.out;
    EXPECT_EQ(files(), (std::vector<std::string>{"top.sof"})) << mode;
  }
}

TEST_F(DriverTest, StaleImageOfAnEarlierRunIsNeitherReadNorDeleted) {
  sof("top.sof", "KX2R");
  vantrel::testing::writeBytes(dir_.file("top.rbf"), "stale image of another design");
  vantrel::testing::writeBytes(dir_.file("top.map"), "the user's own notes");
  const auto r = runDriver({"--input=top.sof", "--offset=0"}, {"BM_FAKE_MODE=nooutput"});
  EXPECT_EQ(r.exitCode, Bitmorph::INPUT_ERROR) << r.out;
  EXPECT_GE(lineIndex(r, severe("Read error: File: top.rbf not found, exiting")), 0) << r.out;
  EXPECT_EQ(read("top.rbf"), "stale image of another design");
  EXPECT_EQ(read("top.map"), "the user's own notes");
  EXPECT_FALSE(exists("top.flash"));
}

TEST_F(DriverTest, UnrelatedMapFileSurvivesASuccessfulRun) {
  sof("top.sof", "KX2R");
  vantrel::testing::writeBytes(dir_.file("top.map"), "keep me");
  const auto r = runDriver({"--input=top.sof", "--offset=0"});
  EXPECT_EQ(r.exitCode, 0) << r.out;
  EXPECT_EQ(read("top.map"), "keep me");
  EXPECT_EQ(files(), (std::vector<std::string>{"top.flash", "top.map", "top.sof"}));
}

TEST_F(DriverTest, DataBeyondOrAcrossTheWindowEnd) {
  sof("top.sof", "KX2R");
  for (const char *offset : {"--offset=0x7FFFFFFF", "--offset=0x80000000", "--offset=0x7FFFFFF0"}) {
    const auto r = runDriver({"--input=top.sof", offset});
    EXPECT_EQ(r.exitCode, Bitmorph::DATA_ERROR) << offset << r.out;
    // The cause (its words are the failure table's), then the design's line.
    ASSERT_EQ(severeLines(r).size(), 2u) << r.out;
    EXPECT_EQ(severeLines(r)[0].rfind(severe(msg::IMAGE_OF), 0), 0u) << r.out;
    EXPECT_EQ(severeLines(r)[1], severe(msg::GENERATE_FAILED));
    EXPECT_FALSE(exists("top.flash"));
  }
}

TEST_F(DriverTest, UnwritableFlashFile) {
  sof("top.sof", "KX2R");
  std::filesystem::create_directory(dir_.file("dir.flash")); // a folder cannot be written over
  const auto r = runDriver({"--input=top.sof", "--output=dir.flash", "--offset=0"});
  EXPECT_EQ(r.exitCode, Bitmorph::OUTPUT_ERROR) << r.out;
  EXPECT_GE(lineIndex(r, severe(msg::WRITE_FAILED)), 0) << r.out;
}

TEST_F(DriverTest, UnwritableOptionsFileFailsTheFlow) {
  sof("top.sof", "KX2R");
  // Its folder does not exist: its lock there guards nothing, and the flow's own failure follows.
  const auto r = runDriver({"--input=top.sof", "--offset=0", "-c", "--options=nodir/x.opt"});
  EXPECT_EQ(r.exitCode, Bitmorph::EXT_APP_ERROR) << r.out;
  const auto lines = severeLines(r);
  ASSERT_EQ(lines.size(), 3u) << r.out;
  EXPECT_EQ(lines[0].rfind(severe("Cannot write nodir/x.opt: "), 0), 0u) << r.out; // and the OS's reason
  EXPECT_EQ(lines[1], severe(std::string(msg::OPTIONS_FILE_FAILED) + "nodir/x.opt, exiting"));
  EXPECT_EQ(lines[2], severe(msg::FLOW_FAILED));
  // A missing output folder is said of the flash file, before the converter runs.
  const auto out = runDriver({"--input=top.sof", "--offset=0", "--output=nodir/top.flash"}, {logFile()});
  EXPECT_EQ(out.exitCode, Bitmorph::OUTPUT_ERROR) << out.out;
  ASSERT_EQ(severeLines(out).size(), 2u) << out.out;
  EXPECT_EQ(severeLines(out)[0].rfind(severe("Cannot write nodir/top.flash: "), 0), 0u) << out.out;
  EXPECT_EQ(severeLines(out)[1], severe(msg::WRITE_FAILED));
  EXPECT_EQ(files(), (std::vector<std::string>{"top.sof"}));
}

TEST_F(DriverTest, ALockThatCannotBeTakenStopsTheRunBeforeItWritesAnything) {
  sof("top.sof", "KX2R");
  // A file of the user's lies where the base name's lock goes.
  vantrel::testing::writeBytes(dir_.file("top.lock"), "the user's notes");
  const auto inTheWay = runDriver({"--input=top.sof", "--offset=0"});
  EXPECT_EQ(inTheWay.exitCode, Bitmorph::OUTPUT_ERROR) << inTheWay.out;
  EXPECT_EQ(severeLines(inTheWay),
            (std::vector<std::string>{
                severe(std::string("Cannot take the lock file top.lock: ") + platform::msg::NOT_A_LOCK_FILE),
                severe(msg::WRITE_FAILED)}));
  EXPECT_EQ(files(), (std::vector<std::string>{"top.lock", "top.sof"}));
  EXPECT_EQ(read("top.lock"), "the user's notes");
}

TEST_F(DriverTest, ProgrammingErrorReachesTheTopLevelHandlerWithItsText) {
  sof("top.sof", "KX2R");
  const auto r = runDriver({"--input=top.sof", "--offset=0"}, {}, true, "", BM_FAULTY_DRIVER_PATH);
  EXPECT_EQ(r.exitCode, Bitmorph::INTERNAL_ERROR) << r.out << r.err;
  EXPECT_NE(r.err.find(std::string(msg::INTERNAL_ERROR) + "injected fault while writing top.flash"),
            std::string::npos)
      << r.err;
  // Not disguised as one of the conversion's own failures ("Error writing Flash file").
  EXPECT_TRUE(severeLines(r).empty()) << r.out;
  EXPECT_FALSE(exists("top.flash"));
}

// ---- serial flow --------------------------------------------------------------------------

TEST_F(DriverTest, SerialFlowMirrorsTheDesignSizeFromTheHeader) {
  sof("top.sof", "KX3R");
  const auto r =
      runDriver({"--input=top.sof", "--sprom", "--offset=0x5000"}, {"BM_FAKE_SIZE=100", logFile()});
  ASSERT_EQ(r.exitCode, 0) << r.out;
  EXPECT_EQ(calls(), (std::vector<std::string>{
                         "prexa_cpf|--no_banner|--convert|--device=SPROM128|--option=top.opt|top.sof|top.pof",
                         "prexa_cpf|--no_banner|--convert|top.pof|top.rpd"}));
  const auto flash = test::decodeSrecords(read("top.flash"));
  ASSERT_EQ(flash.bytes.size(), 100u);
  EXPECT_EQ(flash.bytes.at(0), 0xFF);
  EXPECT_EQ(flash.bytes.at(2), 0x56); // the 0x6A marker, mirrored
  EXPECT_EQ(files(), (std::vector<std::string>{"top.flash", "top.sof"}));
}

TEST_F(DriverTest, SerialFlowDeviceArguments) {
  sof("top.sof", "KX3R");
  runDriver({"--input=top.sof", "--qprom"}, {logFile()});
  EXPECT_NE(calls().at(0).find("|--device=QPROM256|"), std::string::npos);
  runDriver({"--input=top.sof", "--qprom", "--qprom128"}, {logFile()});
  EXPECT_NE(calls().at(0).find("|--device=QPROM128|"), std::string::npos);
}

TEST_F(DriverTest, SerialFlowSizesNewerFamiliesFromTheMap) {
  sof("top.sof", "5RX");
  const auto r = runDriver({"--input=top.sof", "--sprom"}, {"BM_FAKE_SIZE=0x103"});
  ASSERT_EQ(r.exitCode, 0) << r.out;
  const auto flash = test::decodeSrecords(read("top.flash"));
  ASSERT_EQ(flash.bytes.size(), 0x103u);
  const std::uint8_t header[12] = {0, 0, 0, 0, 0x83, 0x79, 0x73, 0x78, 0x02, 0x01, 0, 0};
  for (std::size_t i = 0; i < 12; ++i)
    EXPECT_EQ(flash.bytes.at(i), header[i]) << i;
}

TEST_F(DriverTest, SerialFlowWinsOverKldAndActiveParallel) {
  sof("top.sof", "KX3R");
  const auto r = runDriver(
      {"--input=top.sof", "--sprom", "--kld", "--optionbit=0x100", "--programmingmode=PS", "--offset=0x0"},
      {logFile()});
  ASSERT_EQ(r.exitCode, 0) << r.out;
  EXPECT_EQ(calls().size(), 2u);
  EXPECT_EQ(files(), (std::vector<std::string>{"top.flash", "top.sof"}));
}

TEST_F(DriverTest, SerialNewerFamilyWithoutMap) {
  sof("top.sof", "5M");
  const auto r = runDriver({"--input=top.sof", "--sprom"}, {"BM_FAKE_MODE=nomap"});
  EXPECT_EQ(r.exitCode, Bitmorph::DATA_ERROR) << r.out;
  EXPECT_NE(r.err.find(msg::MAP_UNREADABLE), std::string::npos) << r.err;
}

// ---- flash-loader flow --------------------------------------------------------------------

TEST_F(DriverTest, KldFlowCutsBothInclusiveRanges) {
  sof("top.sof", "KX2R");
  const auto r = runDriver(
      {"--input=top.sof", "--offset=0x20000", "--kld", "--optionbit=0x18000", "--programmingmode=FPP"},
      {"BM_FAKE_SIZE=100", logFile()});
  ASSERT_EQ(r.exitCode, 0) << r.out;
  EXPECT_EQ(calls(), (std::vector<std::string>{"prexa_cpf|-c|top.cof", "prexa_cpf|-c|top.pof|top.hexout",
                                               "korvo-elf-objcopy|-O|srec|top.hexout|top.flash"}));
  EXPECT_EQ(files(), (std::vector<std::string>{"top.flash", "top.map.flash", "top.sof"}));
  const auto image = test::decodeSrecords(read("top.flash"));
  EXPECT_FALSE(image.hasHeader);
  ASSERT_EQ(image.bytes.size(), 100u); // the last byte at the inclusive end is kept
  EXPECT_EQ(image.bytes.begin()->first, 0x20000u);
  EXPECT_EQ(image.bytes.at(0x20000 + 99), static_cast<std::uint8_t>(test::fakeImage(100)[99]));
  const auto options = test::decodeSrecords(read("top.map.flash"));
  ASSERT_EQ(options.bytes.size(), 32u);
  EXPECT_EQ(options.bytes.at(0x18000), 0xA0);
  EXPECT_EQ(options.bytes.at(0x18000 + 31), 0xA0 + 31);
  EXPECT_GE(lineIndex(r, msg::KLD_DELETING), 0) << r.out;
  EXPECT_GE(lineIndex(r, msg::KLD_EXTRACT_OPTION_BITS), 0) << r.out;
}

TEST_F(DriverTest, KldFlowKeepsEveryByteAcrossAGapInTheHexFile) {
  sof("top.sof", "KX2R");
  // The converter leaves out a blank stretch (image bytes 32..95) of its Intel HEX. On Linux
  // the host's GNU objcopy, in place of the object-copy tool, writes the S-records as an
  // independent judge; elsewhere the test double does.
  ScratchDir tools;
  const auto objcopy = WINDOWS ? std::nullopt : platform::findProgram("objcopy");
  if (objcopy) std::filesystem::create_symlink(*objcopy, tools.file("korvo-elf-objcopy"));
  const auto r = runDriver(
      {"--input=top.sof", "--offset=0x20000", "--kld", "--optionbit=0x18000", "--programmingmode=FPP"},
      {"BM_FAKE_SIZE=4096", "BM_FAKE_MODE=gaps"}, true, objcopy ? tools.path().string() : "");
  ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
  const std::string image = test::fakeImage(4096);
  std::map<std::uint64_t, std::uint8_t> expected;
  for (std::size_t i = 0; i < image.size(); ++i) {
    if (i < 32 || i >= 96) expected[0x20000 + i] = static_cast<std::uint8_t>(image[i]);
  }
  EXPECT_TRUE(test::decodeSrecords(read("top.flash")).bytes == expected) << "bytes lost or invented";
  EXPECT_EQ(test::decodeSrecords(read("top.map.flash")).bytes.size(), 32u);
}

TEST_F(DriverTest, KldFlowWithCompressionAndSave) {
  sof("top.sof", "KX2R");
  const auto r = runDriver({"--input=top.sof", "--output=img.bin", "--offset=0x20000", "--kld",
                            "--optionbit=0x18000", "--programmingmode=PS", "-c", "-s"},
                           {logFile()});
  ASSERT_EQ(r.exitCode, 0) << r.out;
  EXPECT_EQ(calls().at(0), "prexa_cpf|-c|img.cof|--option|img.cof.opt");
  EXPECT_EQ(files(), (std::vector<std::string>{"img.cof", "img.cof.opt", "img.flash", "img.hexout", "img.map",
                                               "img.map.flash", "img.pof", "top.sof"}));
  EXPECT_NE(read("img.cof").find("<mode>0</mode>"), std::string::npos);
  EXPECT_EQ(lineIndex(r, msg::KLD_DELETING), -1);
}

TEST_F(DriverTest, KldFirstConverterRunFailing) {
  sof("top.sof", "KX2R");
  const auto r = runDriver(
      {"--input=top.sof", "--offset=0x20000", "--kld", "--optionbit=0x18000", "--programmingmode=FPP"},
      {"BM_FAKE_MODE=failfirst"});
  EXPECT_EQ(r.exitCode, Bitmorph::EXT_APP_ERROR) << r.out;
  EXPECT_GE(lineIndex(r, msg::KLD_POF_FAILED), 0) << r.out;
  const std::string converter = platform::programFileName(msg::CONVERTER);
  EXPECT_EQ(severeLines(r), (std::vector<std::string>{severe(converter + " exited with status 2"),
                                                      severe(msg::FLOW_FAILED)}));
}

TEST_F(DriverTest, KldWithoutHexFile) {
  sof("top.sof", "KX2R");
  vantrel::testing::writeBytes(dir_.file("top.hexout"), ":00000001FF\n"); // stale, from an earlier run
  const auto r = runDriver(
      {"--input=top.sof", "--offset=0x20000", "--kld", "--optionbit=0x18000", "--programmingmode=FPP"},
      {"BM_FAKE_MODE=nooutput"});
  EXPECT_EQ(r.exitCode, Bitmorph::EXT_APP_ERROR) << r.out;
  EXPECT_GE(lineIndex(r, msg::KLD_NO_HEXFILE), 0) << r.out;
  EXPECT_TRUE(exists("top.hexout"));
}

TEST_F(DriverTest, KldMapWithoutItsLines) {
  sof("top.sof", "KX2R");
  const auto r = runDriver({"--input=top.sof", "--offset=0x20000", "--kld", "--optionbit=0x18000",
                            "--programmingmode=FPP", "--quiet"},
                           {"BM_FAKE_MODE=shortmap"});
  EXPECT_EQ(r.exitCode, Bitmorph::EXT_APP_ERROR) << r.out;
  EXPECT_EQ(r.lines.at(0), "Memory map has no line 2 (top.map)") << r.out;
}

TEST_F(DriverTest, KldObjectCopyWritingNothing) {
  sof("top.sof", "KX2R");
  const auto r = runDriver({"--input=top.sof", "--offset=0x20000", "--kld", "--optionbit=0x18000",
                            "--programmingmode=FPP", "--debug"},
                           {"BM_FAKE_OBJCOPY_MODE=nooutput"});
  EXPECT_EQ(r.exitCode, Bitmorph::EXT_APP_ERROR) << r.out;
  EXPECT_GE(lineIndex(r, msg::KLD_EMPTY_DATA), 0) << r.out;
  EXPECT_GE(lineIndex(r, "  at KLDFlashGenerator.extractSREC"), 0) << r.out;
  EXPECT_NE(r.err.find("File not found: top.flash"), std::string::npos) << r.err;
}

} // namespace
} // namespace vantrel::bitmorph
