// The streams the framework treats as standard output and standard error, with a test seam.
#include "commandOptions/StandardStreams.h"

#include "platform/standardStream.h"

#include <atomic>
#include <ostream>

namespace vantrel::commandOptions {
namespace {

// The real streams hand their text to the OS unchanged on flush, so the platform line
// separator is written as it stands (a text-mode stream would turn "\r\n" into "\r\r\n"),
// and a Windows console shows the UTF-8 text as its characters. They are never destroyed:
// the console log sink is flushed from an exit handler, which may run
// after static objects made later than it have been torn down.
std::ostream &osStream(platform::StandardStream which) {
  if (which == platform::StandardStream::Output) {
    static std::ostream *out =
        new std::ostream(new platform::StandardStreamBuf(platform::StandardStream::Output));
    return *out;
  }
  static std::ostream *err =
      new std::ostream(new platform::StandardStreamBuf(platform::StandardStream::Error));
  return *err;
}

std::atomic<std::ostream *> outputOverride{nullptr};
std::atomic<std::ostream *> errorOverride{nullptr};

} // namespace

std::ostream &standardOutput() {
  std::ostream *stream = outputOverride.load();
  return stream ? *stream : osStream(platform::StandardStream::Output);
}

std::ostream &standardError() {
  std::ostream *stream = errorOverride.load();
  return stream ? *stream : osStream(platform::StandardStream::Error);
}

void setStandardOutput(std::ostream *stream) {
  outputOverride.store(stream);
}

void setStandardError(std::ostream *stream) {
  errorOverride.store(stream);
}

} // namespace vantrel::commandOptions
