// The extended form of long Windows paths, checked as text on every OS.
#include "hostText/WindowsLongPath.h"

#include <gtest/gtest.h>

#include <string>

using namespace vantrel::hostText;

namespace {

/// A folder name that makes a path long: n characters.
std::string longName(std::size_t n, char c = 'd') {
  return std::string(n, c);
}

} // namespace

TEST(WindowsLongPath, LongPathsTakeTheExtendedFormShortOnesStayAsWritten) {
  const std::string d = longName(250);
  const std::string cwd = "C:\\work";
  struct Case {
    std::string path;
    std::string expected;
  };
  const Case cases[] = {
      // Short: exactly as given, relative or not, whatever its separators.
      {"top.flash", "top.flash"},
      {"out/../top.flash", "out/../top.flash"},
      {"", ""},
      // One code unit below the limit stays; at the limit the extended form begins.
      {"C:\\" + longName(EXTENDED_FORM_FROM - 4), "C:\\" + longName(EXTENDED_FORM_FROM - 4)},
      {"C:\\" + longName(EXTENDED_FORM_FROM - 3), "\\\\?\\C:\\" + longName(EXTENDED_FORM_FROM - 3)},
      // Separators unified, "." and empty components dropped, ".." resolved.
      {"C:/" + d + "//./x/../top.flash", "\\\\?\\C:\\" + d + "\\top.flash"},
      // ".." never climbs above the drive or the share.
      {"C:\\..\\..\\" + d, "\\\\?\\C:\\" + d},
      {"\\\\srv\\share\\..\\" + d + "\\top.flash", "\\\\?\\UNC\\srv\\share\\" + d + "\\top.flash"},
      {"//srv/share/" + d, "\\\\?\\UNC\\srv\\share\\" + d},
      // Relative forms are made absolute against the current folder.
      {d + "\\top.flash", "\\\\?\\C:\\work\\" + d + "\\top.flash"},
      {"..\\" + d, "\\\\?\\C:\\" + d},
      {"\\" + d, "\\\\?\\C:\\" + d},
      {"c:" + d, "\\\\?\\C:\\work\\" + d},
      {"D:" + d, "\\\\?\\D:\\" + d},
      // Already extended or a device: the OS takes it as written, so it is left alone.
      {"\\\\?\\C:\\" + d + "\\..\\x", "\\\\?\\C:\\" + d + "\\..\\x"},
      {"\\\\.\\pipe\\" + d, "\\\\.\\pipe\\" + d},
  };
  for (const Case &c : cases)
    EXPECT_EQ(extendedLengthPath(c.path, [&] { return cwd; }), c.expected) << c.path;
}

TEST(WindowsLongPath, LengthCountsUtf16CodeUnitsAndTheCurrentFolderIsAskedOnlyWhenNeeded) {
  // 'Ж' is two UTF-8 bytes but one UTF-16 unit; '😀' four bytes and two units.
  std::string wide = "C:\\";
  for (std::size_t i = 0; i < (EXTENDED_FORM_FROM - 4) / 2; ++i)
    wide += "\xf0\x9f\x98\x80";
  std::string shortByUnits = "C:\\";
  for (std::size_t i = 0; i < EXTENDED_FORM_FROM - 4; ++i)
    shortByUnits += "\xd0\x96";
  int asked = 0;
  const auto cwd = [&] {
    ++asked;
    return std::string("\\\\srv\\share\\work");
  };
  EXPECT_EQ(extendedLengthPath(shortByUnits, cwd), shortByUnits);
  EXPECT_EQ(extendedLengthPath(wide + "\xf0\x9f\x98\x80", cwd), "\\\\?\\" + wide + "\xf0\x9f\x98\x80");
  EXPECT_EQ(asked, 0);
  const std::string d = longName(300);
  EXPECT_EQ(extendedLengthPath("\\" + d, cwd), "\\\\?\\UNC\\srv\\share\\" + d);
  EXPECT_EQ(extendedLengthPath(d, cwd), "\\\\?\\UNC\\srv\\share\\work\\" + d);
  EXPECT_EQ(asked, 2);
}

TEST(WindowsLongPath, ARelativePathCountsWithTheCurrentFolderItIsJoinedTo) {
  // A short name in a deep working folder reaches the OS as one long path; the folder may
  // itself be reported in the extended form.
  const std::string deep = "C:\\" + longName(EXTENDED_FORM_FROM);
  for (const std::string &reported : {deep, "\\\\?\\" + deep})
    EXPECT_EQ(extendedLengthPath("out\\..\\top.flash", [&] { return reported; }),
              "\\\\?\\" + deep + "\\top.flash");
  EXPECT_EQ(
      extendedLengthPath("top.flash", [] { return std::string("\\\\?\\UNC\\srv\\s\\") + longName(250); }),
      "\\\\?\\UNC\\srv\\s\\" + longName(250) + "\\top.flash");
}
