// The driver run against files as the host system really has them: an earlier flash file
// held open by another program or read-only, special files (folders, FIFOs, devices, links)
// at the run's names, and a converter writing the ANSI code page.
#include "DriverRunner.h"
#include "SofBuilder.h"
#include "support/ProcessControl.h"
#include "support/ScratchDir.h"
#include "support/Waiting.h"

#include "bitmorph/Bitmorph.h"
#include "bitmorph/Messages.h"
#include "memory/MemoryMessages.h"
#include "platform/PlatformMessages.h"
#include "platform/time.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <thread>

#ifdef __linux__
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

namespace vantrel::bitmorph {
namespace {

constexpr bool WINDOWS = BM_TEST_WINDOWS != 0;
using test::hostPath;
using test::runDriver;
using vantrel::testing::ScratchDir;

namespace fs = std::filesystem;
const std::string SEVERE = "(SEVERE) bitmorph: ";

void setReadOnly(const std::string &path, bool readOnly) {
  fs::permissions(hostText::utf8Path(path),
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  readOnly ? fs::perm_options::remove : fs::perm_options::add);
}

TEST(HostFiles, AnEarlierFlashFileHeldOrReadOnlyIsKeptAndTheReasonNamed) {
  struct Case {
    const char *what;
    std::vector<std::string> holder; ///< the holder's arguments after the file (FileHolder.cpp)
    bool replaced;                   ///< the run writes its flash file
    std::string note;                ///< what ends the reason when it is not
  };
  const Case cases[] = {
      // A scanner that looks at the file for a moment after the new one appears: waited for.
      {"held for a moment", {"100"}, true, ""},
      // A viewer that keeps it open holds up the replacement on Windows only.
      {"held throughout", {}, !WINDOWS, ""},
      // Never replaced, whoever runs it, and the flag stays.
      {"read-only", {}, false, platform::msg::READ_ONLY_FILE},
  };
  for (const Case &c : cases) {
    ScratchDir dir;
    const std::string sof = dir.file("top.sof"), flash = dir.file("top.flash");
    testing::writeBytes(sof, test::SofBuilder(true).partName("KX2R").text());
    testing::writeBytes(flash, "earlier\n");
    const bool readOnly = !c.note.empty();
    std::vector<std::string> holding = {hostPath(BM_FILE_HOLDER), flash};
    holding.insert(holding.end(), c.holder.begin(), c.holder.end());
    std::optional<testing::BackgroundChild> holder;
    if (readOnly)
      setReadOnly(flash, true);
    else
      holder.emplace(holding);
    if (holder) {
      ASSERT_TRUE(testing::waitUntil([&] { return holder->outputSoFar().find("held") != std::string::npos; }))
          << c.what;
    }

    const auto r = runDriver({"--input=" + sof, "--output=" + flash, "--offset=0x100"});
    if (holder && testing::killProcess(holder->pid())) holder->finish();
    EXPECT_EQ(dir.list(), (std::vector<std::string>{"top.flash", "top.sof"})) << c.what;
    if (c.replaced) {
      EXPECT_EQ(r.exitCode, 0) << c.what << "\n" << r.out;
      EXPECT_EQ(testing::readBytes(flash).rfind("S0", 0), 0u) << c.what;
      continue;
    }
    // The file and the system's reason, then the run's own line.
    EXPECT_EQ(r.exitCode, Bitmorph::OUTPUT_ERROR) << c.what << "\n" << r.out;
    const auto failed = std::find(r.lines.begin(), r.lines.end(), SEVERE + messages::WRITE_FAILED);
    ASSERT_TRUE(failed != r.lines.begin() && failed != r.lines.end()) << c.what << "\n" << r.out;
    const std::string named =
        SEVERE + (memory::messages::CANNOT_WRITE_FILE + flash) + memory::messages::REASON_SEPARATOR;
    const std::string &why = *(failed - 1);
    EXPECT_TRUE(why.rfind(named, 0) == 0 && why.size() > named.size() + c.note.size() &&
                why.compare(why.size() - c.note.size(), std::string::npos, c.note) == 0)
        << c.what << ": " << why;
    EXPECT_EQ(testing::readBytes(flash), "earlier\n") << c.what;
    const auto writable = fs::status(hostText::utf8Path(flash)).permissions() & fs::perms::owner_write;
    EXPECT_EQ(writable == fs::perms::none, readOnly) << c.what;
    if (readOnly) setReadOnly(flash, false);
  }
}

// The loader flow's two results are one pair: a read-only half is refused before any tool
// runs, and a run that fails after the object-copy tool wrote base.flash (a map without its
// lines) leaves the earlier pair exactly as it was.
TEST(HostFiles, TheLoadersEarlierPairIsRefusedWhenReadOnlyAndKeptByAFailedRun) {
  for (const std::string readOnly : {"top.flash", "top.map.flash", ""}) {
    ScratchDir dir;
    const std::string sof = dir.file("top.sof");
    testing::writeBytes(sof, test::SofBuilder(true).partName("KX2R").text());
    testing::writeBytes(dir.file("top.flash"), "earlier image\n");
    testing::writeBytes(dir.file("top.map.flash"), "earlier option bits\n");
    if (!readOnly.empty()) setReadOnly(dir.file(readOnly), true);
    const auto r = runDriver(
        {"--input=" + sof, "--kld", "--offset=0x20000", "--optionbit=0x18000", "--programmingmode=FPP"},
        {"BM_FAKE_MODE=shortmap"});
    std::vector<std::string> left = {"top.flash", "top.map.flash", "top.sof"};
    if (readOnly.empty()) {
      EXPECT_EQ(r.exitCode, Bitmorph::EXT_APP_ERROR) << r.out;
      // What the flow wrote so far stays for diagnosis; no half of a new pair does.
      left = {"top.cof", "top.flash", "top.hexout", "top.map", "top.map.flash", "top.pof", "top.sof"};
    } else {
      EXPECT_EQ(r.exitCode, Bitmorph::OUTPUT_ERROR) << r.out;
      const std::string named = SEVERE + (memory::messages::CANNOT_WRITE_FILE + dir.file(readOnly)) +
                                memory::messages::REASON_SEPARATOR;
      const auto failed = std::find(r.lines.begin(), r.lines.end(), SEVERE + messages::WRITE_FAILED);
      ASSERT_TRUE(failed != r.lines.begin() && failed != r.lines.end()) << r.out;
      const std::string &why = *(failed - 1);
      EXPECT_EQ(why.rfind(named, 0), 0u) << why;
      EXPECT_NE(why.find(platform::msg::READ_ONLY_FILE), std::string::npos) << why;
      setReadOnly(dir.file(readOnly), false);
    }
    EXPECT_EQ(dir.list(), left) << readOnly << "\n" << r.out;
    EXPECT_EQ(testing::readBytes(dir.file("top.flash")), "earlier image\n") << readOnly;
    EXPECT_EQ(testing::readBytes(dir.file("top.map.flash")), "earlier option bits\n") << readOnly;
  }
}

TEST(HostFiles, AConverterWritingTheAnsiCodePageIsEchoedAsItsCharacters) {
  ScratchDir dir;
  const std::string sof = dir.file("top.sof");
  testing::writeBytes(sof, test::SofBuilder(true).partName("KX2R").text());
  // Wine takes a program's ANSI code page from its locale: Windows-1252 for this one.
  const auto r = runDriver({"--input=" + sof, "--offset=0"}, {"BM_FAKE_MODE=ansi", "LC_ALL=en_US.UTF-8"});
  EXPECT_EQ(r.exitCode, 0) << r.out;
  // On Windows the text becomes UTF-8 (é, €); elsewhere a program writes its locale's text,
  // passed on as it is. A line in UTF-8 stays as it is everywhere.
  const std::string ansiLine = WINDOWS ? "Ger\xC3\xA4t: caf\xC3\xA9 \xE2\x82\xAC"
                                         "5"
                                       : "Ger\xE4t: caf\xE9 \x80"
                                         "5";
  EXPECT_NE(std::find(r.lines.begin(), r.lines.end(), ansiLine), r.lines.end()) << r.out;
  EXPECT_NE(std::find(r.lines.begin(), r.lines.end(), "UTF-8: caf\xC3\xA9"), r.lines.end()) << r.out;
}

enum class Special { Folder, Fifo, CharacterDevice };

/// Makes a special file at path; false where the system cannot (no FIFO on Windows, no
/// device without root).
bool make(Special kind, const std::string &path) {
  if (kind == Special::Folder) return fs::create_directory(hostText::utf8Path(path));
#ifdef __linux__
  if (kind == Special::Fifo) return ::mkfifo(path.c_str(), 0644) == 0;
  return ::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0; // what /dev/null is
#else
  return false;
#endif
}

TEST(HostFiles, SpecialFilesAreWrittenThroughOrRefusedAndNeverReplacedOrRemoved) {
  ScratchDir dir;
  testing::writeBytes(dir.file("top.sof"), test::SofBuilder(true).partName("KX2R").text());
  // The S0 record holds the input's time, not the output's name: every output gets one text.
  const auto run = [&](std::vector<std::string> args) {
    args.insert(args.begin(), {"--input=" + hostPath(dir.file("top.sof")), "--timestamp"});
    return runDriver(args);
  };
  ASSERT_EQ(run({"--output=" + hostPath(dir.file("ref.flash")), "--offset=0"}).exitCode, 0);
  const std::string reference = testing::readBytes(dir.file("ref.flash"));
  const auto type = [](const std::string &p) { return fs::symlink_status(hostText::utf8Path(p)).type(); };

  const struct {
    Special kind;
    const char *name;
    std::vector<std::string> args; ///< "@" stands for the special file
    int code;
    std::string says; ///< the first severe line after the name ("" when it succeeds)
  } cases[] = {
      {Special::Folder, "outdir", {"--output=@/", "--offset=0", "--save"}, 7, "/: it is a folder"},
      {Special::Folder, "opts", {"--sprom", "--options=@"}, 2, " is a folder"},
      {Special::Fifo, "fifo.opt", {"--sprom", "--options=@"}, 2, " is a FIFO (named pipe)"},
      {Special::CharacterDevice, "dev.opt", {"--sprom", "--options=@"}, 2, " is a character device"},
      {Special::CharacterDevice, "out.flash", {"--output=@", "--offset=0"}, 0, ""},
  };
  for (const auto &c : cases) {
    const std::string path = dir.file(c.name);
    if (!make(c.kind, path)) continue;
    const auto before = dir.list();
    const auto kind = type(path);
    std::vector<std::string> args = c.args;
    for (auto &arg : args)
      if (const auto at = arg.find('@'); at != std::string::npos) arg.replace(at, 1, hostPath(path));
    const auto r = run(args);
    EXPECT_EQ(r.exitCode, c.code) << c.name << "\n" << r.out;
    if (c.code != 0) {
      const std::string prefix =
          c.code == 2 ? messages::SPECIAL_RUN_FILE : memory::messages::CANNOT_WRITE_FILE;
      EXPECT_NE(std::find(r.lines.begin(), r.lines.end(), SEVERE + prefix + hostPath(path) + c.says),
                r.lines.end())
          << c.name << "\n"
          << r.out;
    }
    // Nothing replaced, removed or left beside it; a folder stays empty.
    EXPECT_EQ(type(path), kind) << c.name;
    EXPECT_EQ(dir.list(), before) << c.name;
    EXPECT_TRUE(c.kind != Special::Folder || fs::is_empty(hostText::utf8Path(path))) << c.name;
  }

  if (WINDOWS) {
    // No room for the run's files beside a device: refused before anything is made.
    const auto r = run({"--output=NUL", "--offset=0"});
    EXPECT_EQ(r.exitCode, Bitmorph::OPTION_ERROR) << r.out;
    EXPECT_NE(std::find(r.lines.begin(), r.lines.end(),
                        SEVERE + messages::DEVICE_NAME + "NUL" + messages::DEVICE_NAME_HINT),
              r.lines.end())
        << r.out;
  }
}

#ifdef __linux__
TEST(HostFiles, AFifoIsWrittenInPlaceAndALinkKeepsPointingAtItsNewTarget) {
  ScratchDir dir;
  testing::writeBytes(dir.file("top.sof"), test::SofBuilder(true).partName("KX2R").text());
  const auto run = [&](const std::string &output) {
    return runDriver({"--input=" + dir.file("top.sof"), "--timestamp", "--offset=0", "--output=" + output});
  };
  ASSERT_EQ(run(dir.file("ref.flash")).exitCode, 0);
  const std::string reference = testing::readBytes(dir.file("ref.flash"));
  // A reader is there before the run; the pipe holds the whole flash file (about 10 KB).
  const std::string fifo = dir.file("fifo.flash");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  EXPECT_EQ(run(fifo).exitCode, 0);
  std::string got(reference.size() + 1, '\0');
  got.resize(static_cast<std::size_t>(std::max<ssize_t>(0, ::read(reader, got.data(), got.size()))));
  ::close(reader);
  EXPECT_TRUE(got == reference);
  EXPECT_EQ(fs::symlink_status(fifo).type(), fs::file_type::fifo);
  // The link stays; the new file is made beside its target and replaces it.
  fs::create_directory(dir.file("t"));
  testing::writeBytes(dir.file("t/target.flash"), "earlier\n");
  fs::create_symlink("t/target.flash", dir.file("link.flash"));
  EXPECT_EQ(run(dir.file("link.flash")).exitCode, 0);
  EXPECT_EQ(fs::read_symlink(dir.file("link.flash")), "t/target.flash");
  EXPECT_TRUE(testing::readBytes(dir.file("t/target.flash")) == reference);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.file("t")), fs::directory_iterator()), 1);
  // The loader flow sets the file behind the link aside while its tools write, and puts it
  // back when the run fails; a run that succeeds replaces it. The link stays throughout.
  const auto loader = [&](const std::string &mode) {
    return runDriver({"--input=" + dir.file("top.sof"), "--output=" + dir.file("link.flash"), "--kld",
                      "--offset=0x20000", "--optionbit=0x18000", "--programmingmode=FPP"},
                     {"BM_FAKE_MODE=" + mode});
  };
  EXPECT_EQ(loader("shortmap").exitCode, Bitmorph::EXT_APP_ERROR);
  EXPECT_EQ(fs::read_symlink(dir.file("link.flash")), "t/target.flash");
  EXPECT_TRUE(testing::readBytes(dir.file("t/target.flash")) == reference);
  EXPECT_EQ(loader("").exitCode, 0);
  EXPECT_EQ(fs::read_symlink(dir.file("link.flash")), "t/target.flash");
  EXPECT_EQ(testing::readBytes(dir.file("t/target.flash")).rfind("S3", 0), 0u);
  EXPECT_FALSE(testing::readBytes(dir.file("t/target.flash")) == reference);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.file("t")), fs::directory_iterator()), 1);
}

// A FIFO whose reader quits part-way is a failed write the run reports, not a death by
// SIGPIPE that would leave its lock and intermediates behind.
TEST(HostFiles, AFifoWhoseReaderQuitsIsAFailedWriteThatCleansUp) {
  ScratchDir dir;
  testing::writeBytes(dir.file("top.sof"), test::SofBuilder(true).partName("KX2R").text());
  const std::string fifo = dir.file("top.flash");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  // Not inherited by the run: a reader it held itself would keep the pipe open.
  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(reader, 0);
  // The image is far larger than the pipe holds: the reader takes the first bytes and goes.
  std::thread quitter([reader] {
    char some[4096];
    testing::waitUntil([&] { return ::read(reader, some, sizeof some) > 0; });
    ::close(reader);
  });
  const auto r = runDriver({"--input=" + dir.file("top.sof"), "--offset=0"}, {"BM_FAKE_SIZE=4000000"});
  quitter.join();
  EXPECT_EQ(r.exitCode, Bitmorph::OUTPUT_ERROR) << r.out;
  const auto failed = std::find(r.lines.begin(), r.lines.end(), SEVERE + messages::WRITE_FAILED);
  ASSERT_TRUE(failed != r.lines.begin() && failed != r.lines.end()) << r.out;
  EXPECT_EQ(*(failed - 1), SEVERE + memory::messages::CANNOT_WRITE_FILE + fifo +
                               memory::messages::REASON_SEPARATOR + std::strerror(EPIPE))
      << r.out;
  EXPECT_EQ(dir.list(), (std::vector<std::string>{"top.flash", "top.sof"}));
  EXPECT_EQ(fs::symlink_status(fifo).type(), fs::file_type::fifo);
}
#endif

} // namespace
} // namespace vantrel::bitmorph
