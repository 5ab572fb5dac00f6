// The streams the framework treats as standard output and standard error, with a test seam.
#include "commandOptions/StandardStreams.h"

#include "platform/process.h"

#include <atomic>
#include <cstdio>
#include <iostream>
#include <streambuf>
#include <string>

namespace vantrel::commandOptions {
namespace {

// Collects text and hands it to the OS unchanged on flush, so the platform line
// separator is written as it stands (a text-mode stream would turn "\r\n" into
// "\r\r\n"). Before writing, whatever other code has written through std::cout/std::cerr
// or C stdio is flushed, so the bytes reach the console in the order they were produced.
class OsStreamBuf : public std::streambuf {
public:
  explicit OsStreamBuf(platform::StandardStream which) : which_(which) {}

protected:
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof())) pending_.push_back(traits_type::to_char_type(c));
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char *s, std::streamsize n) override {
    pending_.append(s, static_cast<std::size_t>(n));
    return n;
  }
  int sync() override {
    if (pending_.empty()) return 0;
    if (which_ == platform::StandardStream::Output) {
      std::cout.flush();
      std::fflush(stdout);
    } else {
      std::cerr.flush();
      std::fflush(stderr);
    }
    const bool ok = platform::writeStandardStream(which_, pending_.data(), pending_.size());
    pending_.clear();
    return ok ? 0 : -1;
  }

private:
  platform::StandardStream which_;
  std::string pending_;
};

// Never destroyed: the console log sink is flushed from an exit handler, which may run
// after static objects made later than it have been torn down.
std::ostream &osStream(platform::StandardStream which) {
  if (which == platform::StandardStream::Output) {
    static std::ostream *out = new std::ostream(new OsStreamBuf(platform::StandardStream::Output));
    return *out;
  }
  static std::ostream *err = new std::ostream(new OsStreamBuf(platform::StandardStream::Error));
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
