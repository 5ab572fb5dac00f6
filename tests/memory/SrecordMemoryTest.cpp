// Tests of S-record files: reading (windows, offsets, line ends, bad lines) and writing.
#include "memory/SrecordMemory.h"
#include "TestFiles.h"
#include "memory/MemoryMessages.h"
#include "memory/RWMemoryException.h"
#include "memory/Srec.h"
#include "memory/SrecordReader.h"
#include "platform/file.h"

#include <gtest/gtest.h>

using namespace vantrel::memory;
using namespace vantrel::memory::test;
namespace msg = vantrel::memory::messages;

namespace {

const std::string NL = vantrel::platform::lineSeparator();

/// S3 lines for bytes at addr, cut into records of n bytes.
std::string dataLines(std::uint32_t addr, const Bytes &bytes, std::size_t n, const std::string &eol = "\n") {
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); i += n) {
    const Bytes part(bytes.begin() + static_cast<std::ptrdiff_t>(i),
                     bytes.begin() + static_cast<std::ptrdiff_t>(std::min(bytes.size(), i + n)));
    text += Srec::createData(addr + static_cast<std::uint32_t>(i), part).toString() + eol;
  }
  return text;
}

/// Makes every write fail after the first `allowed` ones, or every close fail.
class FailingDisk : public vantrel::platform::IoFaultHook {
public:
  explicit FailingDisk(int allowedWrites, bool failClose = false)
      : left_(allowedWrites), failClose_(failClose) {
    vantrel::platform::setIoFaultHook(this);
  }
  ~FailingDisk() override { vantrel::platform::setIoFaultHook(nullptr); }
  bool allowWrite(const std::string &, std::size_t) override { return left_-- > 0; }
  bool allowClose(const std::string &) override { return !failClose_; }

private:
  int left_;
  bool failClose_;
};

} // namespace

TEST(SrecordRead, DataOutsideTheWindowIsDropped) {
  TempDir dir;
  writeFile(dir.file("in.srec"), dataLines(0x1000, sequence(256), 16));
  SrecordMemory m(0x1080, 0x10BF, "cut");
  m.read(dir.file("in.srec"));
  EXPECT_EQ(m.total(), 64);
  EXPECT_EQ(*m.get(0x1080, 0x40), sequence(64, 0x80));
}

TEST(SrecordRead, MalformedLineFailsAndKeepsTheRecordsBefore) {
  TempDir dir;
  std::string second = Srec::createData(0x10, Bytes{9, 9}).toString();
  second.back() = second.back() == '0' ? '1' : '0'; // bad checksum
  writeFile(dir.file("bad.srec"), Srec::createData(0, Bytes{1, 2, 3}).toString() + "\n" + second + "\n");
  SrecordMemory m(0, 0xFFFF, "bad");
  EXPECT_EQ(messageOf<RWMemoryException>([&] { m.read(dir.file("bad.srec")); }), msg::MALFORMED_RECORD);
  EXPECT_EQ(*m.get(0), (Bytes{1, 2, 3}));
  EXPECT_FALSE(m.has(0x10));
}

TEST(SrecordRead, BlankLineIsMalformed) {
  TempDir dir;
  writeFile(dir.file("blank.srec"), "S1031234B6\n\nS1031234B6\n");
  SrecordMemory m(0, 0xFFFF, "b");
  EXPECT_EQ(messageOf<RWMemoryException>([&] { m.read(dir.file("blank.srec")); }), msg::MALFORMED_RECORD);
}

TEST(SrecordRead, HeaderAndStartOnlyLeaveTheImageEmpty) {
  TempDir dir;
  writeFile(dir.file("hs.srec"), "S0060000616263D3\nS9031234B6\n");
  SrecordMemory m(0, 0xFFFF, "hs");
  m.read(dir.file("hs.srec"));
  EXPECT_TRUE(m.isEmpty());
  EXPECT_EQ(m.getHeader(), std::optional<std::string>("abc"));
  EXPECT_TRUE(m.hasStart());
  EXPECT_EQ(m.getStart(), 0x1234);
}

TEST(SrecordRead, EmptyFileChangesNothing) {
  TempDir dir;
  writeFile(dir.file("empty.srec"), "");
  SrecordMemory m(0, 0xFFFF, "e");
  m.add(5, Bytes{1});
  m.read(dir.file("empty.srec"));
  EXPECT_EQ(m.total(), 1);
  EXPECT_FALSE(m.getHeader().has_value());
  EXPECT_FALSE(m.hasStart());
  EXPECT_EQ(m.getStart(), -1);
}

TEST(SrecordRead, OffsetShiftsEveryDataRecord) {
  TempDir dir;
  writeFile(dir.file("o.srec"), dataLines(0x10, sequence(8), 4));
  SrecordMemory m(0, 0xFFFF, "o");
  m.read(dir.file("o.srec"), 0x100);
  EXPECT_FALSE(m.has(0x10));
  EXPECT_EQ(*m.get(0x110), sequence(8));
}

TEST(SrecordRead, EveryLineEndAndAMissingLastOne) {
  TempDir dir;
  const std::string a = Srec::createData(0, Bytes{1}).toString();
  const std::string b = Srec("S1", 1, Bytes{2}).toString();
  const std::string c = Srec("S2", 2, Bytes{3}).toString();
  const std::string d = Srec::createData(3, Bytes{4}).toString();
  writeFile(dir.file("ends.srec"), a + "\r\n" + b + "\r" + c + "\n" + d);
  SrecordMemory m(0, 0xFFFF, "ends");
  m.read(dir.file("ends.srec"));
  EXPECT_EQ(*m.get(0), (Bytes{1, 2, 3, 4}));
}

TEST(SrecordRead, DescendingOrderGivesTheSameImage) {
  TempDir dir;
  const Bytes bytes = sequence(1000, 3);
  std::string ascending = dataLines(0x400, bytes, 20);
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < ascending.size();) {
    const std::size_t nl = ascending.find('\n', at);
    lines.push_back(ascending.substr(at, nl - at + 1));
    at = nl + 1;
  }
  std::string descending;
  for (auto it = lines.rbegin(); it != lines.rend(); ++it)
    descending += *it;
  writeFile(dir.file("down.srec"), descending);
  SrecordMemory m(0, 0xFFFF, "down");
  m.read(dir.file("down.srec"));
  EXPECT_EQ(m.getNumSegments(), 1u);
  EXPECT_EQ(*m.get(0x400), bytes);
}

TEST(SrecordRead, LaterRecordsReplaceEarlierOnes) {
  SrecordMemory m(0, 0xFFFF, "r");
  m.readText(Srec::createHeader("one").toString() + "\n" + Srec::createData(0, Bytes{1, 1}).toString() +
             "\n" + Srec::createData(1, Bytes{2}).toString() + "\n" + Srec::createHeader("two").toString() +
             "\n" + "S5030005F7\n");
  EXPECT_EQ(*m.get(0), (Bytes{1, 2}));
  EXPECT_EQ(m.getHeader(), std::optional<std::string>("two"));
}

TEST(SrecordRead, LargeFileAcrossManyBlocksMatchesItsBytes) {
  // Several parse blocks, with CR LF ends so that some CR and LF pairs straddle blocks.
  TempDir dir;
  const Bytes bytes = sequence(3u << 20, 11);
  writeFile(dir.file("big.srec"), dataLines(0x20000, bytes, 32, "\r\n"));
  SrecordMemory m(0, 0x7FFFFFFF, "big");
  m.read(dir.file("big.srec"));
  EXPECT_EQ(m.getNumSegments(), 1u);
  EXPECT_EQ(*m.get(0x20000), bytes);
}

TEST(SrecordRead, CrLfSplitAcrossTwoBlocksIsOneLineEnd) {
  // A header line with LF, as long as it takes, then 80-character CR LF lines: the CR of one
  // line falls on the last byte of the first block and its LF on the first byte of the next.
  TempDir dir;
  const std::size_t headerText = ((SrecordReader::BLOCK_SIZE - 79) % 80 - 11) / 2;
  const std::string header = Srec::createHeader(std::string(headerText, 'h')).toString() + "\n";
  const Bytes bytes = sequence(3u << 20, 5);
  const std::string text = header + dataLines(0, bytes, 32, "\r\n");
  ASSERT_EQ(text[SrecordReader::BLOCK_SIZE - 1], '\r');
  ASSERT_EQ(text[SrecordReader::BLOCK_SIZE], '\n');
  writeFile(dir.file("split.srec"), text);
  SrecordMemory fromFile(0, 0x7FFFFFFF, "f");
  fromFile.read(dir.file("split.srec"));
  EXPECT_EQ(*fromFile.get(0), bytes);
  SrecordMemory fromText(0, 0x7FFFFFFF, "t");
  fromText.readText(text);
  EXPECT_EQ(*fromText.get(0), bytes);
  EXPECT_EQ(fromText.getHeader(), std::optional<std::string>(std::string(headerText, 'h')));
}

TEST(SrecordRead, OverlongLineIsMalformedWithoutReadingItWhole) {
  TempDir dir;
  writeFile(dir.file("long.srec"),
            Srec::createData(0, Bytes{1}).toString() + "\n" + std::string(5u << 20, 'A'));
  SrecordMemory m(0, 0xFFFF, "long");
  EXPECT_EQ(messageOf<RWMemoryException>([&] { m.read(dir.file("long.srec")); }), msg::MALFORMED_RECORD);
  EXPECT_EQ(*m.get(0), Bytes{1});
  SrecordMemory t(0, 0xFFFF, "text");
  EXPECT_EQ(messageOf<RWMemoryException>([&] { t.readText(std::string(3u << 20, 'B')); }),
            msg::MALFORMED_RECORD);
}

TEST(SrecordRead, MalformedLineDeepInALargeFileKeepsEverythingBefore) {
  TempDir dir;
  const Bytes bytes = sequence(2u << 20);
  std::string text = dataLines(0, bytes, 32) + "S3XX\n" + dataLines(0x300000, Bytes(64, 1), 32);
  writeFile(dir.file("bigbad.srec"), text);
  SrecordMemory m(0, 0x7FFFFFFF, "bigbad");
  EXPECT_EQ(messageOf<RWMemoryException>([&] { m.read(dir.file("bigbad.srec")); }), msg::MALFORMED_RECORD);
  EXPECT_EQ(*m.get(0), bytes);
  EXPECT_FALSE(m.has(0x300000));
}

TEST(SrecordRead, MissingFileAndNegativeOffset) {
  TempDir dir;
  SrecordMemory m(0, 0xFFFF, "m");
  const std::string path = dir.file("absent.srec");
  EXPECT_EQ(messageOf<RWMemoryException>([&] { m.read(path); }), msg::FILE_NOT_FOUND + path);
  EXPECT_EQ(messageOf<std::invalid_argument>([&] { m.read(path, -1); }), msg::OFFSET_POSITIVE);
  EXPECT_EQ(messageOf<std::invalid_argument>([&] { m.readText("", -1); }), msg::OFFSET_POSITIVE);
}

TEST(SrecordWrite, EmptyImageGivesAnEmptyFile) {
  TempDir dir;
  SrecordMemory m(0, 0xFFFF, "w");
  ASSERT_TRUE(m.write(dir.file("empty.flash")));
  EXPECT_EQ(readFile(dir.file("empty.flash")), "");
}

TEST(SrecordWrite, SegmentsAreCutInto32ByteRecords) {
  TempDir dir;
  SrecordMemory m(0, 0xFFFF, "w");
  m.add(0x100, sequence(70));
  ASSERT_TRUE(m.write(dir.file("w.flash")));
  const std::string expected = Srec::createData(0x100, sequence(32)).toString() + NL +
                               Srec::createData(0x120, sequence(32, 32)).toString() + NL +
                               Srec::createData(0x140, sequence(6, 64)).toString() + NL;
  EXPECT_EQ(readFile(dir.file("w.flash")), expected);
}

TEST(SrecordWrite, TouchingSegmentsAreNotJoinedIntoOneRecord) {
  TempDir dir;
  // Two segments that touch: 0..63 and 64..79; records never span them.
  SrecordMemory grid(0, 0xFFFF, "grid");
  grid.add(0, sequence(32));
  grid.add(64, sequence(16, 64));
  grid.add(32, sequence(32, 32));
  ASSERT_EQ(grid.getNumSegments(), 2u);
  ASSERT_TRUE(grid.write(dir.file("grid.flash")));
  EXPECT_EQ(readFile(dir.file("grid.flash")), Srec::createData(0, sequence(32)).toString() + NL +
                                                  Srec::createData(32, sequence(32, 32)).toString() + NL +
                                                  Srec::createData(64, sequence(16, 64)).toString() + NL);
}

TEST(SrecordWrite, ReadAndWriteBackKeepsTheHeaderAndRegroupsTheData) {
  TempDir dir;
  writeFile(dir.file("in.srec"),
            "S0060000616263D3\n" + dataLines(0, sequence(40), 8) + "S5030005F7\nS9030000FC\n");
  SrecordMemory m(0, 0xFFFF, "rw");
  m.read(dir.file("in.srec"));
  ASSERT_TRUE(m.write(dir.file("out.srec")));
  EXPECT_EQ(readFile(dir.file("out.srec")), "S0060000616263D3" + NL +
                                                Srec::createData(0, sequence(32)).toString() + NL +
                                                Srec::createData(32, sequence(8, 32)).toString() + NL);
}

TEST(SrecordWrite, LargeImageIsFormattedInParallelInOrder) {
  TempDir dir;
  SrecordMemory m(0, 0x7FFFFFFF, "big");
  const Bytes bytes = sequence((5u << 20) + 7, 1);
  m.add(0x1000, bytes);
  m.add(0x900000, sequence(100));
  ASSERT_TRUE(m.write(dir.file("big.flash")));
  const std::string expected = dataLines(0x1000, bytes, 32, NL) + dataLines(0x900000, sequence(100), 32, NL);
  EXPECT_TRUE(readFile(dir.file("big.flash")) == expected);
  SrecordMemory back(0, 0x7FFFFFFF, "back");
  back.read(dir.file("big.flash"));
  EXPECT_EQ(*back.get(0x1000), bytes);
}

TEST(SrecordWrite, ReplacesAnExistingFile) {
  TempDir dir;
  writeFile(dir.file("old.flash"), "old content that is longer than the new one\n");
  SrecordMemory m(0, 0xFFFF, "w");
  m.add(0, Bytes{1});
  ASSERT_TRUE(m.write(dir.file("old.flash")));
  EXPECT_EQ(readFile(dir.file("old.flash")), Srec::createData(0, Bytes{1}).toString() + NL);
}

TEST(SrecordWrite, FailuresReturnFalseAndLeaveNoFile) {
  TempDir dir;
  SrecordMemory m(0, 0x7FFFFFFF, "w");
  m.add(0, sequence(3u << 20));
  EXPECT_FALSE(m.write(dir.file("no-such-folder/x.flash")));
  {
    FailingDisk disk(1); // the disk fills after the first block
    EXPECT_FALSE(m.write(dir.file("full.flash")));
  }
  {
    FailingDisk disk(1000, true); // close fails
    EXPECT_FALSE(m.write(dir.file("close.flash")));
  }
  EXPECT_TRUE(dir.entries().empty());
  EXPECT_EQ(m.total(), 3 << 20); // writing does not change the image
}

TEST(SrecordWrite, DataAboveFourGigabytesIsRefused) {
  TempDir dir;
  SrecordMemory m(0, 0x1FFFFFFFFLL, "high");
  m.add(0xFFFFFFF0LL, Bytes(32, 1)); // its last byte lies above 0xFFFFFFFF
  EXPECT_FALSE(m.write(dir.file("high.flash")));
  EXPECT_TRUE(dir.entries().empty());
}

TEST(SrecordText, ToStringNamesTheImage) {
  SrecordMemory m(0, 0x7FFFFFFE, "SOF Flash");
  m.add(0, Bytes(0x400, 0));
  EXPECT_EQ(m.toString(), "SOF Flash: base:0x0 end:0x7ffffffe total:0x400");
  m.setHeader(std::string("h"));
  m.setStart(9);
  EXPECT_EQ(m.getHeader(), std::optional<std::string>("h"));
  EXPECT_EQ(m.getStart(), 9);
  EXPECT_EQ(m.getName(), "SOF Flash");
}
