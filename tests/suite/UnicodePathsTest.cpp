// The built converter and object-copy tool, started as the flows start them, on files whose
// paths hold €, – (en dash), ’ (right single quote), Ж and 日本: every run reads and writes
// exactly the named files, names them so in its messages, and the S-records' header is the
// output's file name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CofTexts.h"
#include "ConfigImage.h"
#include "GeneratedDesign.h"
#include "Messages.h"
#include "SofFile.h"
#include "TestSupport.h"
#include "platform/file.h"
#include "platform/path.h"
#include "support/ChildRun.h"

namespace vantrel::suite {
namespace {

using namespace testing;
using vantrel::testing::ChildRun;
using vantrel::testing::runChild;

const bool WINDOWS = std::string(platform::lineSeparator()) == "\r\n";

/// The lines of a tool's output as it writes them: each ended by the platform's separator.
std::string lines(const std::vector<std::string> &texts) {
  std::string out;
  for (const std::string &text : texts)
    out += text + platform::lineSeparator();
  return out;
}

/// The text of the first record (S0) of an S-record file.
std::string headerText(const std::string &srec) {
  const std::size_t count = std::stoul(srec.substr(2, 2), nullptr, 16);
  std::string text;
  for (std::size_t i = 0; i + 3 < count; ++i) // after the two address bytes, before the checksum
    text += static_cast<char>(std::stoul(srec.substr(8 + 2 * i, 2), nullptr, 16));
  return text;
}

class SuiteUnicodePaths : public ::testing::Test {
protected:
  void SetUp() override {
    const auto folder = dir_.path() / utf8Path("Designs € – ’ Ж 日本");
    std::filesystem::create_directory(folder);
    base_ = pathUtf8(folder) + (WINDOWS ? "\\" : "/") + "top € – ’ Ж 日本";
    SofDesign design;
    design.partName = "KX3R40F484";
    design.configData = generateConfigData(20000, 20000);
    data_ = design.configData;
    writeFile(base_ + ".sof", writeSof(design));
    writeFile(base_ + ".opt", std::string("BITSTREAM_COMPRESSION=ON\nMEMORY_MAP_FILE=ON\n"));
    writeFile(base_ + ".cof", kldCof(base_ + ".sof", base_ + "k.pof", "0x00020000", "0x00018000", "6"));
  }

  /// Runs the tool and expects success with nothing on standard error.
  ChildRun run(const char *tool, std::vector<std::string> args) {
    args.insert(args.begin(), vantrel::testing::hostPath(tool));
    ChildRun result = runChild(args);
    EXPECT_TRUE(result.started) << result.error;
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    return result;
  }

  ScratchDir dir_;
  std::string base_;
  std::vector<std::uint8_t> data_;
};

TEST_F(SuiteUnicodePaths, EachRunReadsAndWritesTheNamedFiles) {
  const std::string b = base_;
  ChildRun r =
      run(SUITE_PREXA_CPF, {"--no_banner", "--convert", "--option=" + b + ".opt", b + ".sof", b + ".rbf"});
  const std::string reading = "Reading " + b + ".sof: part KX3R40F484, 20000 bytes of configuration data";
  const std::string rbfSize = std::to_string(readFile(b + ".rbf").size());
  EXPECT_EQ(r.out, lines({reading, "Writing " + b + ".rbf: " + rbfSize + " bytes, compressed",
                          "Writing " + b + ".map", msg::CONVERSION_DONE}));
  auto image = decodeImage(readFile(b + ".rbf"));
  ASSERT_TRUE(image.ok()) << image.error();
  EXPECT_EQ(image.value().configData, data_);

  run(SUITE_PREXA_CPF,
      {"--no_banner", "--convert", "--device=SPROM128", "--option=" + b + ".opt", b + ".sof", b + "s.pof"});
  r = run(SUITE_PREXA_CPF, {"--no_banner", "--convert", b + "s.pof", b + ".rpd"});
  EXPECT_NE(r.out.find("Writing " + b + ".rpd: SPROM128 data, "), std::string::npos) << r.out;
  run(SUITE_PREXA_CPF, {"-c", b + ".cof"});
  run(SUITE_PREXA_CPF, {"-c", b + "k.pof", b + ".hexout"});
  run(SUITE_OBJCOPY, {"-O", "srec", b + ".hexout", b + ".flash"});

  // The S0 header names the file, not its folder; bytes outside printable ASCII show as '?'.
  std::string expected = "top € – ’ Ж 日本.flash";
  for (char &c : expected)
    if (static_cast<unsigned char>(c) > 0x7E) c = '?';
  EXPECT_EQ(headerText(readFile(b + ".flash")), expected);

  const std::string name = "top € – ’ Ж 日本";
  EXPECT_EQ(dir_.list(), std::vector<std::string>{"Designs € – ’ Ж 日本"});
  std::vector<std::string> files;
  for (const auto &entry : std::filesystem::directory_iterator(utf8Path(b).parent_path()))
    files.push_back(pathUtf8(entry.path().filename()));
  std::sort(files.begin(), files.end());
  std::vector<std::string> expectedFiles;
  for (const char *suffix : {".cof", ".flash", ".hexout", ".map", ".opt", ".rbf", ".rpd", ".sof", "k.map",
                             "k.pof", "s.map", "s.pof"})
    expectedFiles.push_back(name + suffix);
  std::sort(expectedFiles.begin(), expectedFiles.end());
  EXPECT_EQ(files, expectedFiles);
}

TEST_F(SuiteUnicodePaths, MessagesNameTheFilesExactly) {
  const std::string missing = base_ + " missing.sof";
  const ChildRun r = runChild(
      {vantrel::testing::hostPath(SUITE_PREXA_CPF), "--no_banner", "--convert", missing, base_ + ".rbf"});
  EXPECT_EQ(r.exitCode, EXIT_FAILED);
  EXPECT_EQ(r.err, lines({"Error: " + std::string(msg::CANNOT_READ) + missing}));
}

TEST_F(SuiteUnicodePaths, BackslashIsPartOfALinuxFileName) {
  if (WINDOWS) GTEST_SKIP() << "a backslash separates folders on Windows";
  writeFile("k.hexout", std::string(":00000001FF\n"));
  run(SUITE_OBJCOPY, {"-O", "srec", "k.hexout", "d$1\\x$0.flash"});
  EXPECT_EQ(headerText(readFile("d$1\\x$0.flash")), "d$1\\x$0.flash");
}

} // namespace
} // namespace vantrel::suite
