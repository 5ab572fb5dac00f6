// The path rules of both systems: separators, the last component, absolute paths, program
// names that hold a folder and the names of Windows devices.
#include "hostText/PathText.h"

#include <gtest/gtest.h>

#include <string>

using namespace vantrel::hostText;

TEST(PathText, LastComponentIsCutAtTheSeparatorsOfEachSystem) {
  struct Case {
    std::string path;
    std::string onWindows;
    std::string onPosix;
  };
  const Case cases[] = {
      {"top.flash", "top.flash", "top.flash"},
      {"out/\xc3\x89t\xc3\xa9 v2/top.flash", "top.flash", "top.flash"},
      // A backslash is an ordinary character of a POSIX file name.
      {"d$1\\x$0.flash", "x$0.flash", "d$1\\x$0.flash"},
      {"C:\\proj.v2\\top", "top", "C:\\proj.v2\\top"},
      {"C:top.sof", "top.sof", "C:top.sof"},
      {"dir/", "", ""},
      {"", "", ""},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(std::string(c.path.substr(lastComponentStart(c.path, HostSystem::Windows))), c.onWindows)
        << c.path;
    EXPECT_EQ(std::string(c.path.substr(lastComponentStart(c.path, HostSystem::Posix))), c.onPosix) << c.path;
  }
  EXPECT_TRUE(isPathSeparator('\\', HostSystem::Windows));
  EXPECT_FALSE(isPathSeparator('\\', HostSystem::Posix));
}

// Only absolute folders are searched for programs, so what counts as absolute decides
// whether a program can be found through the current folder.
TEST(PathText, AbsolutePathsNeedNoCurrentFolder) {
  struct Case {
    std::string path;
    bool onWindows;
    bool onPosix;
  };
  const Case cases[] = {
      {"/usr/bin", false, true}, {"C:\\Tools \xc3\xa9", true, false},
      {"c:/tools", true, false}, {"\\\\server\\share", true, false},
      {"C:tools", false, false}, {"\\tools", false, false},
      {"C:", false, false},      {".", false, false},
      {"..\\bin", false, false}, {"bin/tools", false, false},
      {"", false, false},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(isAbsolutePath(c.path, HostSystem::Windows), c.onWindows) << c.path;
    EXPECT_EQ(isAbsolutePath(c.path, HostSystem::Posix), c.onPosix) << c.path;
  }
}

TEST(PathText, ProgramNamesWithAFolderAreUsedAsNamed) {
  EXPECT_TRUE(namesFolder("/usr/bin/java", HostSystem::Posix));
  EXPECT_FALSE(namesFolder("a\\b", HostSystem::Posix));
  EXPECT_TRUE(namesFolder("a\\b", HostSystem::Windows));
  EXPECT_TRUE(namesFolder("C:java.exe", HostSystem::Windows));
  EXPECT_FALSE(namesFolder("java.exe", HostSystem::Windows));
}

TEST(PathText, WindowsDeviceNamesTakeAnyCaseAndExtension) {
  for (const char *name : {"NUL", "nul", "Con", "AUX", "prn", "COM1", "com9", "LPT1", "Lpt9", "nul.txt",
                           "NUL.tar.gz", "con .flash", "NUL "}) {
    EXPECT_TRUE(isDeviceName(name, HostSystem::Windows)) << name;
    EXPECT_FALSE(isDeviceName(name, HostSystem::Posix)) << name;
  }
  for (const char *name :
       {"", "NULL", "nul1", "COM0", "COM10", "LPT", "xnul", "top.nul", "con_x.flash", ".nul"})
    EXPECT_FALSE(isDeviceName(name, HostSystem::Windows)) << name;
}
