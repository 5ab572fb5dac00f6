// What a Windows console shows of this process's standard output: the characters of the
// UTF-8 text, whatever the console's code page, also when a character is cut between two
// writes. Built for Windows only: elsewhere there is no console to ask. Under Wine a program
// has a console when it runs on a terminal, so CTest runs this test inside one.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/standardStream.h"

using namespace vantrel::platform;

namespace {

/// A fresh screen buffer of this process's console, standing in for standard output while
/// the test runs.
class ConsoleTest : public ::testing::Test {
protected:
  void SetUp() override {
    buffer_ = ::CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          nullptr, CONSOLE_TEXTMODE_BUFFER, nullptr);
    if (buffer_ == INVALID_HANDLE_VALUE) GTEST_SKIP() << "this process has no console";
    saved_ = ::GetStdHandle(STD_OUTPUT_HANDLE);
    ::SetStdHandle(STD_OUTPUT_HANDLE, buffer_);
    // A code page that holds none of the test's characters outside ASCII: bytes written to
    // the console would show as other characters.
    savedCodePage_ = ::GetConsoleOutputCP();
    ::SetConsoleOutputCP(437);
  }
  void TearDown() override {
    if (buffer_ == INVALID_HANDLE_VALUE) return;
    ::SetStdHandle(STD_OUTPUT_HANDLE, saved_);
    ::SetConsoleOutputCP(savedCodePage_);
    ::CloseHandle(buffer_);
  }

  /// The characters of the buffer's first row, up to n.
  std::wstring firstRow(DWORD n) const {
    std::wstring text(n, L'\0');
    DWORD read = 0;
    if (!::ReadConsoleOutputCharacterW(buffer_, text.data(), n, COORD{0, 0}, &read)) return L"<unreadable>";
    text.resize(read);
    return text;
  }

  HANDLE buffer_ = INVALID_HANDLE_VALUE;
  HANDLE saved_ = nullptr;
  UINT savedCodePage_ = 0;
};

TEST_F(ConsoleTest, TextShowsAsItsCharacters) {
  const std::string text = "Été € Жар"; // 2-byte and 3-byte characters
  DWORD mode = 0;
  ASSERT_TRUE(::GetConsoleMode(::GetStdHandle(STD_OUTPUT_HANDLE), &mode));
  // Cut inside "€" (bytes 7 to 9): the first write ends with an incomplete character.
  ASSERT_TRUE(writeStandardStream(StandardStream::Output, text.data(), 8));
  ASSERT_TRUE(writeStandardStream(StandardStream::Output, text.data() + 8, text.size() - 8));
  EXPECT_EQ(firstRow(9), L"\u00C9t\u00E9 \u20AC \u0416\u0430\u0440");
}

} // namespace
