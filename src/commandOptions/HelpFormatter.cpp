// The help text of a command-line tool: header, usage line, option list and footer, word-wrapped.
#include "commandOptions/HelpFormatter.h"

#include "commandOptions/OptionMessages.h"
#include "commandOptions/StandardStreams.h"
#include "platform/file.h"

#include <algorithm>
#include <set>
#include <stdexcept>
#include <vector>

namespace vantrel::commandOptions {
namespace {

bool isWhite(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u == ' ' || u == '\t' || u == '\n' || u == '\v' || u == '\f' || u == '\r' ||
         (u >= 0x1C && u <= 0x1F);
}

bool isBreak(char c) {
  return c == ' ' || c == '\n' || c == '\r';
}

// Leading white space removed, but no further than the first line feed removed, so that
// two line feeds in a row still give an empty line.
std::string ltrimThroughFirstLineFeed(const std::string &text) {
  std::size_t i = 0;
  while (i < text.size() && isWhite(text[i])) {
    if (text[i++] == '\n') break;
  }
  return text.substr(i);
}

int atLeast(int value, int floor) {
  return value < floor ? floor : value;
}

} // namespace

HelpFormatter::HelpFormatter() : defaultNewLine(platform::lineSeparator()) {}

void HelpFormatter::printHelp(const std::string &syntax, const Options &options) {
  printHelp(defaultWidth, syntax, std::nullopt, options, std::nullopt, false);
}

void HelpFormatter::printHelp(const std::string &syntax, const Options &options, bool autoUsage) {
  printHelp(defaultWidth, syntax, std::nullopt, options, std::nullopt, autoUsage);
}

void HelpFormatter::printHelp(const std::string &syntax, const std::optional<std::string> &header,
                              const Options &options, const std::optional<std::string> &footer) {
  printHelp(defaultWidth, syntax, header, options, footer, false);
}

void HelpFormatter::printHelp(const std::string &syntax, const std::optional<std::string> &header,
                              const Options &options, const std::optional<std::string> &footer,
                              bool autoUsage) {
  printHelp(defaultWidth, syntax, header, options, footer, autoUsage);
}

void HelpFormatter::printHelp(int width, const std::string &syntax, const std::optional<std::string> &header,
                              const Options &options, const std::optional<std::string> &footer,
                              bool autoUsage) {
  std::ostream &out = standardOutput();
  printHelp(out, width, syntax, header, options, defaultLeftPad, defaultDescPad, footer, autoUsage);
  out.flush();
}

void HelpFormatter::printHelp(std::ostream &out, int width, const std::string &syntax,
                              const std::optional<std::string> &header, const Options &options, int leftPad,
                              int descPad, const std::optional<std::string> &footer, bool autoUsage) {
  if (syntax.empty()) throw std::invalid_argument(messages::SYNTAX_NOT_PROVIDED);
  if (header && !header->empty()) printWrapped(out, width, *header);
  if (autoUsage)
    printUsage(out, width, syntax, options);
  else
    printUsage(out, width, syntax);
  printOptions(out, width, options, leftPad, descPad);
  if (footer && !footer->empty()) printWrapped(out, width, *footer);
}

void HelpFormatter::appendOption(std::string &buff, const Option &option) const {
  if (!option.isRequired()) buff += "[";
  if (option.hasShortOpt() && showShortOpts) buff += defaultShortOptPrefix + *option.getShortOpt() + "/";
  buff += defaultLongOptPrefix + option.getLongOpt();
  if (option.hasArg()) {
    if (option.hasOptionalArg()) buff += "[";
    buff += "=";
    buff += option.getArgName().value_or(defaultArgName);
    if (option.hasOptionalArg()) buff += "]";
  }
  if (!option.isRequired()) buff += "]";
}

void HelpFormatter::appendOptionGroup(std::string &buff, const OptionGroup &group) const {
  buff += "[";
  bool first = true;
  for (const std::string &key : group.getNames()) {
    if (!first) buff += " | ";
    first = false;
    buff += key;
  }
  buff += "]";
}

void HelpFormatter::printUsage(std::ostream &out, int width, const std::string &syntax,
                               const Options &options) {
  std::string buff = defaultSyntaxPrefix + syntax + " ";
  // A group is shown once, where its first member comes up; later members are skipped.
  std::set<const OptionGroup *> shownGroups;
  for (const Option &option : options.getOptions()) {
    if (auto group = options.getOptionGroup(option)) {
      if (shownGroups.insert(group.get()).second) {
        appendOptionGroup(buff, *group);
        buff += " ";
      }
    } else {
      appendOption(buff, option);
      buff += " ";
    }
  }
  // Continuation lines start under the first character after the syntax prefix.
  const std::size_t blank = buff.find(' ');
  printWrapped(out, width, static_cast<int>(blank + 1), buff);
}

void HelpFormatter::printUsage(std::ostream &out, int width, const std::string &syntax) {
  const std::size_t blank = syntax.find(' ');
  const int argPos = blank == std::string::npos ? 0 : static_cast<int>(blank + 1);
  printWrapped(out, width, static_cast<int>(defaultSyntaxPrefix.size()) + argPos,
               defaultSyntaxPrefix + syntax);
}

void HelpFormatter::printOptions(std::ostream &out, int width, const Options &options, int leftPad,
                                 int descPad) {
  std::string sb;
  renderWrappedText(sb, width, 0, messages::OPTIONS_SENTENCE);
  renderOptions(sb, width, options, leftPad, descPad);
  out << sb << defaultNewLine;
}

void HelpFormatter::printWrapped(std::ostream &out, int width, const std::string &text) {
  printWrapped(out, width, 0, text);
}

void HelpFormatter::printWrapped(std::ostream &out, int width, int indent, const std::string &text) {
  std::string sb;
  renderWrappedText(sb, width, indent, text);
  out << sb << defaultNewLine;
}

std::string &HelpFormatter::renderOptions(std::string &sb, int width, const Options &options, int leftPad,
                                          int descPad) const {
  const std::string lpad = createPadding(leftPad);
  const std::string dpad = createPadding(descPad);

  // Sorted by text form, which begins "[ option: <long name> ": ascending long names.
  std::vector<Option> sorted = options.helpOptions();
  std::vector<std::pair<std::string, Option>> keyed;
  keyed.reserve(sorted.size());
  for (Option &option : sorted)
    keyed.emplace_back(option.toString(), std::move(option));
  std::stable_sort(keyed.begin(), keyed.end(),
                   [](const auto &a, const auto &b) { return a.first < b.first; });

  std::vector<std::string> prefixes;
  std::size_t longest = 0;
  for (const auto &[text, option] : keyed) {
    std::string column = lpad;
    if (option.hasShortOpt() && showShortOpts)
      column +=
          defaultShortOptPrefix + *option.getShortOpt() + "," + defaultLongOptPrefix + option.getLongOpt();
    else
      column += "   " + defaultLongOptPrefix + option.getLongOpt();
    if (option.hasArg()) {
      if (option.hasOptionalArg()) column += "[";
      column += "=<";
      column += option.getArgName().value_or(defaultArgName);
      column += ">";
      if (option.hasOptionalArg()) column += "]";
    }
    longest = std::max(longest, column.size());
    prefixes.push_back(std::move(column));
  }

  const int nextLineTabStop = static_cast<int>(longest) + atLeast(descPad, 0);
  for (std::size_t i = 0; i < keyed.size(); ++i) {
    const Option &option = keyed[i].second;
    std::string line = prefixes[i];
    line.append(longest - line.size(), ' ');
    line += dpad;
    if (option.hasDescription()) line += *option.getDescription();
    renderWrappedText(sb, width, nextLineTabStop, line);
    if (i + 1 < keyed.size()) sb += defaultNewLine;
  }
  return sb;
}

std::string &HelpFormatter::renderWrappedText(std::string &sb, int width, int nextLineTabStop,
                                              std::string text) const {
  // A width below 1 cannot make progress; it is treated as 1 (words are never split).
  width = atLeast(width, 1);
  nextLineTabStop = atLeast(nextLineTabStop, 0);
  long long pos = findWrapPos(text, width, 0);
  if (pos == -1) {
    sb += rtrim(text);
    return sb;
  }
  sb += rtrim(text.substr(0, static_cast<std::size_t>(pos)));
  sb += defaultNewLine;

  const std::string padding = createPadding(nextLineTabStop);
  while (true) {
    // Every break position holds a white-space character at or after the indent, and it
    // is removed here, so the text shrinks on each round.
    text = padding + ltrimThroughFirstLineFeed(text.substr(static_cast<std::size_t>(pos)));
    pos = findWrapPos(text, width, nextLineTabStop);
    if (pos == -1) {
      // The last piece is written as it stands: the usage line keeps its final blank.
      sb += text;
      return sb;
    }
    sb += rtrim(text.substr(0, static_cast<std::size_t>(pos)));
    sb += defaultNewLine;
  }
}

long long HelpFormatter::findWrapPos(const std::string &text, int width, long long startPos) {
  const auto length = static_cast<long long>(text.size());
  const auto start = static_cast<std::size_t>(startPos);
  // A line feed or tab within the width always breaks; note that these two tests measure
  // from the start of the text, the ones below from startPos, so continuation lines may
  // run to indent + width characters.
  const std::size_t lineFeed = text.find('\n', start);
  if (lineFeed != std::string::npos && static_cast<long long>(lineFeed) <= width)
    return static_cast<long long>(lineFeed);
  const std::size_t tab = text.find('\t', start);
  if (tab != std::string::npos && static_cast<long long>(tab) <= width) return static_cast<long long>(tab);
  if (startPos + width >= length) return -1;

  // The last break character at or before startPos + width ...
  long long pos = startPos + width;
  while (pos >= startPos && !isBreak(text[static_cast<std::size_t>(pos)]))
    --pos;
  if (pos > startPos) return pos;
  // ... else the first one after it: a word longer than the room stays whole.
  pos = startPos + width;
  while (pos < length && !isBreak(text[static_cast<std::size_t>(pos)]))
    ++pos;
  return pos == length ? -1 : pos;
}

std::string HelpFormatter::createPadding(int n) {
  return std::string(static_cast<std::size_t>(atLeast(n, 0)), ' ');
}

std::string HelpFormatter::rtrim(const std::string &text) {
  std::size_t end = text.size();
  while (end > 0 && isWhite(text[end - 1]))
    --end;
  return text.substr(0, end);
}

std::string HelpFormatter::ltrim(const std::string &text) {
  std::size_t begin = 0;
  while (begin < text.size() && isWhite(text[begin]))
    ++begin;
  return text.substr(begin);
}

} // namespace vantrel::commandOptions
