// Tests of the flash image wrapper: delegation, header text, reading and writing.
#include "memory/FlashDataMemory.h"
#include "TestFiles.h"
#include "memory/MemoryMessages.h"
#include "memory/RWMemoryException.h"
#include "memory/Srec.h"
#include "platform/file.h"

#include <gtest/gtest.h>

using namespace vantrel::memory;
using namespace vantrel::memory::test;
namespace msg = vantrel::memory::messages;

namespace {
const std::string NL = vantrel::platform::lineSeparator();
constexpr bool WINDOWS = BM_TEST_WINDOWS != 0;
} // namespace

TEST(FlashDataWrite, HeaderIsTheOutputFileName) {
  TempDir dir;
  FlashDataMemory flash(0, 0x7FFFFFFE, "SOF Flash");
  EXPECT_FALSE(flash.add(0x20000, Bytes{1, 2, 3, 4}).has_value());
  ASSERT_TRUE(flash.write(dir.file("design.flash")));
  EXPECT_EQ(readFile(dir.file("design.flash")), "S00F000064657369676E2E666C6173683A" + NL +
                                                    Srec::createData(0x20000, Bytes{1, 2, 3, 4}).toString() +
                                                    NL);
}

TEST(FlashDataWrite, HeaderFromAGivenText) {
  TempDir dir;
  FlashDataMemory flash(0, 0x7FFFFFFE, "SOF Flash");
  ASSERT_TRUE(flash.write(dir.file("t.flash"), "123"));
  EXPECT_EQ(readFile(dir.file("t.flash")), "S006000031323363" + NL);
}

TEST(FlashDataWrite, LongNameIsCutTo30Characters) {
  TempDir dir;
  const std::string name = "abcdefghijklmnopqrstuvwxyz0123456789.flash"; // 42 characters
  FlashDataMemory flash(0, 0x7FFFFFFE, "SOF Flash");
  ASSERT_TRUE(flash.write(dir.file(name)));
  const std::string first = readFile(dir.file(name)).substr(0, readFile(dir.file(name)).find(NL));
  EXPECT_EQ(Srec(first).getHeader(), "abcdefghijklmnopqrstuvwxyz0123");
}

TEST(FlashDataWrite, HeaderTextIsTheLastPathComponent) {
  EXPECT_EQ(FlashDataMemory::headerText("a/b/c.flash"), "c.flash");
  // A backslash separates on Windows only; on Linux it is a character of the name.
  EXPECT_EQ(FlashDataMemory::headerText("C:\\out\\top.flash"), WINDOWS ? "top.flash" : "C:\\out\\top.flash");
  EXPECT_EQ(FlashDataMemory::headerText("d$1\\x$0.flash"), WINDOWS ? "x$0.flash" : "d$1\\x$0.flash");
  EXPECT_EQ(FlashDataMemory::headerText("plain"), "plain");
  EXPECT_EQ(FlashDataMemory::headerText("dir/"), "");
  EXPECT_EQ(FlashDataMemory::headerText(std::string(40, 'x')), std::string(30, 'x'));
  // Characters, not bytes, are counted.
  EXPECT_EQ(FlashDataMemory::headerText(std::string(29, 'x') + "\xC3\xA9\xC3\xA9"),
            std::string(29, 'x') + "\xC3\xA9");
}

TEST(FlashDataWrite, EachCharacterOutsideAsciiBecomesOneQuestionMark) {
  TempDir dir;
  FlashDataMemory flash(0, 0x7FFFFFFE, "SOF Flash");
  // Two-, three- and four-byte UTF-8 characters in the last component of a path.
  ASSERT_TRUE(
      flash.write(dir.file("t.flash"), "out/\xC3\x89t\xC3\xA9 \xD0\x96\xE6\x97\xA5\xF0\x9F\x98\x80.flash"));
  EXPECT_EQ(readFile(dir.file("t.flash")), Srec::createHeader("?t? ???.flash").toString() + NL);
}

TEST(FlashDataWrite, DataPastTheWindowEndIsReturned) {
  TempDir dir;
  FlashDataMemory flash(0, 0x7FFFFFFE, "SOF Flash");
  const OptionalBytes overflow = flash.add(0x7FFFFFFE - 6, sequence(16));
  ASSERT_TRUE(overflow.has_value());
  EXPECT_EQ(*overflow, sequence(9, 7));
  EXPECT_EQ(flash.getLastDataAddr(), 0x7FFFFFFE);
  EXPECT_EQ(flash.estimateSize(), 7);
}

TEST(FlashDataWrite, DataBeyondTheWindowLeavesOnlyTheHeader) {
  TempDir dir;
  FlashDataMemory flash(0, 0x7FFFFFFE, "SOF Flash");
  EXPECT_FALSE(flash.add(0x80000000LL, sequence(16)).has_value());
  ASSERT_TRUE(flash.write(dir.file("h.flash"), "123"));
  EXPECT_EQ(readFile(dir.file("h.flash")), "S006000031323363" + NL);
  EXPECT_EQ(flash.getLastDataAddr(), -1);
}

TEST(FlashDataRead, ReadCreatesTheImage) {
  TempDir dir;
  writeFile(dir.file("in.flash"),
            "S0060000616263D3\n" + Srec::createData(0x7FFFFFF0u, Bytes(32, 5)).toString() + "\n");
  FlashDataMemory flash("loader");
  EXPECT_TRUE(flash.isEmpty());
  EXPECT_EQ(flash.base(), -1);
  SrecordMemory &image = flash.read(dir.file("in.flash"));
  EXPECT_EQ(image.end(), 0x7FFFFFFF);
  EXPECT_EQ(image.getHeader(), std::optional<std::string>("abc"));
  EXPECT_EQ(flash.getLastDataAddr(), 0x7FFFFFFF); // clipped to the window
  EXPECT_EQ(flash.getName(), std::optional<std::string>(""));
  EXPECT_EQ(messageOf<RWMemoryException>([&] { flash.read(dir.file("in.flash")); }), msg::PREDEFINED_FLASH);
  EXPECT_EQ(flash.estimateSize(), 16);
}

TEST(FlashDataRead, FailedReadLeavesNoImage) {
  TempDir dir;
  writeFile(dir.file("bad.flash"), "S0060000616263D3\nnot a record\n");
  FlashDataMemory flash("loader");
  EXPECT_EQ(messageOf<RWMemoryException>([&] { flash.read(dir.file("bad.flash")); }), msg::MALFORMED_RECORD);
  EXPECT_TRUE(flash.isEmpty());
  writeFile(dir.file("good.flash"), "S0060000616263D3\n");
  EXPECT_NO_THROW(flash.read(dir.file("good.flash")));
}

TEST(FlashDataRead, PredefinedImageIsNotReadInto) {
  TempDir dir;
  writeFile(dir.file("in.flash"), Srec::createData(0, Bytes{1}).toString() + "\n");
  FlashDataMemory flash(0, 100, "pre");
  flash.add(50, Bytes{7});
  EXPECT_EQ(messageOf<RWMemoryException>([&] { flash.read(dir.file("in.flash")); }), msg::PREDEFINED_FLASH);
  EXPECT_FALSE(flash.has(0));
  EXPECT_TRUE(flash.has(50));
}

TEST(FlashDataWithoutImage, EveryOperationHasItsDefault) {
  TempDir dir;
  FlashDataMemory flash(0, 100, "f");
  flash.add(0, Bytes{1});
  EXPECT_EQ(flash.toString(), "FLASH: f: base:0x0 end:0x64 total:0x1");
  flash.clear();
  EXPECT_FALSE(flash.add(0, Bytes{1}).has_value());
  EXPECT_FALSE(flash.add(0, OptionalBytes{}).has_value());
  EXPECT_EQ(flash.base(), -1);
  EXPECT_EQ(flash.end(), -1);
  EXPECT_FALSE(flash.copy(nullptr));
  EXPECT_FALSE(flash.get(0).has_value());
  EXPECT_FALSE(flash.get(SegmentKey{0}).has_value());
  EXPECT_FALSE(flash.get(0, 1).has_value());
  EXPECT_EQ(flash.getAddr(SegmentKey{0}), -1);
  EXPECT_FALSE(flash.getName().has_value());
  EXPECT_FALSE(flash.has(0));
  EXPECT_EQ(flash.intersection(0, 10), 0);
  EXPECT_TRUE(flash.isEmpty());
  EXPECT_FALSE(flash.iterator().has_value());
  EXPECT_FALSE(flash.write(dir.file("none.flash")));
  EXPECT_TRUE(dir.entries().empty());
  EXPECT_EQ(messageOf<std::logic_error>([&] { flash.getLastDataAddr(); }), msg::NO_FLASH_IMAGE);
  EXPECT_EQ(messageOf<std::logic_error>([&] { flash.estimateSize(); }), msg::NO_FLASH_IMAGE);
  EXPECT_EQ(messageOf<std::logic_error>([&] { (void)flash.toString(); }), msg::NO_FLASH_IMAGE);
}

TEST(FlashDataWithImage, DelegatesToTheImage) {
  FlashDataMemory flash(0x10, 0x1000, "img");
  ConcatinatingMemory other(0, 0x2000);
  other.add(0x20, Bytes{4, 5});
  EXPECT_TRUE(flash.copy(&other));
  EXPECT_EQ(*flash.get(0x20), (Bytes{4, 5}));
  EXPECT_EQ(*flash.get(SegmentKey{0x10}), (Bytes{4, 5}));
  EXPECT_EQ(flash.getAddr(SegmentKey{0x10}), 0x20);
  EXPECT_EQ(flash.iterator()->size(), 1u);
  EXPECT_EQ(flash.getName(), std::optional<std::string>("img"));
  EXPECT_EQ(flash.intersection(0, 0x20), 0x10);
  EXPECT_EQ(flash.base(), 0x10);
  EXPECT_EQ(flash.end(), 0x1000);
  EXPECT_EQ(messageOf<std::invalid_argument>([&] { flash.add(0, OptionalBytes{}); }), msg::CANNOT_ADD_EMPTY);
}
