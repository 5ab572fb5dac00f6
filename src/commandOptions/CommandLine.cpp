// The result of one parse: the options that occurred, with their values, and the remaining arguments.
#include "commandOptions/CommandLine.h"

namespace vantrel::commandOptions {

std::string CommandLine::stripDashes(const std::string &name) {
  return name.compare(0, 2, "--") == 0 ? name.substr(2) : name;
}

bool CommandLine::hasOption(const std::string &name) const {
  const std::string longName = stripDashes(name);
  for (const Option &occurrence : occurrences_)
    if (occurrence.getLongOpt() == longName) return true;
  return false;
}

std::optional<std::vector<std::string>> CommandLine::getOptionValues(const std::string &name) const {
  const std::string longName = stripDashes(name);
  std::vector<std::string> values;
  for (const Option &occurrence : occurrences_)
    if (occurrence.getLongOpt() == longName)
      values.insert(values.end(), occurrence.getValuesList().begin(), occurrence.getValuesList().end());
  if (values.empty()) return std::nullopt;
  return values;
}

std::optional<std::string> CommandLine::getOptionValue(const std::string &name) const {
  auto values = getOptionValues(name);
  if (!values) return std::nullopt;
  return values->front();
}

std::string CommandLine::getOptionValue(const std::string &name, const std::string &defaultValue) const {
  return getOptionValue(name).value_or(defaultValue);
}

} // namespace vantrel::commandOptions
