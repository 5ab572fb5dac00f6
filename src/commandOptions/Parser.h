// The common parse driver: walks the tokens of a tokenizer and builds the CommandLine.
#pragma once

#include "commandOptions/CommandLineParser.h"

#include <cstddef>
#include <string>
#include <vector>

namespace vantrel::commandOptions {

/// Parse driver shared by the tokenizers: a subclass supplies flatten(), which turns the
/// raw arguments into tokens; parse() then recognises options, collects their values,
/// checks groups and required options. A failed parse throws and returns nothing partial.
class Parser : public CommandLineParser {
public:
  CommandLine parse(const Options &options, const std::vector<std::string> &arguments) override;
  CommandLine parse(const Options &options, const std::vector<std::string> &arguments, bool lenient) override;

protected:
  /// Splits the arguments into tokens.
  virtual std::vector<std::string> flatten(const Options &options,
                                           const std::vector<std::string> &arguments) = 0;
};

} // namespace vantrel::commandOptions
