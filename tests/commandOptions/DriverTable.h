// The conversion tool's option table as the tool builds it, plus the standard options the
// command application adds, for tests of order, parsing and help text.
#pragma once

#include "commandOptions/OptionBuilder.h"
#include "commandOptions/Options.h"

namespace vantrel::commandOptions::test {

inline Option driverValued(const char *longName, const char *shortName, const char *argName,
                           const char *description) {
  if (shortName) OptionBuilder::withShortOpt(shortName);
  return OptionBuilder::withArgName(argName)
      .hasArg()
      .withValueSeparator()
      .withDescription(description)
      .create(longName);
}

inline Option driverFlag(const char *longName, const char *shortName, const char *description) {
  if (shortName) OptionBuilder::withShortOpt(shortName);
  return OptionBuilder::withDescription(description).create(longName);
}

/// The four standard options, added in their order.
inline void addStandardOptions(Options &opts) {
  opts.addOption("help", "h", false, "print this message");
  opts.addOption("verbose", "v", false, "lots of interesting information");
  opts.addOption("quiet", "q", false, "only print errors");
  opts.addOption(OptionBuilder::withShortOpt("l")
                     .hasArg()
                     .withArgName("file")
                     .withDescription("file for logging progress")
                     .create("log"));
}

/// The conversion tool's own options, in its order of registration.
inline Options driverOptions() {
  Options opts;
  opts.addOption(driverValued("input", "i", "file", "input SOF file to process"));
  opts.addOption(driverValued("output", "o", "file", "output flash file"));
  opts.addOption(driverValued("options", nullptr, "file", "intermediate Options file (for SPROM only)"));
  opts.addOption(driverValued("offset", nullptr, "addr", "design location within the flash"));
  opts.addOption(driverFlag("kld", nullptr, "Kld mode"));
  opts.addOption(driverValued("optionbit", nullptr, "optionbitaddress", "Option Bit Address"));
  opts.addOption(driverValued("programmingmode", nullptr, "programmingmode", "Programming mode"));
  opts.addOption(driverFlag("sprom", nullptr, "SPROM flash mode"));
  opts.addOption(driverFlag("qprom", nullptr, "QPROM flash mode of size 256Mbits"));
  opts.addOption(driverFlag("qprom128", nullptr, "QPROM flash mode of size 128Mbits or less"));
  opts.addOption(driverFlag("compress", "c", "compress the SOF"));
  opts.addOption(
      driverFlag("activeparallel", "a", "create parallel flash contents for active parallel programming"));
  opts.addOption(driverFlag("timestamp", nullptr, "produce a s0 record with timestamp of input file"));
  opts.addOption(driverFlag("save", "s", "save intermediate files"));
  opts.addOption(driverFlag("debug", nullptr, "debug mode"));
  return opts;
}

/// The table the conversion tool parses with: its options, then the standard ones.
inline Options fullDriverOptions() {
  Options opts = driverOptions();
  addStandardOptions(opts);
  return opts;
}

} // namespace vantrel::commandOptions::test
