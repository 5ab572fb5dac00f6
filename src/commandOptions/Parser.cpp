// The common parse driver: walks the tokens of a tokenizer and builds the CommandLine.
#include "commandOptions/Parser.h"

#include "commandOptions/OptionMessages.h"
#include "commandOptions/ParseException.h"

#include <map>

namespace vantrel::commandOptions {
namespace {

bool startsWith(const std::string &text, const char *prefix) {
  return text.rfind(prefix, 0) == 0;
}

// The state of one parse. Group choices live here, not in the table's groups, so a table
// can be parsed any number of times and every parse starts with no choice made.
class ParseRun {
public:
  ParseRun(const Options &options, std::vector<std::string> tokens, bool lenient)
      : options_(options), tokens_(std::move(tokens)), lenient_(lenient),
        required_(options.getRequiredOptions()) {}

  CommandLine run() {
    while (next_ < tokens_.size()) {
      const std::string &token = tokens_[next_++];
      if (token == "--") {
        // Everything after "--" is left over, as tokenized.
        takeRestAsArgs();
      } else if (token == "-") {
        cmd_.addArg(token);
        takeRestAsArgs();
      } else if (startsWith(token, "-")) {
        if (lenient_ && !options_.hasOption(token))
          cmd_.addArg(token);
        else
          processOption(token);
      } else {
        // Words between options do not end option parsing.
        cmd_.addArg(token);
      }
    }
    checkRequired();
    return std::move(cmd_);
  }

private:
  void takeRestAsArgs() {
    while (next_ < tokens_.size())
      cmd_.addArg(tokens_[next_++]);
  }

  void processOption(const std::string &token) {
    std::optional<Option> option = options_.getOption(token);
    if (!option) throw UnrecognizedOptionException(messages::UNRECOGNIZED_OPTION + token);
    if (option->isRequired()) strikeRequiredKey("--" + option->getLongOpt());
    if (auto group = options_.getOptionGroup(*option)) {
      if (group->isRequired()) strikeRequiredGroup(group.get());
      auto [it, fresh] = choices_.try_emplace(group.get(), *group);
      if (fresh) it->second.clearSelected();
      it->second.setSelected(*option);
    }
    if (option->hasArg()) collectValues(*option);
    cmd_.addOption(*option);
  }

  void collectValues(Option &option) {
    while (next_ < tokens_.size()) {
      const std::string &token = tokens_[next_];
      // A token that looks like an option is never a value, even after "=".
      if (startsWith(token, "--") || (startsWith(token, "-") && token.size() > 1)) break;
      if (!option.addValue(token)) break; // refused: the token is left for the main loop
      ++next_;
    }
    if (option.getValuesList().empty() && !option.hasOptionalArg())
      throw MissingArgumentException(messages::NO_ARGUMENT_FOR + option.getLongOpt());
  }

  void strikeRequiredKey(const std::string &key) {
    for (auto it = required_.begin(); it != required_.end(); ++it)
      if (!it->group && it->key == key) {
        required_.erase(it);
        return;
      }
  }

  void strikeRequiredGroup(const OptionGroup *group) {
    for (auto it = required_.begin(); it != required_.end(); ++it)
      if (it->group.get() == group) {
        required_.erase(it);
        return;
      }
  }

  void checkRequired() const {
    if (required_.empty()) return;
    std::string text = messages::MISSING_REQUIRED;
    for (const RequiredEntry &entry : required_)
      text += entry.text();
    throw MissingOptionException(text);
  }

  const Options &options_;
  std::vector<std::string> tokens_;
  std::size_t next_ = 0;
  bool lenient_;
  std::vector<RequiredEntry> required_;
  std::map<const OptionGroup *, OptionGroup> choices_;
  CommandLine cmd_;
};

} // namespace

CommandLine Parser::parse(const Options &options, const std::vector<std::string> &arguments) {
  return parse(options, arguments, false);
}

CommandLine Parser::parse(const Options &options, const std::vector<std::string> &arguments, bool lenient) {
  return ParseRun(options, flatten(options, arguments), lenient).run();
}

} // namespace vantrel::commandOptions
