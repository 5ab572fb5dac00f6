// The help text of a command-line tool: header, usage line, option list and footer, word-wrapped.
#pragma once

#include "commandOptions/Options.h"

#include <optional>
#include <ostream>
#include <string>

namespace vantrel::commandOptions {

/// Prints help text. The settings are public and may be changed per instance. Line feeds
/// inside header, footer and descriptions are wrapping breaks; every line break written is
/// defaultNewLine (the platform line separator).
class HelpFormatter {
public:
  static constexpr int DEFAULT_WIDTH = 72;
  static constexpr int DEFAULT_LEFT_PAD = 1;
  static constexpr int DEFAULT_DESC_PAD = 3;
  static constexpr const char *DEFAULT_SYNTAX_PREFIX = "usage: ";
  static constexpr const char *DEFAULT_SHORT_OPT_PREFIX = "-";
  static constexpr const char *DEFAULT_LONG_OPT_PREFIX = "--";
  static constexpr const char *DEFAULT_ARG_NAME = "arg";

  HelpFormatter();

  int defaultWidth = DEFAULT_WIDTH;
  int defaultLeftPad = DEFAULT_LEFT_PAD;
  int defaultDescPad = DEFAULT_DESC_PAD;
  std::string defaultSyntaxPrefix = DEFAULT_SYNTAX_PREFIX;
  std::string defaultNewLine;
  std::string defaultShortOptPrefix = DEFAULT_SHORT_OPT_PREFIX;
  std::string defaultLongOptPrefix = DEFAULT_LONG_OPT_PREFIX;
  std::string defaultArgName = DEFAULT_ARG_NAME;
  /// Whether short names are shown (nothing in the tool turns it on).
  bool showShortOpts = false;

  // The forms without a stream print to standard output and flush it.
  void printHelp(const std::string &syntax, const Options &options);
  void printHelp(const std::string &syntax, const Options &options, bool autoUsage);
  void printHelp(const std::string &syntax, const std::optional<std::string> &header, const Options &options,
                 const std::optional<std::string> &footer);
  /// The form the command application uses (autoUsage true).
  void printHelp(const std::string &syntax, const std::optional<std::string> &header, const Options &options,
                 const std::optional<std::string> &footer, bool autoUsage);
  void printHelp(int width, const std::string &syntax, const std::optional<std::string> &header,
                 const Options &options, const std::optional<std::string> &footer, bool autoUsage = false);
  /// The complete form: header (when non-empty), usage line (automatic or plain), option
  /// block, footer (when non-empty). Throws std::invalid_argument "cmdLineSyntax not
  /// provided" for an empty syntax name, before anything is printed.
  void printHelp(std::ostream &out, int width, const std::string &syntax,
                 const std::optional<std::string> &header, const Options &options, int leftPad, int descPad,
                 const std::optional<std::string> &footer, bool autoUsage = false);

  /// The automatic usage line: every option of the table in its iteration order.
  void printUsage(std::ostream &out, int width, const std::string &syntax, const Options &options);
  /// The plain usage line: the prefix and the syntax name only.
  void printUsage(std::ostream &out, int width, const std::string &syntax);
  /// The fixed sentence and the sorted option list, followed by one line break.
  void printOptions(std::ostream &out, int width, const Options &options, int leftPad, int descPad);
  /// The text wrapped (continuation lines indented) followed by one line break.
  void printWrapped(std::ostream &out, int width, const std::string &text);
  void printWrapped(std::ostream &out, int width, int indent, const std::string &text);

  /// Appends the option list (sorted by the options' text form) to sb; no final break.
  std::string &renderOptions(std::string &sb, int width, const Options &options, int leftPad,
                             int descPad) const;
  /// Appends text wrapped at width to sb, continuation lines indented by nextLineTabStop.
  std::string &renderWrappedText(std::string &sb, int width, int nextLineTabStop, std::string text) const;
  /// The position at which to break text (searching from startPos), or -1 for none.
  static long long findWrapPos(const std::string &text, int width, long long startPos);
  /// n blanks.
  static std::string createPadding(int n);
  /// text without trailing white space.
  static std::string rtrim(const std::string &text);
  /// text without leading white space.
  static std::string ltrim(const std::string &text);

private:
  void appendOption(std::string &buff, const Option &option) const;
  void appendOptionGroup(std::string &buff, const OptionGroup &group) const;
};

} // namespace vantrel::commandOptions
