// An option table shaped like the conversion tool's, and a parse entry that takes any input.
#include "commandApplication/ConversionLikeTable.h"

#include "commandApplication/AppMessages.h"
#include "commandApplication/NumberDecoding.h"
#include "commandOptions/OptionBuilder.h"
#include "commandOptions/ParseException.h"
#include "commandOptions/PosixParser.h"

namespace vantrel::commandApplication {

using commandOptions::Option;
using commandOptions::OptionBuilder;
using commandOptions::Options;

namespace {

Option valued(const char *longName, const char *shortName, const char *argName, const char *description) {
  if (shortName)
    OptionBuilder::withShortOpt(shortName);
  return OptionBuilder::withArgName(argName).hasArg().withValueSeparator().withDescription(description).create(longName);
}

Option flag(const char *longName, const char *shortName, const char *description) {
  if (shortName)
    OptionBuilder::withShortOpt(shortName);
  return OptionBuilder::withDescription(description).create(longName);
}

} // namespace

Options conversionLikeOptions() {
  Options opts;
  opts.addOption(valued("input", "i", "file", "input SOF file to process"));
  opts.addOption(valued("output", "o", "file", "output flash file"));
  opts.addOption(valued("options", nullptr, "file", "intermediate Options file (for SPROM only)"));
  opts.addOption(valued("offset", nullptr, "addr", "design location within the flash"));
  opts.addOption(flag("kld", nullptr, "Kld mode"));
  opts.addOption(valued("optionbit", nullptr, "optionbitaddress", "Option Bit Address"));
  opts.addOption(valued("programmingmode", nullptr, "programmingmode", "Programming mode"));
  opts.addOption(flag("sprom", nullptr, "SPROM flash mode"));
  opts.addOption(flag("qprom", nullptr, "QPROM flash mode of size 256Mbits"));
  opts.addOption(flag("qprom128", nullptr, "QPROM flash mode of size 128Mbits or less"));
  opts.addOption(flag("compress", "c", "compress the SOF"));
  opts.addOption(flag("activeparallel", "a", "create parallel flash contents for active parallel programming"));
  opts.addOption(flag("timestamp", nullptr, "produce a s0 record with timestamp of input file"));
  opts.addOption(flag("save", "s", "save intermediate files"));
  opts.addOption(flag("debug", nullptr, "debug mode"));
  opts.addOption("help", "h", false, messages::HELP_DESCRIPTION);
  opts.addOption("verbose", "v", false, messages::VERBOSE_DESCRIPTION);
  opts.addOption("quiet", "q", false, messages::QUIET_DESCRIPTION);
  opts.addOption(OptionBuilder::withShortOpt("l")
                     .hasArg()
                     .withArgName(messages::LOG_ARG_NAME)
                     .withDescription(messages::LOG_DESCRIPTION)
                     .create("log"));
  return opts;
}

AnyParseOutcome parseAnyArguments(const std::vector<std::string> &arguments) {
  static const Options table = conversionLikeOptions();
  AnyParseOutcome outcome;
  commandOptions::PosixParser parser;
  try {
    const commandOptions::CommandLine cmd = parser.parse(table, arguments, true);
    outcome.parsed = true;
    outcome.remainingArgs = cmd.getArgs().size();
    outcome.occurrences = cmd.getOptions().size();
    for (const Option &option : table.getOptions()) {
      if (auto values = cmd.getOptionValues(option.getLongOpt()))
        for (const std::string &value : *values)
          (void)decodeInteger(value);
    }
  } catch (const commandOptions::ParseException &e) {
    outcome.error = e.what();
  }
  return outcome;
}

} // namespace vantrel::commandApplication
