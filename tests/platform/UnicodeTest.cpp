// Paths, arguments and environment values as a user's may be: a space, upper case, an
// apostrophe, a dot, characters inside the Windows ANSI code page (é, €) and outside it
// (Ж, 日本). Every file, environment and process operation of the OS layer keeps them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "ChildHelper.h"
#include "hostText/FilePath.h"
#include "platform/PlatformMessages.h"
#include "platform/environment.h"
#include "platform/file.h"
#include "platform/process.h"
#include "support/ScratchDir.h"

using namespace vantrel::platform;
using namespace vantrel::testing;
using vantrel::hostText::pathUtf8;
using vantrel::hostText::utf8Path;
namespace fs = std::filesystem;

namespace {

// One feature per name, then all of them in one.
const char *const NAMES[] = {
    "with space", "UPPER", "it's", "v1.2.dir", "café", "€uro", "Жар", "日本", "All it's v1.2 é€ Ж 日本"};

std::vector<std::string> namesIn(const fs::path &folder) {
  std::vector<std::string> names;
  for (const auto &entry : fs::directory_iterator(folder))
    names.push_back(pathUtf8(entry.path().filename()));
  std::sort(names.begin(), names.end());
  return names;
}

TEST(UnicodePaths, FileOperationsKeepEveryName) {
  ScratchDir scratch;
  for (const std::string name : NAMES) {
    SCOPED_TRACE(name);
    const fs::path folder = scratch.path() / utf8Path(name);
    fs::create_directory(folder);
    const std::string dir = pathUtf8(folder) + DIR_SEPARATOR;
    const std::string file = dir + name + ".bin";
    const std::string text = "content of " + name;

    ASSERT_TRUE(writeWholeFile(file, text.data(), text.size()));
    const auto back = readWholeFile(file);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(std::string(back->begin(), back->end()), text);
    EXPECT_TRUE(fileExists(file));
    const auto status = statFile(file);
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(status->size, text.size());
    EXPECT_GT(modifiedMillis(file), 0);

    OutputFile atomic;
    ASSERT_TRUE(atomic.open(dir + "atomic " + name, OutputFile::Mode::Atomic));
    ASSERT_TRUE(atomic.write(text));
    ASSERT_TRUE(atomic.commit());
    ASSERT_TRUE(renameFile(file, dir + "renamed " + name));
    EXPECT_FALSE(fileExists(file));
    // The names the OS holds are exactly the ones given (no '?', no code-page bytes).
    EXPECT_EQ(namesIn(folder), (std::vector<std::string>{"atomic " + name, "renamed " + name}));

    EXPECT_TRUE(removeFile(dir + "atomic " + name));
    EXPECT_TRUE(removeFile(dir + "renamed " + name));
    EXPECT_TRUE(namesIn(folder).empty());
  }
}

TEST(UnicodePaths, ChildInSuchAFolderGetsSuchArgumentsAndReadsSuchFiles) {
  ScratchDir scratch;
  for (const std::string name : NAMES) {
    SCOPED_TRACE(name);
    const fs::path folder = scratch.path() / utf8Path(name);
    fs::create_directory(folder);
    const std::string program = "child " + name;
    fs::copy_file(utf8Path(CHILD_PATH), folder / utf8Path(program + PROGRAM_SUFFIX));
    const std::string data = pathUtf8(folder / utf8Path(name + ".txt"));
    ASSERT_TRUE(writeWholeFile(data, name.data(), name.size()));

    // Started by its path, then found on PATH by its name alone.
    const std::string path = pathUtf8(folder / utf8Path(program));
    ChildRun run = runChild({path, "args", name, "x " + name + " y", "cat", data});
    ASSERT_TRUE(run.started) << run.error;
    EXPECT_EQ(run.out, "[" + name + "]\n[x " + name + " y]\n[cat]\n[" + data + "]\n");
    run = runChild({path, "cat", data});
    EXPECT_EQ(run.out, name); // the redirected output is the UTF-8 text, byte for byte
    {
      VariableGuard guard("PATH");
      ASSERT_TRUE(setEnvironmentVariable("PATH", pathUtf8(folder)));
      run = runChild({program, "out", name});
      ASSERT_TRUE(run.started) << run.error;
      EXPECT_EQ(run.out, name);
    }
    const std::string missing = path + " missing";
    run = runChild({missing});
    EXPECT_FALSE(run.started);
    EXPECT_EQ(run.error.rfind(msg::CANNOT_RUN_PROGRAM + missing + msg::CANNOT_RUN_PROGRAM_REASON, 0), 0u)
        << run.error;
  }
}

TEST(UnicodeEnvironment, ValuesAndNamesReachThisProcessAndItsChildren) {
  const std::string value = "C:\\Été\\it's v1.2 €\\Жар\\日本";
  for (const std::string name : {"BM_UNICODE_VALUE", "BM_ЖАР_日本"}) {
    SCOPED_TRACE(name);
    VariableGuard guard(name);
    ASSERT_TRUE(setEnvironmentVariable(name, value));
    EXPECT_EQ(getEnvironmentVariable(name), std::optional<std::string>(value));
    const auto all = environmentList();
    EXPECT_NE(std::find(all.begin(), all.end(), name + "=" + value), all.end());
    EXPECT_EQ(runChild(child({"env", name})).out, value + "\n"); // inherited
    EXPECT_EQ(runChild(child({"env", name}), {{}, std::vector<std::string>{name + "=" + value + "!"}}).out,
              value + "!\n"); // listed
  }
}

} // namespace
