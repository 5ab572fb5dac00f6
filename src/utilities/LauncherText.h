// Text work of the process runner: splitting a command string at blanks, the line filter
// of read() and taking one line from the front of a buffer.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vantrel::utilities {

/// Splits at every single blank: a run of blanks yields empty pieces between them, a
/// leading blank an empty first piece; empty pieces at the end are dropped (a text of
/// blanks only gives no pieces). No quoting is recognised.
std::vector<std::string> splitAtBlanks(const std::string &commandLine);

/// The lines of text (split at "\n", empty pieces at the end dropped) that begin with
/// prefix, each followed by "\n". A CR before a line's "\n" stays with the line.
std::string filterLines(const std::string &text, const std::string &prefix);

/// Takes one line from the front of buffer: skips leading CR and LF characters, and if a
/// run of other characters is followed by a CR or LF, removes the skipped breaks, that run
/// and every CR/LF right after it, and returns the run. Nothing (buffer unchanged) when no
/// complete line is buffered.
std::optional<std::string> takeLine(std::string &buffer);

/// The text appended to a stream's buffer when reading it failed with description.
std::string readErrorText(const std::string &description);

/// The command elements joined by single blanks.
std::string joinWithBlanks(const std::vector<std::string> &command);

} // namespace vantrel::utilities
