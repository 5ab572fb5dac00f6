// An option table shaped like the conversion tool's, and a parse entry that takes any input.
#pragma once

#include "commandOptions/Options.h"

#include <string>
#include <vector>

namespace vantrel::commandApplication {

/// The conversion tool's options (names, short names, value names, "=" separators)
/// followed by the four standard options, in the tool's order of registration.
commandOptions::Options conversionLikeOptions();

/// Outcome of parseAnyArguments.
struct AnyParseOutcome {
  bool parsed = false;          ///< a CommandLine came back
  std::string error;            ///< the ParseException's message otherwise
  std::size_t remainingArgs = 0;
  std::size_t occurrences = 0;
};

/// Entry for hostile input (fuzzing): parses any argument list leniently with
/// conversionLikeOptions(), reads back every option's values and decodes each as an
/// integer. Never throws anything but std::bad_alloc; a ParseException is returned as
/// an outcome.
AnyParseOutcome parseAnyArguments(const std::vector<std::string> &arguments);

} // namespace vantrel::commandApplication
