// The launcher's printf-style output: every message and echo goes through here to the
// platform's text writer, so a Windows console shows the characters of UTF-8 text.
#pragma once

#include <cstdio>

namespace vantrel::launcher {

/// Formats like fprintf and writes the text to stream with platform::writeText.
void printTo(FILE *stream, const char *format, ...) __attribute__((format(printf, 2, 3)));

} // namespace vantrel::launcher
