// Win32 side of the OS's error texts: FormatMessageW, UTF-16 to UTF-8 at the call.
#include <windows.h>

#include "platform/PlatformMessages.h"
#include "platform/osError.h"
#include "platform/wideText.h"

namespace vantrel::platform::detail {

std::string describeOsError(unsigned long code) {
  wchar_t *text = nullptr;
  const DWORD len = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
  std::string message;
  if (len && text) {
    message = fromWide(std::wstring_view(text, len));
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
      message.pop_back();
  } else {
    message = msg::OS_ERROR_NUMBER + std::to_string(code);
  }
  if (text) ::LocalFree(text);
  return message;
}

} // namespace vantrel::platform::detail
