// The runtime's output of text (messages, exception reports): UTF-8 bytes when redirected,
// the characters themselves on a Windows console.
#include "RuntimePlatform.h"
#include "testConsole.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

const std::string TEXT = "\xc3\x89t\xc3\xa9 \xe2\x82\xac \xd0\x96 \xe6\x97\xa5\xe6\x9c\xac";

} // namespace

TEST(RuntimeOutput, RedirectedTextKeepsItsUtf8Bytes) {
  FILE *file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  vantrel::runtime::os::writeText(file, TEXT);
  std::fflush(file);
  std::rewind(file);
  char buffer[64] = {0};
  const std::size_t got = std::fread(buffer, 1, sizeof buffer, file);
  std::fclose(file);
  EXPECT_EQ(std::string(buffer, got), TEXT);
}

TEST(RuntimeOutput, AConsoleShowsTheCharacters) {
  const auto shown =
      console_test::consoleShows([](FILE *stream) { vantrel::runtime::os::writeText(stream, TEXT); }, 10);
  if (!shown) GTEST_SKIP() << "no console to read back: start the test from a terminal under Wine";
  EXPECT_EQ(*shown, TEXT);
}
