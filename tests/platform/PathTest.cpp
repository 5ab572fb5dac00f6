// The last component of a path: cut at '\' and '/' on Windows, at '/' only elsewhere.
#include "platform/path.h"

#include <gtest/gtest.h>

#include <string>

using namespace vantrel::platform;

TEST(Path, LastComponentFollowsTheSeparatorsOfThisOs) {
#ifdef _WIN32
  constexpr bool windows = true;
#else
  constexpr bool windows = false;
#endif
  struct Case {
    std::string path;
    std::string onWindows;
    std::string elsewhere;
  };
  const Case cases[] = {
      {"top.flash", "top.flash", "top.flash"},
      {"out/Été v2/top.flash", "top.flash", "top.flash"},
      {"d$1\\x$0.flash", "x$0.flash", "d$1\\x$0.flash"},
      {"C:\\proj.v2\\top", "top", "C:\\proj.v2\\top"},
      {"C:top.sof", "top.sof", "C:top.sof"},
      {"dir/", "", ""},
      {"", "", ""},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(std::string(lastComponent(c.path)), windows ? c.onWindows : c.elsewhere) << c.path;
  }
  EXPECT_TRUE(isPathSeparator('/'));
  EXPECT_EQ(isPathSeparator('\\'), windows);
}

// Only absolute folders are searched for programs, so what counts as absolute decides
// whether a program can be found through the current folder.
TEST(Path, AbsolutePathsNeedNoCurrentFolder) {
#ifdef _WIN32
  constexpr bool windows = true;
#else
  constexpr bool windows = false;
#endif
  struct Case {
    std::string path;
    bool onWindows;
    bool elsewhere;
  };
  const Case cases[] = {
      {"/usr/bin", false, true},   {"C:\\Tools é", true, false},
      {"c:/tools", true, false},   {"\\\\server\\share", true, false},
      {"C:tools", false, false},   {"\\tools", false, false},
      {".", false, false},         {"..\\bin", false, false},
      {"bin/tools", false, false}, {"", false, false},
  };
  for (const Case &c : cases)
    EXPECT_EQ(isAbsolutePath(c.path), windows ? c.onWindows : c.elsewhere) << c.path;
}
