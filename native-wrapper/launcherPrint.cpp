// The launcher's printf-style output through the platform's text writer.
#include "launcherPrint.h"

#include "launcherPlatform.h"

#include <cstdarg>
#include <string>

namespace vantrel::launcher {

void printTo(FILE *stream, const char *format, ...) {
  std::va_list args;
  va_start(args, format);
  std::va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
  if (length > 0) std::vsnprintf(text.data(), text.size() + 1, format, again);
  va_end(again);
  platform::writeText(stream, text);
}

std::string formatMessage(const char *format, const std::string &argument) {
  std::string text = format;
  const std::size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, argument);
  return text;
}

} // namespace vantrel::launcher
