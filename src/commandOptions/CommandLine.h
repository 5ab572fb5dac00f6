// The result of one parse: the options that occurred, with their values, and the remaining arguments.
#pragma once

#include "commandOptions/Option.h"

#include <optional>
#include <string>
#include <vector>

namespace vantrel::commandOptions {

/// A parse result. Options are looked up by long name, given with or without a leading
/// "--"; each occurrence is kept with the values given with it.
class CommandLine {
public:
  /// True if the option occurred at least once.
  bool hasOption(const std::string &name) const;
  /// The values of all occurrences, occurrence by occurrence; nothing when there are none.
  std::optional<std::vector<std::string>> getOptionValues(const std::string &name) const;
  /// The first value (the first occurrence wins), or nothing.
  std::optional<std::string> getOptionValue(const std::string &name) const;
  /// The first value, or defaultValue.
  std::string getOptionValue(const std::string &name, const std::string &defaultValue) const;
  /// The remaining arguments, in command-line order.
  const std::vector<std::string> &getArgs() const { return args_; }
  const std::vector<std::string> &getArgList() const { return args_; }
  /// All occurrences, in the order they were met.
  const std::vector<Option> &getOptions() const { return occurrences_; }

  /// Records one remaining argument (used by the parser).
  void addArg(const std::string &arg) { args_.push_back(arg); }
  /// Records one occurrence (used by the parser).
  void addOption(const Option &occurrence) { occurrences_.push_back(occurrence); }

private:
  static std::string stripDashes(const std::string &name);

  std::vector<std::string> args_;
  std::vector<Option> occurrences_;
};

} // namespace vantrel::commandOptions
