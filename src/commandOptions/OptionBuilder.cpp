// Fluent, process-wide builder of options: OptionBuilder::withArgName("file").hasArg().create("input").
#include "commandOptions/OptionBuilder.h"

#include "commandOptions/OptionNameRules.h"

namespace vantrel::commandOptions {

OptionBuilder &OptionBuilder::instance() {
  static OptionBuilder state;
  return state;
}

OptionBuilder &OptionBuilder::withShortOpt(const std::string &shortOpt) {
  instance().shortOpt_ = shortOpt;
  return instance();
}
OptionBuilder &OptionBuilder::withShortOpt(char shortOpt) {
  return withShortOpt(std::string(1, shortOpt));
}
OptionBuilder &OptionBuilder::hasArg() {
  return hasArg(true);
}
OptionBuilder &OptionBuilder::hasArg(bool flag) {
  instance().numberOfArgs_ = flag ? 1 : Option::UNINITIALIZED;
  return instance();
}
OptionBuilder &OptionBuilder::hasArgs() {
  return hasArgs(Option::UNLIMITED_VALUES);
}
OptionBuilder &OptionBuilder::hasArgs(int n) {
  instance().numberOfArgs_ = n;
  return instance();
}
OptionBuilder &OptionBuilder::hasOptionalArg() {
  return hasOptionalArgs(1);
}
OptionBuilder &OptionBuilder::hasOptionalArgs() {
  return hasOptionalArgs(Option::UNLIMITED_VALUES);
}
OptionBuilder &OptionBuilder::hasOptionalArgs(int n) {
  instance().numberOfArgs_ = n;
  instance().optionalArg_ = true;
  return instance();
}
OptionBuilder &OptionBuilder::withArgName(const std::string &argName) {
  instance().argName_ = argName;
  return instance();
}
OptionBuilder &OptionBuilder::isRequired() {
  return isRequired(true);
}
OptionBuilder &OptionBuilder::isRequired(bool flag) {
  instance().required_ = flag;
  return instance();
}
OptionBuilder &OptionBuilder::withValueSeparator(char separator) {
  instance().valuesep_ = separator;
  return instance();
}
OptionBuilder &OptionBuilder::withValueSeparator() {
  return withValueSeparator('=');
}
OptionBuilder &OptionBuilder::withType(const std::string &type) {
  instance().type_ = type;
  return instance();
}
OptionBuilder &OptionBuilder::withDescription(const std::string &description) {
  instance().description_ = description;
  return instance();
}

void OptionBuilder::reset() {
  instance() = OptionBuilder();
}

Option OptionBuilder::build(const std::optional<std::string> &longOpt) {
  const OptionBuilder &state = instance();
  // A refused name throws here, before the state is reset, so the state stays intact.
  if (!longOpt) validateLongOpt(longOpt);
  Option option(*longOpt);
  option.setDescription(state.description_);
  option.setShortOpt(state.shortOpt_);
  option.setRequired(state.required_);
  option.setOptionalArg(state.optionalArg_);
  option.setArgs(state.numberOfArgs_);
  option.setType(state.type_);
  option.setValueSeparator(state.valuesep_);
  option.setArgName(state.argName_);
  reset();
  return option;
}

Option OptionBuilder::create(const std::string &longOpt) {
  return build(longOpt);
}

Option OptionBuilder::create() {
  return build(std::nullopt);
}

} // namespace vantrel::commandOptions
