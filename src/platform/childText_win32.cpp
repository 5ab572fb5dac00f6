// Win32: text in the ANSI code page, through MultiByteToWideChar.
#include <windows.h>

#include <climits>

#include "platform/childText.h"
#include "platform/wideText.h"

namespace vantrel::platform {

std::string fromSystemCodePage(std::string_view bytes) {
  // The code page is asked each time: the text of a line is small beside a process start.
  // A byte the code page does not define becomes U+FFFD.
  if (bytes.empty() || bytes.size() > INT_MAX) return std::string(bytes);
  const UINT codePage = ::GetACP();
  const int size = static_cast<int>(bytes.size());
  const int length = ::MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
  if (length <= 0) return std::string(bytes);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(codePage, 0, bytes.data(), size, wide.data(), length);
  return detail::fromWide(wide);
}

} // namespace vantrel::platform
