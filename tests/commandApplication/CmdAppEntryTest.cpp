// Tests of CmdApp entry access: presence, values and defaults, integers with their
// standard-error complaint, and the file-argument search.
#include "AppTestSupport.h"

#include "commandOptions/DriverTable.h"

namespace vantrel::commandApplication {
namespace {

using test::nl;

class CmdAppEntry : public test::CapturedStreams {
protected:
  std::unique_ptr<CmdApp> start(const std::vector<std::string> &args) {
    const commandOptions::Options opts = commandOptions::test::driverOptions();
    auto app = CmdApp::getInstance("bitmorph", args, &opts, std::nullopt, std::nullopt);
    EXPECT_NE(app, nullptr);
    return app;
  }
  std::int64_t offset(const std::string &value) {
    auto app = start({"--offset", value});
    return app ? app->getEntryValueInteger("offset", -1) : 12345;
  }
  std::string complaint(const std::string &value, const std::string &dflt) {
    return nl("Expected integer value for option 'offset'\n  Value was: '" + value +
              "'\n  Using default value: " + dflt + "\n");
  }
};

TEST_F(CmdAppEntry, FlagsAndValues) {
  auto app = start({"--save", "-i", "top.sof", "--input=other.sof"});
  ASSERT_NE(app, nullptr);
  EXPECT_TRUE(app->hasEntry("save"));
  EXPECT_TRUE(app->hasEntry("input"));
  EXPECT_FALSE(app->hasEntry("output"));
  EXPECT_FALSE(app->hasEntry("s")); // names are long names
  // A flag that occurred, with a default, yields the default.
  EXPECT_EQ(app->getEntryValue("save", std::string("dflt")), "dflt");
  EXPECT_EQ(app->getEntryValue("save"), std::nullopt);
  // An option given twice: the first value.
  EXPECT_EQ(app->getEntryValue("input"), "top.sof");
  EXPECT_EQ(app->getEntryValue("output", std::string("x.flash")), "x.flash");
  EXPECT_EQ(app->getEntryValue("output"), std::nullopt);
}

TEST_F(CmdAppEntry, IntegersWithRadixPrefixes) {
  EXPECT_EQ(offset("0x1000"), 4096);
  EXPECT_EQ(offset("0X1000"), 4096);
  EXPECT_EQ(offset("010"), 8);
  EXPECT_EQ(offset("#ff"), 255);
  EXPECT_EQ(offset("+12"), 12);
  EXPECT_EQ(offset("0"), 0);
  EXPECT_EQ(offset("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(err_.str(), "");
}

TEST_F(CmdAppEntry, NegativeValuesCannotBeGivenThroughTheParser) {
  // A value that begins with "-" is never taken, even after "=": the parse fails, so
  // negative numbers only reach the decoder from tables without that rule.
  DeclineReason reason = DeclineReason::None;
  const commandOptions::Options opts = commandOptions::test::driverOptions();
  EXPECT_EQ(CmdApp::getInstance("bitmorph", {"--offset=-0x10"}, &opts, std::nullopt, std::nullopt, &reason),
            nullptr);
  EXPECT_EQ(reason, DeclineReason::ParseError);
}

TEST_F(CmdAppEntry, BadOctalPrintsThreeLinesAndGivesTheDefault) {
  EXPECT_EQ(offset("08"), -1);
  EXPECT_EQ(err_.str(), complaint("08", "-1"));
  EXPECT_EQ(out_.str(), ""); // not through the logger
}

TEST_F(CmdAppEntry, LeadingBlankFails) {
  EXPECT_EQ(offset(" 5"), -1);
  EXPECT_EQ(err_.str(), complaint(" 5", "-1"));
}

TEST_F(CmdAppEntry, OutOfRangeFails) {
  EXPECT_EQ(offset("9223372036854775808"), -1);
  EXPECT_EQ(err_.str(), complaint("9223372036854775808", "-1"));
}

TEST_F(CmdAppEntry, EmptyValueFails) {
  auto app = start({"--offset="});
  ASSERT_NE(app, nullptr);
  EXPECT_EQ(app->getEntryValueInteger("offset", 7), 7);
  EXPECT_EQ(err_.str(), complaint("", "7"));
}

TEST_F(CmdAppEntry, AbsentOrValuelessGivesTheDefaultQuietly) {
  auto app = start({"--compress"});
  ASSERT_NE(app, nullptr);
  EXPECT_EQ(app->getEntryValueInteger("offset", -1), -1);
  EXPECT_EQ(app->getEntryValueInteger("compress", 1), 1); // a flag carries no value
  EXPECT_EQ(app->getEntryValueInteger("offset"), 0);
  EXPECT_EQ(err_.str(), "");
}

TEST_F(CmdAppEntry, EntryFileFromTheOptionOrTheRemainingArguments) {
  auto named = start({"--input=given.sof", "a.sof"});
  ASSERT_NE(named, nullptr);
  EXPECT_EQ(named->getEntryFile("input", std::string(".sof"), std::nullopt), "given.sof");

  auto searched = start({"-x", "a.sof", "b.sof"});
  ASSERT_NE(searched, nullptr);
  EXPECT_EQ(searched->getRemainingArgs(), (std::vector<std::string>{"-x", "a.sof", "b.sof"}));
  EXPECT_EQ(searched->getEntryFile("input", std::string(".sof"), std::nullopt), "a.sof");
  EXPECT_EQ(searched->getEntryFile("input", std::nullopt, std::string("d.sof")), "d.sof");
  EXPECT_EQ(searched->getEntryFile("output", std::string(".flash"), std::nullopt), std::nullopt);

  auto upper = start({"A.SOF"});
  ASSERT_NE(upper, nullptr);
  EXPECT_EQ(upper->getEntryFile("input", std::string(".sof"), std::nullopt), std::nullopt);
  EXPECT_EQ(upper->getEntryFile("input", std::string(".sof"), std::string("z.sof")), "z.sof");

  auto dashed = start({"--", "-a.sof", "b.sof"});
  ASSERT_NE(dashed, nullptr);
  EXPECT_EQ(dashed->getFileArg(".sof"), "b.sof"); // arguments beginning with "-" are skipped
  EXPECT_EQ(dashed->getFileArg(".bin"), std::nullopt);
}

TEST_F(CmdAppEntry, RemainingArgumentsInOrder) {
  auto app = start({"a.sof", "--save", "b.sof", "--nosuch=3"});
  ASSERT_NE(app, nullptr);
  EXPECT_EQ(app->getRemainingArgs(), (std::vector<std::string>{"a.sof", "b.sof", "--nosuch", "3"}));
}

} // namespace
} // namespace vantrel::commandApplication
