// The parser interface: an option table and an argument list in, a CommandLine out.
#pragma once

#include "commandOptions/CommandLine.h"
#include "commandOptions/Options.h"

#include <string>
#include <vector>

namespace vantrel::commandOptions {

/// Parses argument lists against an option table.
class CommandLineParser {
public:
  virtual ~CommandLineParser() = default;
  /// Strict parse: parse(options, arguments, false).
  virtual CommandLine parse(const Options &options, const std::vector<std::string> &arguments) = 0;
  /// Parses; throws a ParseException kind when the command line is not acceptable. In
  /// lenient mode a token that begins with "-" and names no option becomes a remaining
  /// argument instead of an error.
  virtual CommandLine parse(const Options &options, const std::vector<std::string> &arguments,
                            bool lenient) = 0;
};

} // namespace vantrel::commandOptions
