// The stand-in runtime's environment and console text, shared by every OS: the project's
// platform layer does the OS work (wide calls and console characters on Windows).
#include "RuntimePlatform.h"

#include "platform/environment.h"
#include "platform/standardStream.h"

namespace vantrel::runtime::os {

std::optional<std::string> environmentVariable(const char *name) {
  return platform::getEnvironmentVariable(name);
}

void writeText(FILE *stream, const std::string &text) {
  // What the C stream holds comes first; the text then goes to the OS handle directly.
  std::fflush(stream);
  const auto which = stream == stderr ? platform::StandardStream::Error : platform::StandardStream::Output;
  platform::writeStandardStream(which, text.data(), text.size());
}

} // namespace vantrel::runtime::os
