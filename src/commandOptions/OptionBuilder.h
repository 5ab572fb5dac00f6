// Fluent, process-wide builder of options: OptionBuilder::withArgName("file").hasArg().create("input").
#pragma once

#include "commandOptions/Option.h"

#include <optional>
#include <string>

namespace vantrel::commandOptions {

/// Builder whose state lives for the whole process (one field per option property). Every
/// operation is static and returns the builder, so calls chain; create() builds the option
/// and resets the state. Not for use from two threads at once.
class OptionBuilder {
public:
  static OptionBuilder &withShortOpt(const std::string &shortOpt);
  static OptionBuilder &withShortOpt(char shortOpt);
  /// One value.
  static OptionBuilder &hasArg();
  /// One value when true, none when false.
  static OptionBuilder &hasArg(bool flag);
  /// Any number of values.
  static OptionBuilder &hasArgs();
  /// Up to n values.
  static OptionBuilder &hasArgs(int n);
  /// One value that may be missing.
  static OptionBuilder &hasOptionalArg();
  /// Any number of values, which may be missing.
  static OptionBuilder &hasOptionalArgs();
  /// Up to n values, which may be missing.
  static OptionBuilder &hasOptionalArgs(int n);
  static OptionBuilder &withArgName(const std::string &argName);
  static OptionBuilder &isRequired();
  static OptionBuilder &isRequired(bool flag);
  static OptionBuilder &withValueSeparator(char separator);
  /// "=" as the value separator.
  static OptionBuilder &withValueSeparator();
  static OptionBuilder &withType(const std::string &type);
  static OptionBuilder &withDescription(const std::string &description);

  /// Builds an option with this long name from the current state, then resets the state.
  /// A name that breaks the naming rules throws std::invalid_argument and leaves the state
  /// as it was.
  static Option create(const std::string &longOpt);
  /// Building without a long name always fails ("illegal long option - cannot be null").
  static Option create();

  /// Back to the defaults (also done by every successful create).
  static void reset();

private:
  OptionBuilder() = default;
  static OptionBuilder &instance();
  static Option build(const std::optional<std::string> &longOpt);

  std::optional<std::string> shortOpt_;
  std::optional<std::string> description_;
  std::optional<std::string> argName_;
  bool required_ = false;
  int numberOfArgs_ = Option::UNINITIALIZED;
  std::optional<std::string> type_;
  bool optionalArg_ = false;
  char valuesep_ = '\0';
};

} // namespace vantrel::commandOptions
