// Win32 side of this process's standard streams: WriteFile to a file or a pipe, WriteConsoleW
// to a console (GetConsoleMode tells them apart), ReadFile for standard input.
#include <windows.h>

#include <algorithm>
#include <mutex>
#include <string_view>

#include "hostText/Utf8.h"
#include "platform/standardStream.h"
#include "platform/wideText.h"

namespace vantrel::platform {

namespace {

// WriteConsoleW is given at most this many UTF-16 units at once; older consoles refuse
// much larger writes.
constexpr std::size_t CONSOLE_CHUNK = 8192;

/// Bytes of one stream's text held back because they begin a character the write did not
/// complete; the next write to the console completes it.
struct ConsoleCarry {
  std::mutex mutex;
  std::string bytes;
};

ConsoleCarry &carryOf(StandardStream stream) {
  static ConsoleCarry output, error;
  return stream == StandardStream::Error ? error : output;
}

/// How many bytes at the end of text begin a UTF-8 sequence that text does not complete.
std::size_t incompleteTail(std::string_view text) {
  for (std::size_t back = 1; back <= 3 && back <= text.size(); ++back) {
    const auto c = static_cast<unsigned char>(text[text.size() - back]);
    // A continuation byte: look further back for the lead.
    if (hostText::isUtf8Continuation(c)) continue;
    return hostText::utf8SequenceLength(c) > back ? back : 0;
  }
  return 0;
}

bool writeAll(HANDLE h, const char *p, std::size_t n) {
  while (n > 0) {
    DWORD put = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(n, 1u << 30));
    if (!::WriteFile(h, p, want, &put, nullptr)) return false;
    p += put;
    n -= put;
  }
  return true;
}

bool writeConsole(HANDLE h, StandardStream stream, const char *data, std::size_t n) {
  ConsoleCarry &carry = carryOf(stream);
  std::lock_guard<std::mutex> lock(carry.mutex);
  carry.bytes.append(data, n);
  const std::size_t complete = carry.bytes.size() - incompleteTail(carry.bytes);
  const std::wstring wide = detail::toWide(std::string_view(carry.bytes).substr(0, complete));
  carry.bytes.erase(0, complete);
  std::size_t at = 0;
  while (at < wide.size()) {
    std::size_t chunk = std::min(CONSOLE_CHUNK, wide.size() - at);
    // A surrogate pair stays in one write.
    if (at + chunk < wide.size() && IS_HIGH_SURROGATE(wide[at + chunk - 1])) --chunk;
    DWORD put = 0;
    if (!::WriteConsoleW(h, wide.data() + at, static_cast<DWORD>(chunk), &put, nullptr) || put == 0)
      return false;
    at += put;
  }
  return true;
}

} // namespace

bool writeStandardStream(StandardStream stream, const void *data, std::size_t n) {
  HANDLE h = ::GetStdHandle(stream == StandardStream::Error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return false;
  DWORD mode = 0;
  // Only a console answers GetConsoleMode; its text is shown as characters, whereas
  // bytes written to it would be read in the console's code page.
  if (::GetConsoleMode(h, &mode)) return writeConsole(h, stream, static_cast<const char *>(data), n);
  return writeAll(h, static_cast<const char *>(data), n);
}

std::int64_t readStandardInput(void *buffer, std::size_t n) {
  HANDLE h = ::GetStdHandle(STD_INPUT_HANDLE);
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return -1;
  DWORD got = 0;
  const DWORD want = static_cast<DWORD>(std::min<std::size_t>(n, 1u << 30));
  if (!::ReadFile(h, buffer, want, &got, nullptr)) return ::GetLastError() == ERROR_BROKEN_PIPE ? 0 : -1;
  return got;
}

} // namespace vantrel::platform
