// The OS-independent half of the standard streams: the stream buffer over them.
#include "platform/standardStream.h"

#include <cstdio>
#include <iostream>

#include "platform/file.h"

namespace vantrel::platform {

StandardStreamBuf::int_type StandardStreamBuf::overflow(int_type c) {
  if (!traits_type::eq_int_type(c, traits_type::eof())) pending_.push_back(traits_type::to_char_type(c));
  return traits_type::not_eof(c);
}

std::streamsize StandardStreamBuf::xsputn(const char *s, std::streamsize n) {
  pending_.append(s, static_cast<std::size_t>(n));
  return n;
}

int StandardStreamBuf::sync() {
  if (pending_.empty()) return 0;
  if (which_ == StandardStream::Error) {
    std::cerr.flush();
    std::fflush(stderr);
  } else {
    std::cout.flush();
    std::fflush(stdout);
  }
  std::string text;
  if (lineEnds_ == LineEnds::Platform) {
    const std::string separator = lineSeparator();
    text.reserve(pending_.size());
    for (char c : pending_) {
      if (c == '\n')
        text += separator;
      else
        text += c;
    }
  } else {
    text.swap(pending_);
  }
  pending_.clear();
  return writeStandardStream(which_, text.data(), text.size()) ? 0 : -1;
}

} // namespace vantrel::platform
