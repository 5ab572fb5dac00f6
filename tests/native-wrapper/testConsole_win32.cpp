// Test helper on Windows: writes through a C stream on CONOUT$ and reads the screen back
// with ReadConsoleOutputCharacterW.
#include "testConsole.h"

#include "hostText/Utf16.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <vector>

namespace console_test {

std::optional<std::string> consoleShows(const std::function<void(FILE *)> &writer, std::size_t characters) {
  // Read access too: GetConsoleMode and the read-back need it.
  HANDLE screen = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  CONSOLE_SCREEN_BUFFER_INFO before{};
  if (screen == INVALID_HANDLE_VALUE) return std::nullopt;
  if (!GetConsoleScreenBufferInfo(screen, &before)) {
    CloseHandle(screen);
    return std::nullopt;
  }
  HANDLE duplicate = nullptr;
  DuplicateHandle(GetCurrentProcess(), screen, GetCurrentProcess(), &duplicate, 0, FALSE,
                  DUPLICATE_SAME_ACCESS);
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(duplicate), _O_WRONLY);
  FILE *stream = fd >= 0 ? _fdopen(fd, "w") : nullptr;
  std::optional<std::string> shown;
  if (stream) {
    // A code page without Ж and 日本, whatever the locale: bytes written as they are could
    // not show them, characters written as characters can.
    const UINT codePage = GetConsoleOutputCP();
    SetConsoleOutputCP(1252);
    writer(stream);
    std::fflush(stream);
    SetConsoleOutputCP(codePage);
    std::vector<wchar_t> cells(characters);
    DWORD got = 0;
    if (ReadConsoleOutputCharacterW(screen, cells.data(), static_cast<DWORD>(characters),
                                    before.dwCursorPosition, &got))
      shown = vantrel::hostText::utf16ToUtf8(std::u16string(cells.begin(), cells.begin() + got));
    std::fclose(stream);
  }
  CloseHandle(screen);
  return shown;
}

} // namespace console_test
