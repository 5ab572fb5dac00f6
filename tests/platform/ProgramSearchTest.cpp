// The program search never finds a program through the current folder: planted copies of
// the tools' names in the working folder, behind empty and relative PATH entries and (on
// Windows) without ".exe" earlier on PATH are passed over for the real program, and never
// run. A name with a folder in it is taken as named.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ChildHelper.h"
#include "hostText/FilePath.h"
#include "platform/PlatformMessages.h"
#include "platform/environment.h"
#include "platform/process.h"
#include "support/ScratchDir.h"

using namespace vantrel::platform;
using namespace vantrel::testing;
using vantrel::hostText::pathUtf8;
using vantrel::hostText::utf8Path;
namespace fs = std::filesystem;

namespace {

constexpr bool WINDOWS = std::string_view(PROGRAM_SUFFIX) == ".exe";

/// The file the planted program leaves in the current folder when it runs.
constexpr const char *MARKER = "planted-program-ran";

const char *const TOOL_NAMES[] = {"prexa_cpf", "korvo-elf-objcopy"};

/// A working folder (with a name as a user's might be) holding planted copies of the
/// tools, a relative folder "rel" holding more, an absolute folder "early" earlier on PATH
/// holding copies without the suffix, and an absolute folder "tools" holding the real
/// programs (the child program under the tools' names).
class ProgramSearch : public ::testing::Test {
protected:
  void SetUp() override {
    work_ = scratch_.path() / utf8Path("Work it's v1.2 é€ Ж 日本");
    for (const char *folder : {"rel", "early", "tools"})
      fs::create_directories(work_ / folder);
    for (const char *tool : TOOL_NAMES) {
      const std::string program = std::string(tool) + PROGRAM_SUFFIX;
      fs::copy_file(utf8Path(PLANTED_PATH), work_ / program);
      fs::copy_file(utf8Path(PLANTED_PATH), work_ / "rel" / program);
      fs::copy_file(utf8Path(CHILD_PATH), work_ / "tools" / program);
      // Windows: a file without ".exe" is no program by name. POSIX: a file that may not
      // be executed is none either.
      const fs::path bare = work_ / "early" / tool;
      fs::copy_file(utf8Path(PLANTED_PATH), bare);
      if (!WINDOWS)
        fs::permissions(bare, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                        fs::perm_options::remove);
    }
  }

  std::string folder(const std::string &name) const { return pathUtf8(work_ / name); }

  /// PATH with an empty entry, "." and a relative folder before the absolute ones.
  std::string searchPath(const std::vector<std::string> &absolute) const {
    std::string path = std::string(PATH_LIST_SEPARATOR) + "." + PATH_LIST_SEPARATOR + "rel";
    for (const std::string &entry : absolute)
      path += PATH_LIST_SEPARATOR + entry;
    return path;
  }

  bool plantedRan() const { return fs::exists(work_ / MARKER) || fs::exists(work_ / "rel" / MARKER); }

  ScratchDir scratch_;
  fs::path work_;
};

TEST_F(ProgramSearch, RealProgramOnPathIsFoundPastPlantedOnes) {
  VariableGuard path("PATH");
  CurrentFolderGuard here(work_);
  ASSERT_TRUE(setEnvironmentVariable("PATH", searchPath({folder("early"), folder("tools")})));
  std::vector<std::string> names(std::begin(TOOL_NAMES), std::end(TOOL_NAMES));
  if (WINDOWS) names.push_back("prexa_cpf.exe"); // given with its suffix: the same program
  for (const std::string &name : names) {
    const std::string stem = name.substr(0, name.find('.'));
    const std::string real = folder("tools") + DIR_SEPARATOR + stem + PROGRAM_SUFFIX;
    EXPECT_EQ(findProgram(name), std::optional<std::string>(real)) << name;
    const ChildRun run = runChild({name, "args", "é€ Ж 日本"});
    ASSERT_TRUE(run.started) << run.error;
    EXPECT_EQ(run.out, "[é€ Ж 日本]\n") << name;
    EXPECT_EQ(run.exitCode, 0) << name;
  }
  EXPECT_FALSE(plantedRan());
}

TEST_F(ProgramSearch, ProgramOnlyInTheCurrentFolderIsNotFound) {
  VariableGuard path("PATH");
  CurrentFolderGuard here(work_);
  ASSERT_TRUE(setEnvironmentVariable("PATH", searchPath({folder("early")})));
  for (const char *tool : TOOL_NAMES) {
    EXPECT_EQ(findProgram(tool), std::nullopt) << tool;
    const ChildRun run = runChild({tool, "args"});
    EXPECT_FALSE(run.started) << tool;
    EXPECT_EQ(run.error.rfind("Cannot run program \"" + std::string(tool) + "\": ", 0), 0u) << run.error;
    // Why: the first skipped entry that holds a program of that name is named.
    EXPECT_EQ(skippedSearchNote(tool),
              std::string(msg::SKIPPED_ENTRY) + msg::EMPTY_ENTRY + msg::SKIPPED_ENTRY_HOLDS);
  }
  ASSERT_TRUE(setEnvironmentVariable("PATH", "rel" + std::string(PATH_LIST_SEPARATOR) + folder("early")));
  EXPECT_EQ(skippedSearchNote("prexa_cpf"),
            std::string(msg::SKIPPED_ENTRY) + "\"rel\"" + msg::SKIPPED_ENTRY_HOLDS);
  ASSERT_TRUE(setEnvironmentVariable("PATH", folder("early")));
  EXPECT_EQ(skippedSearchNote("prexa_cpf"), "");
  EXPECT_FALSE(plantedRan());
}

TEST_F(ProgramSearch, NameWithAFolderIsTakenAsNamed) {
  VariableGuard path("PATH");
  CurrentFolderGuard here(work_);
  ASSERT_TRUE(setEnvironmentVariable("PATH", searchPath({folder("tools")})));
  // The user names the planted program with a path: it is the one that runs.
  const std::string named = std::string(".") + DIR_SEPARATOR + "prexa_cpf";
  EXPECT_EQ(findProgram(named), std::optional<std::string>(named + PROGRAM_SUFFIX));
  const ChildRun run = runChild({named});
  ASSERT_TRUE(run.started) << run.error;
  EXPECT_TRUE(fs::exists(work_ / MARKER));
}

} // namespace
