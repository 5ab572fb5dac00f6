// The POSIX-style tokenizer: splits "--name=value" and bursts clustered short options.
#include "commandOptions/PosixParser.h"

namespace vantrel::commandOptions {

std::vector<std::string> PosixParser::flatten(const Options &options,
                                              const std::vector<std::string> &arguments) {
  tokens_.clear();
  for (const std::string &argument : arguments) {
    if (argument.rfind("--", 0) == 0) {
      const std::size_t eq = argument.find('=');
      if (eq == std::string::npos) {
        tokens_.push_back(argument);
      } else {
        tokens_.push_back(argument.substr(0, eq));
        tokens_.push_back(argument.substr(eq + 1));
      }
    } else if (argument.size() > 2 && argument[0] == '-') {
      burstToken(options, argument);
    } else {
      tokens_.push_back(argument);
    }
  }
  return std::move(tokens_);
}

void PosixParser::burstToken(const Options &options, const std::string &argument) {
  // Bursting goes byte by byte: short names are single bytes.
  for (std::size_t i = 1; i < argument.size(); ++i) {
    const char c = argument[i];
    if (!options.hasOption(c)) {
      std::string rest = "-";
      rest.append(argument, i, std::string::npos);
      tokens_.push_back(std::move(rest));
      return;
    }
    tokens_.push_back(std::string("-") + c);
    const std::optional<Option> option = options.getOption(std::string(1, c));
    if (option && option->hasArg() && i + 1 < argument.size()) {
      tokens_.push_back(argument.substr(i + 1));
      return;
    }
  }
}

} // namespace vantrel::commandOptions
