// This process's own standard streams for every OS: bytes out and in, text shown as its
// characters on a Windows console, and a stream buffer that writes through them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <streambuf>
#include <string>

namespace vantrel::platform {

/// Which of this process's own standard streams to use.
enum class StandardStream { Input, Output, Error };

/// Writes UTF-8 text (or any bytes) to this process's own standard output or error. To a
/// file or a pipe the bytes go unchanged (no line-end translation), so redirected output
/// is UTF-8. To a Windows console the text goes as characters (wide text), so that every
/// character shows whatever the console's code page; a character cut between two writes
/// is shown whole by the second. False on an error.
bool writeStandardStream(StandardStream stream, const void *data, std::size_t n);

/// Reads up to n bytes from this process's own standard input: the count read, 0 at the
/// end, -1 on an error.
std::int64_t readStandardInput(void *buffer, std::size_t n);

/// A stream buffer over standard output or error: collects text and, on flush, writes it
/// with writeStandardStream in one piece, after flushing std::cout, std::cerr and C stdio
/// so that bytes written through them earlier come out first.
class StandardStreamBuf : public std::streambuf {
public:
  /// How "\n" is written: as it is, or as the platform's line separator (as a text-mode
  /// C stream writes it: CR LF on Windows).
  enum class LineEnds { AsWritten, Platform };

  explicit StandardStreamBuf(StandardStream which, LineEnds lineEnds = LineEnds::AsWritten)
      : which_(which), lineEnds_(lineEnds) {}

protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char *s, std::streamsize n) override;
  int sync() override;

private:
  StandardStream which_;
  LineEnds lineEnds_;
  std::string pending_;
};

} // namespace vantrel::platform
