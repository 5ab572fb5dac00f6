// The launcher's printf-style output: every message and echo goes through here to the
// platform's text writer, so a Windows console shows the characters of UTF-8 text.
#pragma once

#include <cstdio>
#include <string>

namespace vantrel::launcher {

/// Formats like fprintf and writes the text to stream with platform::writeText.
void printTo(FILE *stream, const char *format, ...) __attribute__((format(printf, 2, 3)));

/// The message format with its one "%s" replaced by argument (for messages that are thrown
/// as LauncherFatalError and printed by the process entry).
std::string formatMessage(const char *format, const std::string &argument);

} // namespace vantrel::launcher
