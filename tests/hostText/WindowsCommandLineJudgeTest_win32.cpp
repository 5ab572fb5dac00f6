// The table of Windows command-line rules judged by the C runtime and CommandLineToArgvW
// the tests run on (Wine's): each line is given as it stands to a child that prints both
// splits. Rows where Wine's C runtime departs from the documented rule say so in the table.
#include "WindowsCommandLineCases.h"
#include "hostText/Utf16.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

using host_text_test::Args;

namespace {

std::wstring wide(const std::string &utf8) {
  const std::u16string text = vantrel::hostText::utf8ToUtf16(utf8);
  return std::wstring(text.begin(), text.end());
}

// Runs the judge with exactly this command line; its standard output, or "" when it could
// not be run.
std::string judge(const std::string &commandLine) {
  wchar_t folder[MAX_PATH + 1];
  wchar_t outName[MAX_PATH + 1];
  if (GetTempPathW(MAX_PATH + 1, folder) == 0 || GetTempFileNameW(folder, L"jdg", 0, outName) == 0) return "";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE out = CreateFileW(outName, GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  std::string text;
  if (out != INVALID_HANDLE_VALUE) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = out;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi{};
    std::wstring line = wide(commandLine);
    const bool started = CreateProcessW(wide(ARGV_JUDGE).c_str(), line.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &si, &pi) != 0;
    CloseHandle(out);
    if (started) {
      const bool ended = WaitForSingleObject(pi.hProcess, INFINITE) == WAIT_OBJECT_0;
      CloseHandle(pi.hThread);
      CloseHandle(pi.hProcess);
      HANDLE in = ended ? CreateFileW(outName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr)
                        : INVALID_HANDLE_VALUE;
      if (in != INVALID_HANDLE_VALUE) {
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(in, buffer, sizeof buffer, &got, nullptr) && got > 0)
          text.append(buffer, got);
        CloseHandle(in);
      }
    }
  }
  DeleteFileW(outName);
  return text;
}

std::string listing(const char *label, const Args &args) {
  std::string text = label;
  text.append(1, ' ').append(std::to_string(args.size())).append(1, '\n');
  for (const std::string &a : args)
    text.append(1, '[').append(a).append("]\n");
  return text;
}

} // namespace

TEST(WindowsCommandLineJudge, RealRuntimeSplitsEveryRowAsTheTableSays) {
  for (const host_text_test::CommandLineCase &c : host_text_test::commandLineCases()) {
    const std::string seen = judge(c.line);
    const std::size_t shell = seen.find("shell ");
    ASSERT_NE(shell, std::string::npos) << c.line << "\n" << seen;
    EXPECT_EQ(seen.substr(0, shell), listing("crt", c.wineRuntime.value_or(c.cRuntime))) << c.line;
    if (c.shellApi) {
      EXPECT_EQ(seen.substr(shell), listing("shell", *c.shellApi)) << c.line;
    }
  }
}
