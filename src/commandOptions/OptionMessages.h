// Fixed message texts of the option library, kept together so tests use the same constants.
#pragma once

namespace vantrel::commandOptions::messages {

// Option definition errors (raised as std::invalid_argument when an option is built).
inline constexpr const char *LONG_OPT_NULL = "illegal long option - cannot be null";
/// An empty long name would be filed under the key "--", which the parser reads as the end
/// of the options, so such an option could never be given; it is refused like an absent one.
inline constexpr const char *LONG_OPT_EMPTY = "illegal long option - cannot be empty";
inline constexpr const char *LONG_OPT_ILLEGAL_CHAR = "long opt contains illegal character value '";
inline constexpr const char *LONG_OPT_ILLEGAL_VALUE = "illegal long option value \"";
inline constexpr const char *SHORT_OPT_ILLEGAL_VALUE = "illegal short option value ";

// Parse errors (ParseException kinds).
inline constexpr const char *NO_ARGUMENT_FOR = "no argument for: ";
inline constexpr const char *MISSING_REQUIRED = "Missing required option(s): ";
inline constexpr const char *UNRECOGNIZED_OPTION = "Unrecognized option: ";
inline constexpr const char *ALREADY_SELECTED = "an option from this group has already been selected: '";

// Help formatting.
inline constexpr const char *SYNTAX_NOT_PROVIDED = "cmdLineSyntax not provided";
inline constexpr const char *OPTIONS_SENTENCE = "\nOptions may be specified in any order.\n\n";

} // namespace vantrel::commandOptions::messages
