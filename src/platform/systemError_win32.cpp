// Win32 error numbers: GetLastError and FormatMessageW.
#include <windows.h>

#include "platform/PlatformMessages.h"
#include "platform/systemError.h"
#include "platform/wideText.h"

namespace vantrel::platform::detail {

int lastSystemError() {
  return static_cast<int>(::GetLastError());
}

std::string describeSystemError(int code) {
  wchar_t *text = nullptr;
  const DWORD len = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
  std::string message;
  if (len && text) {
    message = fromWide(std::wstring_view(text, len));
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
      message.pop_back();
  }
  if (text) ::LocalFree(text);
  if (message.empty()) message = msg::OS_ERROR_NUMBER + std::to_string(static_cast<DWORD>(code));
  return message;
}

int systemErrorFor(SimulatedError error) {
  switch (error) {
  case SimulatedError::DiskFull:
    return ERROR_DISK_FULL;
  case SimulatedError::WriteFailed:
    return ERROR_WRITE_FAULT;
  case SimulatedError::AccessDenied:
    break;
  }
  return ERROR_ACCESS_DENIED;
}

} // namespace vantrel::platform::detail
