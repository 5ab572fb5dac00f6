// The search of PATH for a program: which full names are tried, in which order, and that
// the current folder never is.
#include "hostText/ProgramSearch.h"

#include <gtest/gtest.h>

using namespace vantrel::hostText;
using Names = std::vector<std::string>;

TEST(ProgramSearch, CandidatesComeFromAbsolutePathEntriesOnly) {
  struct Case {
    HostSystem host;
    std::string program;
    std::string path;
    Names candidates;
  };
  const HostSystem posix = HostSystem::Posix;
  const HostSystem windows = HostSystem::Windows;
  const Case cases[] = {
      {posix, "uname", "/usr/bin:/bin/", {"/usr/bin/uname", "/bin/uname"}},
      // Empty entries, "." and other relative folders would all mean the current folder.
      {posix, "uname", ":.:bin::/opt/t\xc3\xa9:", {"/opt/t\xc3\xa9/uname"}},
      {posix, "uname", "", {}},
      {posix, "my tool", "/a b", {"/a b/my tool"}},
      // Windows: only programs ending in .exe count (in any case); a name without it gets it.
      {windows, "uname", "C:\\cygwin\\bin;D:/tools/", {"C:\\cygwin\\bin\\uname.exe", "D:/tools/uname.exe"}},
      {windows, "cygpath.EXE", "C:\\bin", {"C:\\bin\\cygpath.EXE"}},
      {windows, "prexa_cpf.cmd", "C:\\bin", {"C:\\bin\\prexa_cpf.cmd.exe"}},
      // Relative, drive-relative and rooted-without-drive entries depend on the current
      // folder or drive and are skipped; a server share is absolute.
      {windows,
       "uname",
       ";.;bin;C:bin;\\bin;\\\\srv\\share\\bin;Z:\\\xd0\x96 \xe6\x97\xa5\xe6\x9c\xac",
       {"\\\\srv\\share\\bin\\uname.exe", "Z:\\\xd0\x96 \xe6\x97\xa5\xe6\x9c\xac\\uname.exe"}},
      // A quoted entry loses its quotes; a ';' between them is part of the folder.
      {windows,
       "uname",
       "\"C:\\a;b\";\"C:\\Program Files\\x\"",
       {"C:\\a;b\\uname.exe", "C:\\Program Files\\x\\uname.exe"}},
      // A name with a folder is never searched for.
      {posix, "./uname", "/usr/bin", {}},
      {windows, "bin\\uname", "C:\\bin", {}},
      {windows, "C:uname", "C:\\bin", {}},
      {windows, "", "C:\\bin", {}},
  };
  for (const Case &c : cases)
    EXPECT_EQ(programCandidates(c.program, c.path, c.host), c.candidates) << c.program << " on " << c.path;
}

TEST(ProgramSearch, SkippedEntriesAreTheEmptyAndRelativeOnesAsWritten) {
  EXPECT_EQ(skippedSearchEntries(":.:bin::/opt/x:", HostSystem::Posix), (Names{"", ".", "bin", "", ""}));
  EXPECT_EQ(skippedSearchEntries(";.;\"C:bin\";\\bin;D:\\x", HostSystem::Windows),
            (Names{"", ".", "C:bin", "\\bin"}));
  EXPECT_EQ(inSkippedEntry("", "prexa_cpf", HostSystem::Windows), ".\\prexa_cpf.exe");
  EXPECT_EQ(inSkippedEntry("rel/", "tool", HostSystem::Posix), "rel/tool");
}
