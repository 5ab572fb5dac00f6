// The option table of a tool: options filed by long name (hash-ordered) and by short name.
#include "commandOptions/Options.h"

namespace vantrel::commandOptions {

Options &Options::addOption(const Option &option) {
  const std::string key = "--" + option.getLongOpt();
  longOpts_.put(key, option);
  if (option.hasShortOpt()) shortOpts_.insert_or_assign(std::string("-") + *option.getShortOpt(), option);
  if (option.isRequired()) requiredOpts_.push_back(RequiredEntry{key, nullptr});
  return *this;
}

Options &Options::addOption(const std::string &longOpt, const std::optional<std::string> &shortOpt,
                            bool takesValue, const std::string &description) {
  return addOption(Option(longOpt, shortOpt, takesValue, description));
}

Options &Options::addOption(const std::string &longOpt, char shortOpt, bool takesValue,
                            const std::string &description) {
  return addOption(Option(longOpt, shortOpt, takesValue, description));
}

Options &Options::addOption(const std::string &longOpt, bool takesValue, const std::string &description) {
  return addOption(Option(longOpt, takesValue, description));
}

Options &Options::addOptionGroup(const OptionGroup &group) {
  auto stored = std::make_shared<OptionGroup>(group);
  stored->clearMembersRequired();
  if (stored->isRequired()) requiredOpts_.push_back(RequiredEntry{std::string(), stored});
  for (const Option &member : stored->getOptions()) {
    addOption(member);
    optionGroups_.insert_or_assign(member.getLongOpt(), stored);
  }
  return *this;
}

const Option *Options::lookup(const std::string &key) const {
  if (key.compare(0, 2, "--") == 0) return longOpts_.find(key);
  if (key.compare(0, 1, "-") == 0) {
    auto it = shortOpts_.find(key);
    return it == shortOpts_.end() ? nullptr : &it->second;
  }
  if (const Option *option = longOpts_.find("--" + key)) return option;
  auto it = shortOpts_.find("-" + key);
  return it == shortOpts_.end() ? nullptr : &it->second;
}

bool Options::hasOption(const std::string &key) const {
  return lookup(key) != nullptr;
}

std::optional<Option> Options::getOption(const std::string &key) const {
  if (const Option *option = lookup(key)) return option->clone();
  return std::nullopt;
}

std::shared_ptr<const OptionGroup> Options::getOptionGroup(const Option &option) const {
  auto it = optionGroups_.find(option.getLongOpt());
  return it == optionGroups_.end() ? nullptr : it->second;
}

} // namespace vantrel::commandOptions
