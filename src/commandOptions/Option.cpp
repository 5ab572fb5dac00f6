// One command-line option: its names, value rules, help text and the values of one parse.
#include "commandOptions/Option.h"

#include "commandOptions/OptionNameRules.h"

namespace vantrel::commandOptions {

Option::Option(const std::string &longOpt) : longOpt_(validateLongOpt(longOpt)) {}

Option::Option(const std::string &longOpt, const std::string &description) : Option(longOpt) {
  description_ = description;
}

Option::Option(const std::string &longOpt, bool takesValue, const std::string &description)
    : Option(longOpt, description) {
  if (takesValue) setArgs(1);
}

Option::Option(const std::string &longOpt, const std::optional<std::string> &shortOpt, bool takesValue,
               const std::string &description)
    : Option(longOpt, takesValue, description) {
  setShortOpt(shortOpt);
}

Option::Option(const std::string &longOpt, char shortOpt, bool takesValue, const std::string &description)
    : Option(longOpt, takesValue, description) {
  setShortOpt(shortOpt);
}

void Option::setShortOpt(const std::optional<std::string> &shortOpt) {
  shortOpt_ = validateShortOpt(shortOpt);
}

void Option::setShortOpt(char shortOpt) {
  setShortOpt(std::string(1, shortOpt));
}

void Option::setArgs(int count) {
  numberOfArgs_ = count;
  hasArg_ = count > 0 || count == UNLIMITED_VALUES;
}

std::optional<std::string> Option::getArgName() const {
  if (hasArgName()) return argName_;
  return std::nullopt;
}

std::optional<std::string> Option::getValue() const {
  return getValue(std::size_t{0});
}

std::optional<std::string> Option::getValue(std::size_t index) const {
  if (index < values_.size()) return values_[index];
  return std::nullopt;
}

std::string Option::getValue(const std::string &defaultValue) const {
  return values_.empty() ? defaultValue : values_.front();
}

std::optional<std::vector<std::string>> Option::getValues() const {
  if (values_.empty()) return std::nullopt;
  return values_;
}

bool Option::addValue(const std::string &text) {
  if (numberOfArgs_ == UNINITIALIZED) return false;
  if (numberOfArgs_ == UNLIMITED_VALUES) {
    if (!hasValueSeparator()) {
      values_.push_back(text);
      return true;
    }
    std::size_t start = 0;
    for (std::size_t sep = text.find(valuesep_); sep != std::string::npos;
         sep = text.find(valuesep_, start)) {
      values_.push_back(text.substr(start, sep - start));
      start = sep + 1;
    }
    values_.push_back(text.substr(start));
    return true;
  }
  // A fixed count n: split at each separator while there is room for another value.
  const auto limit = static_cast<std::size_t>(numberOfArgs_);
  std::string rest = text;
  if (hasValueSeparator()) {
    for (std::size_t sep = rest.find(valuesep_); sep != std::string::npos; sep = rest.find(valuesep_)) {
      if (values_.size() >= limit) return false;
      values_.push_back(rest.substr(0, sep));
      rest = rest.substr(sep + 1);
    }
  }
  if (values_.size() >= limit) return false;
  values_.push_back(rest);
  return true;
}

Option Option::clone() const {
  Option copy(*this);
  copy.values_.clear();
  copy.argName_.reset();
  return copy;
}

std::string Option::toString() const {
  std::string text = "[ option: " + longOpt_;
  if (shortOpt_) text += std::string(" ") + *shortOpt_;
  text += " ";
  if (hasArg_) text += "+ARG";
  text += " :: " + (description_ ? *description_ : std::string("null"));
  if (type_) text += " :: " + *type_;
  text += " ]";
  return text;
}

} // namespace vantrel::commandOptions
