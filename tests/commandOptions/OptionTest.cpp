// Tests of Option: naming rules and their messages, value acceptance, text form and copies.
#include "commandOptions/Option.h"
#include "commandOptions/OptionMessages.h"
#include "commandOptions/OptionNameRules.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace vantrel::commandOptions {
namespace {

std::string longNameError(const std::optional<std::string> &name) {
  try {
    validateLongOpt(name);
  } catch (const std::invalid_argument &e) {
    return e.what();
  }
  return "accepted";
}

std::string shortNameError(const std::string &name) {
  try {
    Option option("x");
    option.setShortOpt(name);
  } catch (const std::invalid_argument &e) {
    return e.what();
  }
  return "accepted";
}

// --- naming rules -------------------------------------------------------------------

TEST(OptionNames, LongNameRules) {
  EXPECT_EQ(longNameError(std::nullopt), "illegal long option - cannot be null");
  EXPECT_EQ(longNameError(""), messages::LONG_OPT_EMPTY);
  EXPECT_EQ(longNameError("in put"), "long opt contains illegal character value ' '");
  EXPECT_EQ(longNameError("a=b"), "long opt contains illegal character value '='");
  EXPECT_EQ(longNameError("-x"), "illegal long option value \"-x\"");
  EXPECT_EQ(longNameError("--"), "illegal long option value \"--\"");
  EXPECT_EQ(longNameError("-"), "illegal long option value \"-\"");
  EXPECT_EQ(longNameError("a\x01"), "long opt contains illegal character value '\x01'");
  EXPECT_EQ(longNameError("a\xFF"), "long opt contains illegal character value '\xFF'");
  EXPECT_EQ(longNameError("a\xE2\x82\xAC"), "long opt contains illegal character value '\xE2\x82\xAC'");
}

TEST(OptionNames, LongNamesThatAreAccepted) {
  EXPECT_EQ(validateLongOpt("input"), "input");
  EXPECT_EQ(validateLongOpt("qprom128"), "qprom128");
  EXPECT_EQ(validateLongOpt("wrapper-verbose"), "wrapper-verbose");
  EXPECT_EQ(validateLongOpt("_$x"), "_$x");
  EXPECT_EQ(validateLongOpt("--input"), "input");           // two leading dashes are dropped
  EXPECT_EQ(validateLongOpt("caf\xC3\xA9"), "caf\xC3\xA9"); // a letter beyond ASCII
  EXPECT_EQ(Option("--save").getLongOpt(), "save");
}

TEST(OptionNames, ShortNameRules) {
  EXPECT_EQ(shortNameError("="), "illegal short option value '='");
  EXPECT_EQ(shortNameError("-"), "illegal short option value '-'");
  EXPECT_EQ(shortNameError(" "), "illegal short option value ' '");
  EXPECT_EQ(shortNameError("\xE9"), "illegal short option value '\xE9'");
  EXPECT_EQ(shortNameError("-="), "illegal short option value \"-=\"");
  EXPECT_EQ(shortNameError("--"), "illegal short option value \"--\"");
}

TEST(OptionNames, ShortNamesThatAreAcceptedOrDropped) {
  Option option("x");
  option.setShortOpt("i");
  EXPECT_EQ(option.getShortOpt(), 'i');
  option.setShortOpt("-o");
  EXPECT_EQ(option.getShortOpt(), 'o');
  option.setShortOpt("?");
  EXPECT_EQ(option.getShortOpt(), '?');
  option.setShortOpt('@');
  EXPECT_EQ(option.getCharId(), '@');
  option.setShortOpt("");
  EXPECT_FALSE(option.hasShortOpt()); // empty: silently none
  option.setShortOpt("ab");
  EXPECT_FALSE(option.hasShortOpt()); // two characters: silently none
  option.setShortOpt("-ab");
  EXPECT_FALSE(option.hasShortOpt());
  option.setShortOpt(std::nullopt);
  EXPECT_FALSE(option.hasShortOpt());
}

// --- construction and queries --------------------------------------------------------

TEST(OptionModel, ConstructorsSetCountAndFlags) {
  Option plain("kld", "Kld mode");
  EXPECT_EQ(plain.getArgs(), Option::UNINITIALIZED);
  EXPECT_FALSE(plain.hasArg());
  EXPECT_FALSE(plain.hasArgs());
  Option valued("input", "i", true, "input SOF file to process");
  EXPECT_EQ(valued.getArgs(), 1);
  EXPECT_TRUE(valued.hasArg());
  EXPECT_FALSE(valued.hasArgs());
  EXPECT_EQ(valued.getShortOpt(), 'i');
  valued.setArgs(Option::UNLIMITED_VALUES);
  EXPECT_TRUE(valued.hasArg());
  EXPECT_TRUE(valued.hasArgs());
  valued.setArgs(3);
  EXPECT_TRUE(valued.hasArgs());
  valued.setArgs(0);
  EXPECT_FALSE(valued.hasArg());
}

TEST(OptionModel, EmptyValueNameCountsAsAbsent) {
  Option option("input", true, "d");
  EXPECT_FALSE(option.hasArgName());
  option.setArgName("");
  EXPECT_FALSE(option.hasArgName());
  EXPECT_EQ(option.getArgName(), std::nullopt);
  option.setArgName("file");
  EXPECT_EQ(option.getArgName(), "file");
}

TEST(OptionModel, TextForm) {
  Option log("log", "l", true, "file for logging progress");
  EXPECT_EQ(log.toString(), "[ option: log l +ARG :: file for logging progress ]");
  Option kld("kld", "Kld mode");
  EXPECT_EQ(kld.toString(), "[ option: kld  :: Kld mode ]");
  Option bare("x");
  EXPECT_EQ(bare.toString(), "[ option: x  :: null ]");
  bare.setType("Number");
  EXPECT_EQ(bare.toString(), "[ option: x  :: null :: Number ]");
}

TEST(OptionModel, CloneDropsValuesAndValueName) {
  Option option("input", "i", true, "d");
  option.setArgName("file");
  option.setRequired(true);
  option.setOptionalArg(true);
  option.setValueSeparator('=');
  option.setType("t");
  ASSERT_TRUE(option.addValue("a"));
  Option copy = option.clone();
  EXPECT_EQ(copy.getLongOpt(), "input");
  EXPECT_EQ(copy.getShortOpt(), 'i');
  EXPECT_EQ(copy.getDescription(), "d");
  EXPECT_EQ(copy.getArgs(), 1);
  EXPECT_TRUE(copy.isRequired());
  EXPECT_TRUE(copy.hasOptionalArg());
  EXPECT_EQ(copy.getValueSeparator(), '=');
  EXPECT_EQ(copy.getType(), "t");
  EXPECT_TRUE(copy.getValuesList().empty());
  EXPECT_FALSE(copy.hasArgName());
  EXPECT_EQ(option.getValue(), "a"); // the original is untouched
}

// --- value acceptance ----------------------------------------------------------------

TEST(OptionValues, NoValueOptionRefusesEverything) {
  Option option("kld");
  EXPECT_FALSE(option.addValue("x"));
  EXPECT_EQ(option.getValues(), std::nullopt);
}

TEST(OptionValues, OneValueWithSeparatorKeepsPieceBeforeRefusal) {
  Option option("input", true, "d");
  option.setValueSeparator('=');
  EXPECT_FALSE(option.addValue("a=b")); // "a" taken, then full
  EXPECT_EQ(option.getValuesList(), (std::vector<std::string>{"a"}));
  Option second("input", true, "d");
  second.setValueSeparator('=');
  EXPECT_FALSE(second.addValue("=a.sof"));
  EXPECT_EQ(second.getValuesList(), (std::vector<std::string>{""}));
  Option third("input", true, "d");
  third.setValueSeparator('=');
  EXPECT_TRUE(third.addValue("a.sof"));
  EXPECT_FALSE(third.addValue("b.sof"));
  EXPECT_EQ(third.getValue(), "a.sof");
}

TEST(OptionValues, CountNWithSeparator) {
  Option option("define", true, "d");
  option.setArgs(2);
  option.setValueSeparator('=');
  EXPECT_TRUE(option.addValue("key=value"));
  EXPECT_EQ(option.getValuesList(), (std::vector<std::string>{"key", "value"}));
  EXPECT_FALSE(option.addValue("more"));
  Option three("define", true, "d");
  three.setArgs(2);
  three.setValueSeparator('=');
  EXPECT_FALSE(three.addValue("a=b=c"));
  EXPECT_EQ(three.getValuesList(), (std::vector<std::string>{"a", "b"}));
}

TEST(OptionValues, UnlimitedSplitsAtEverySeparator) {
  Option option("list", true, "d");
  option.setArgs(Option::UNLIMITED_VALUES);
  option.setValueSeparator(',');
  EXPECT_TRUE(option.addValue("a,,b,"));
  EXPECT_EQ(option.getValuesList(), (std::vector<std::string>{"a", "", "b", ""}));
  EXPECT_TRUE(option.addValue("c"));
  EXPECT_EQ(option.getValues()->size(), 5u);
  Option noSep("list", true, "d");
  noSep.setArgs(Option::UNLIMITED_VALUES);
  EXPECT_TRUE(noSep.addValue("a,b"));
  EXPECT_EQ(noSep.getValuesList(), (std::vector<std::string>{"a,b"}));
}

TEST(OptionValues, ValueAccessors) {
  Option option("input", true, "d");
  EXPECT_EQ(option.getValue(), std::nullopt);
  EXPECT_EQ(option.getValue(std::string("def")), "def");
  EXPECT_EQ(option.getValue(std::size_t{3}), std::nullopt);
  ASSERT_TRUE(option.addValue("a"));
  EXPECT_EQ(option.getValue(std::string("def")), "a");
  EXPECT_EQ(option.getValue(std::size_t{0}), "a");
}

} // namespace
} // namespace vantrel::commandOptions
