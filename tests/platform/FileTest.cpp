// Tests of the file layer: whole-file reads, buffered and atomic writes, every write error
// detected (through the fault seam) with its reason, an output held by another program,
// status, rename and removal (of regular files only), and one canonical name per file.
#include "platform/file.h"

#include "platform/path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/ChildRun.h"
#include "support/ScratchDir.h"

#ifdef __linux__
#include <sys/stat.h>
#endif

using namespace vantrel::platform;
using vantrel::testing::ScratchDir;

namespace {

std::string contents(const std::string &path) {
  auto bytes = readWholeFile(path);
  return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<missing>");
}

/// Fails the nth write (counting from 1) or every close, as a full disk would.
class FailingHook : public IoFaultHook {
public:
  int failWriteAt = 0;
  bool failClose = false;
  int writes = 0;
  bool allowWrite(const std::string &, std::size_t) override { return ++writes != failWriteAt; }
  bool allowClose(const std::string &) override { return !failClose; }
};

struct HookGuard {
  explicit HookGuard(IoFaultHook *h) { setIoFaultHook(h); }
  ~HookGuard() { setIoFaultHook(nullptr); }
};

/// Counts the attempts at replacing a destination; before each, runs the test's action.
class ReplaceHook : public IoFaultHook {
public:
  std::function<void(int)> beforeAttempt = [](int) {};
  int attempts = 0;
  bool allowReplace(const std::string &) override {
    beforeAttempt(++attempts);
    return true;
  }
};

} // namespace

TEST(FileRead, WholeFileRoundTripsEveryByteValue) {
  ScratchDir dir;
  std::vector<std::uint8_t> bytes(300000);
  for (std::size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = static_cast<std::uint8_t>(i * 7 + (i >> 9));
  ASSERT_TRUE(writeWholeFile(dir.file("a.bin"), bytes.data(), bytes.size()));
  auto back = readWholeFile(dir.file("a.bin"));
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(*back, bytes);
}

TEST(FileRead, MissingFileAndDirectoryGiveNothing) {
  ScratchDir dir;
  EXPECT_FALSE(readWholeFile(dir.file("none")).has_value());
  EXPECT_FALSE(readWholeFile(dir.path().string()).has_value());
  InputFile in;
  EXPECT_FALSE(in.open(dir.file("none")));
  EXPECT_EQ(in.read(nullptr, 0), -1);
}

TEST(FileRead, EmptyFileIsPresentButEmpty) {
  ScratchDir dir;
  ASSERT_TRUE(writeWholeFile(dir.file("e"), "", 0));
  auto back = readWholeFile(dir.file("e"));
  ASSERT_TRUE(back.has_value());
  EXPECT_TRUE(back->empty());
}

TEST(FileWrite, TruncateReplacesAndAppendExtends) {
  ScratchDir dir;
  const std::string p = dir.file("t.txt");
  ASSERT_TRUE(writeWholeFile(p, "long old content", 16));
  ASSERT_TRUE(writeWholeFile(p, "new", 3));
  EXPECT_EQ(contents(p), "new");
  OutputFile out;
  ASSERT_TRUE(out.open(p, OutputFile::Mode::Append));
  ASSERT_TRUE(out.write(std::string("+more")));
  ASSERT_TRUE(out.close());
  EXPECT_EQ(contents(p), "new+more");
}

TEST(FileWrite, LargeWritesBypassAndSmallWritesBufferInOrder) {
  ScratchDir dir;
  const std::string p = dir.file("big");
  std::string expected;
  OutputFile out;
  ASSERT_TRUE(out.open(p));
  for (int i = 0; i < 5; ++i) {
    std::string small(1000 + i, static_cast<char>('a' + i));
    std::string large(OutputFile::BUFFER_SIZE + 17 * i, static_cast<char>('A' + i));
    ASSERT_TRUE(out.write(small));
    ASSERT_TRUE(out.write(large));
    expected += small + large;
  }
  ASSERT_TRUE(out.close());
  EXPECT_EQ(contents(p), expected);
}

TEST(FileWrite, OpenFailsInMissingFolder) {
  ScratchDir dir;
  OutputFile out;
  EXPECT_FALSE(out.open(dir.file("no/such/folder/x")));
  EXPECT_FALSE(out.open(dir.file("no/x"), OutputFile::Mode::Atomic));
  EXPECT_FALSE(out.failureReason().empty());
  EXPECT_FALSE(out.write(std::string("x")));
  EXPECT_FALSE(out.close());
  EXPECT_TRUE(dir.list().empty());
}

TEST(FileWrite, FailedWriteIsReportedAtClose) {
  ScratchDir dir;
  FailingHook hook;
  hook.failWriteAt = 1;
  HookGuard guard(&hook);
  OutputFile out;
  ASSERT_TRUE(out.open(dir.file("f")));
  EXPECT_TRUE(out.write(std::string(10, 'x'))); // buffered: the error shows when the data reach the OS
  EXPECT_FALSE(out.close());
  EXPECT_FALSE(out.failureReason().empty());
}

TEST(FileWrite, FailedCloseIsReported) {
  ScratchDir dir;
  FailingHook hook;
  hook.failClose = true;
  HookGuard guard(&hook);
  OutputFile out;
  ASSERT_TRUE(out.open(dir.file("f")));
  ASSERT_TRUE(out.write(std::string(10, 'x')));
  EXPECT_FALSE(out.close());
}

TEST(FileAtomic, CommitPutsTheFileInPlaceAndLeavesNoTemporary) {
  ScratchDir dir;
  const std::string p = dir.file("out.flash");
  ASSERT_TRUE(writeWholeFile(p, "old", 3));
  OutputFile out;
  ASSERT_TRUE(out.open(p, OutputFile::Mode::Atomic));
  ASSERT_TRUE(out.write(std::string("fresh")));
  EXPECT_EQ(contents(p), "old"); // nothing visible under the name before commit
  ASSERT_TRUE(out.commit());
  EXPECT_EQ(contents(p), "fresh");
  EXPECT_EQ(dir.list(), std::vector<std::string>{"out.flash"});
}

TEST(FileAtomic, FailureAtAnyStepLeavesNoResultAndKeepsTheOldFile) {
  for (int failAt : {1, 2, 3, 0}) {
    ScratchDir dir;
    const std::string p = dir.file("out.flash");
    ASSERT_TRUE(writeWholeFile(p, "old", 3));
    FailingHook hook;
    hook.failWriteAt = failAt;
    hook.failClose = failAt == 0;
    HookGuard guard(&hook);
    OutputFile out;
    ASSERT_TRUE(out.open(p, OutputFile::Mode::Atomic));
    for (int i = 0; i < 3; ++i)
      out.write(std::string(OutputFile::BUFFER_SIZE, 'z'));
    EXPECT_FALSE(out.commit()) << "fail at " << failAt;
    EXPECT_FALSE(out.failureReason().empty()) << "fail at " << failAt;
    EXPECT_EQ(contents(p), "old");
    EXPECT_EQ(dir.list(), std::vector<std::string>{"out.flash"});
  }
}

TEST(FileAtomic, AHeldDestinationIsReplacedOnceItsHolderLetsGo) {
  ScratchDir dir;
  const std::string p = dir.file("out.flash");
  ASSERT_TRUE(writeWholeFile(p, "old", 3));
  // A viewer holding the old file, opened as the C runtime opens files: on Windows without
  // sharing its deletion, which holds up its replacement. It lets go before the 3rd attempt.
  auto viewer = std::make_unique<std::ifstream>(vantrel::hostText::utf8Path(p));
  ASSERT_TRUE(viewer->is_open());
  ReplaceHook hook;
  hook.beforeAttempt = [&](int attempt) {
    if (attempt == 3) viewer.reset();
  };
  HookGuard guard(&hook);
  OutputFile out;
  ASSERT_TRUE(out.open(p, OutputFile::Mode::Atomic));
  ASSERT_TRUE(out.write(std::string("fresh")));
  EXPECT_TRUE(out.commit()) << out.failureReason();
  EXPECT_EQ(contents(p), "fresh");
  EXPECT_EQ(dir.list(), std::vector<std::string>{"out.flash"});
  // Elsewhere an open file never holds up a rename.
  EXPECT_EQ(hook.attempts, hostSystem() == vantrel::hostText::HostSystem::Windows ? 3 : 1);
}

TEST(FileAtomic, AbandonedWriterRemovesItsTemporary) {
  ScratchDir dir;
  {
    OutputFile out;
    ASSERT_TRUE(out.open(dir.file("x.flash"), OutputFile::Mode::Atomic));
    ASSERT_TRUE(out.write(std::string("partial")));
  }
  EXPECT_TRUE(dir.list().empty());
}

TEST(FileStatusTest, ReportsSizeTimesAndIdentity) {
  ScratchDir dir;
  const std::string p = dir.file("s");
  ASSERT_TRUE(writeWholeFile(p, "12345", 5));
  auto st = statFile(p);
  ASSERT_TRUE(st.has_value());
  EXPECT_EQ(st->size, 5u);
  EXPECT_FALSE(st->isDirectory);
  EXPECT_GT(st->modifiedNanos, 1600000000LL * 1000000000LL);
  EXPECT_EQ(modifiedMillis(p), st->modifiedNanos / 1000000);
  EXPECT_EQ(modifiedMillis(dir.file("missing")), 0);
  EXPECT_FALSE(statFile(dir.file("missing")).has_value());
  EXPECT_TRUE(statFile(dir.path().string())->isDirectory);

  // A file put in place by rename is another file than the one it replaced.
  ASSERT_TRUE(writeWholeFile(dir.file("s2"), "abc", 3));
  auto other = statFile(dir.file("s2"));
  ASSERT_TRUE(renameFile(dir.file("s2"), p));
  auto replaced = statFile(p);
  ASSERT_TRUE(replaced.has_value());
  EXPECT_EQ(replaced->size, 3u);
  EXPECT_EQ(replaced->fileId, other->fileId);
  EXPECT_NE(replaced->fileId, st->fileId);
}

TEST(FileNames, RemoveAndExists) {
  ScratchDir dir;
  const std::string p = dir.file("r");
  EXPECT_FALSE(fileExists(p));
  EXPECT_FALSE(removeFile(p));
  ASSERT_TRUE(writeWholeFile(p, "x", 1));
  EXPECT_TRUE(fileExists(p));
  EXPECT_TRUE(removeFile(p));
  EXPECT_FALSE(fileExists(p));
  EXPECT_FALSE(renameFile(p, dir.file("q")));
}

#ifdef _WIN32
// Linux's /dev/null is left alone here: the driver's tests write through a device of their own.
TEST(FileAtomic, ADeviceIsWrittenThroughInPlace) {
  OutputFile out;
  ASSERT_TRUE(out.open("NUL", OutputFile::Mode::Atomic)) << out.failureReason();
  EXPECT_TRUE(out.write(std::string("bytes")));
  EXPECT_TRUE(out.commit()) << out.failureReason();
  EXPECT_EQ(fileKind("NUL"), FileKind::CharacterDevice);
}
#endif

TEST(FileNames, OneFileSpelledManyWaysHasOneCanonicalName) {
  ScratchDir dir;
  std::filesystem::create_directories(dir.path() / "x" / "y");
  const vantrel::testing::CurrentFolderGuard inScratch(dir.path());
  // None of them exists yet: the name alone decides.
  const std::string absolute = dir.file("x/top.lock");
  for (const std::string &spelled :
       {std::string("x/top.lock"), std::string("./x/top.lock"), std::string("x/y/../top.lock"), absolute}) {
    EXPECT_TRUE(canonicalName(spelled).has_value()) << spelled;
    EXPECT_EQ(canonicalName(spelled), canonicalName(absolute)) << spelled;
    EXPECT_TRUE(sameFile(spelled, absolute)) << spelled;
  }
  EXPECT_FALSE(sameFile("x/top.lock", "x/y/top.lock"));
  EXPECT_EQ(canonicalName("no/such/top.lock"), std::nullopt);
#ifdef _WIN32
  EXPECT_TRUE(sameFile("X\\TOP.LOCK", absolute));
#endif
}

TEST(FileNames, NothingButARegularFileIsEverRemoved) {
  ScratchDir dir;
  std::filesystem::create_directory(dir.path() / "folder");
  EXPECT_FALSE(removeFile(dir.file("folder")));
#ifdef __linux__
  ASSERT_TRUE(writeWholeFile(dir.file("target"), "x", 1));
  std::filesystem::create_symlink("target", dir.path() / "link");
  ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0644), 0);
  EXPECT_FALSE(removeFile(dir.file("link")));
  EXPECT_FALSE(removeFile(dir.file("fifo")));
#endif
  // Everything is still there.
#ifdef __linux__
  EXPECT_EQ(dir.count(), 4u);
#else
  EXPECT_EQ(dir.count(), 1u);
#endif
}
