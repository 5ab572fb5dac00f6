// The POSIX-style tokenizer: splits "--name=value" and bursts clustered short options.
#pragma once

#include "commandOptions/Parser.h"

#include <string>
#include <vector>

namespace vantrel::commandOptions {

/// POSIX-style parser. Its tokenizer, one pass over the arguments:
/// - "--name=value" gives "--name" and "value" (split at the first "="), for every
///   argument that begins with "--", named option or not;
/// - "-xyz" (a dash and two or more characters) is burst into short options: "-x", "-y",
///   ... as long as each character names an option; an option that takes a value takes
///   the rest of the argument as one token; at the first character that names no option
///   the rest of the argument from there becomes one "-..." token;
/// - anything else ("-", "-x", words) is passed on unchanged.
class PosixParser : public Parser {
protected:
  std::vector<std::string> flatten(const Options &options,
                                   const std::vector<std::string> &arguments) override;

private:
  void burstToken(const Options &options, const std::string &argument);

  std::vector<std::string> tokens_;
};

} // namespace vantrel::commandOptions
