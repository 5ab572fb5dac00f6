// Tests of the S-record codec: parsing, every malformed form, building and formatting.
#include "memory/Srec.h"
#include "TestFiles.h"
#include "memory/IllegalAttributeRequestException.h"
#include "memory/MemoryMessages.h"
#include "memory/RecordException.h"
#include "memory/SrecordLine.h"

#include <gtest/gtest.h>

using namespace vantrel::memory;
using vantrel::memory::test::messageOf;
namespace msg = vantrel::memory::messages;

namespace {

std::string badRecordMessage(const std::string &line) {
  return messageOf<InvalidDataRecordException>([&] { Srec record(line); });
}

} // namespace

TEST(SrecFormat, WorkedExamples) {
  EXPECT_EQ(Srec::createHeader("abc").toString(), "S0060000616263D3");
  EXPECT_EQ(Srec::createData(0, Bytes{1, 2, 3, 4}).toString(), "S3090000000001020304EC");
  EXPECT_EQ(Srec::createHeader("").toString(), "S0030000FC");
  EXPECT_EQ(Srec::createCount(5).toString(), "S5030005F7");
  EXPECT_EQ(Srec::createStart(0).toString(), "S70500000000FA");
  EXPECT_EQ(Srec::createCount(0x12345).toString(), "S503234594");
}

TEST(SrecFormat, FullDataRecordIs78Characters) {
  const std::string line = Srec::createData(0x100, Bytes(32, 0xAB)).toString();
  EXPECT_EQ(line.size(), 78u);
  EXPECT_EQ(line.substr(0, 12), "S32500000100");
}

TEST(SrecFormat, OtherTypesAndWidths) {
  EXPECT_EQ(Srec("S1", 0x1234, Bytes{0xFF}).toString(), "S1041234FFB6");
  EXPECT_EQ(Srec("S2", 0x123456, Bytes{}).toString(), "S2041234565F");
  EXPECT_EQ(Srec("S9", 0x1234).toString(), "S9031234B6");
  EXPECT_EQ(Srec("S8", 0xABCDEF).toString(), "S804ABCDEF94");
}

TEST(SrecFormat, NonAsciiHeaderCharactersBecomeQuestionMarks) {
  EXPECT_EQ(Srec::createHeader("a\xC3\xA9"
                               "b")
                .toString(),
            Srec::createHeader("a?b").toString());
  EXPECT_EQ(Srec::createHeader("x\xFFy").getHeader(), "x?y");
}

TEST(SrecFormat, TooLongContentIsRefused) {
  EXPECT_NO_THROW(Srec::createHeader(std::string(252, 'h')));
  EXPECT_EQ(messageOf<std::invalid_argument>([] { Srec::createHeader(std::string(253, 'h')); }),
            std::string(msg::RECORD_TOO_LONG) + "253");
  EXPECT_NO_THROW(Srec::createData(0, Bytes(250, 0)));
  EXPECT_EQ(messageOf<std::invalid_argument>([] { Srec::createData(0, Bytes(251, 0)); }),
            std::string(msg::RECORD_TOO_LONG) + "251");
}

TEST(SrecFormat, UnknownTypeIsNotValidAndNotFormatted) {
  const Srec record("S4", 0, Bytes{1});
  EXPECT_FALSE(record.isValid());
  EXPECT_EQ(messageOf<IllegalAttributeRequestException>([&] { (void)record.toString(); }),
            msg::NO_VALID_TYPE);
  EXPECT_FALSE(Srec("s1", 0).isValid());
}

TEST(SrecParse, DataRecordsOfEveryWidth) {
  const Srec s1("S1041234FFB6");
  EXPECT_TRUE(s1.hasAddr());
  EXPECT_EQ(s1.getAddr(), 0x1234u);
  EXPECT_EQ(s1.getData(), Bytes{0xFF});
  const Srec s3("S3090000000001020304EC");
  EXPECT_EQ(s3.getType(), "S3");
  EXPECT_EQ(s3.getData(), (Bytes{1, 2, 3, 4}));
}

TEST(SrecParse, LowerCaseDigitsParseAndFormatUpperCase) {
  const Srec record("S1041234ffb6");
  EXPECT_EQ(record.toString(), "S1041234FFB6");
}

TEST(SrecParse, HighAddressIsUnsigned) {
  const std::string line = Srec::createData(0x80000001u, Bytes{7}).toString();
  EXPECT_EQ(Srec(line).getAddr(), 0x80000001u);
  const std::string top = Srec::createData(0xFFFFFFFFu, Bytes{7}).toString();
  EXPECT_EQ(Srec(top).getAddr(), 0xFFFFFFFFu);
}

TEST(SrecParse, EmptyDataRecordHasEmptyData) {
  const Srec record("S1031234B6");
  EXPECT_TRUE(record.hasData());
  EXPECT_TRUE(record.getData().empty());
}

TEST(SrecParse, StartRecordWithExtraBytesIgnoresThem) {
  // S9, count 4: address 1234, one extra byte AB, checksum.
  const Srec record("S9041234AB0A");
  EXPECT_TRUE(record.hasStart());
  EXPECT_EQ(record.getStart(), 0x1234u);
  EXPECT_FALSE(record.hasData());
}

TEST(SrecParse, HeaderBytesReadAsLatin1) {
  const Srec record(Srec("S0", 0, Bytes{'a', 0xE9}).toString());
  EXPECT_EQ(record.getHeader(), "a\xC3\xA9");
}

TEST(SrecParse, CountRecord) {
  const Srec record("S5030005F7");
  EXPECT_TRUE(record.hasCount());
  EXPECT_EQ(record.getCount(), 5u);
}

TEST(SrecMalformed, EveryDefectIsBadSrecFile) {
  const std::string bad = msg::BAD_SREC;
  EXPECT_EQ(badRecordMessage("S4030005F7"), bad);                 // not a type
  EXPECT_EQ(badRecordMessage("S6030005F7"), bad);                 // not a type
  EXPECT_EQ(badRecordMessage("s1041234FFB6"), bad);               // lower-case S
  EXPECT_EQ(badRecordMessage("S1041234FFB5"), bad);               // checksum digit changed
  EXPECT_EQ(badRecordMessage("S1051234FFB5"), bad);               // count one too large, checksum matches
  EXPECT_EQ(badRecordMessage("S1031234FFB7"), bad);               // count one too small, checksum matches
  EXPECT_EQ(badRecordMessage("S0060001616263D2"), bad);           // header with a non-zero address
  EXPECT_EQ(badRecordMessage("S1041234FFB"), bad);                // odd number of characters
  EXPECT_EQ(badRecordMessage("S1041234FGB6"), bad);               // not hexadecimal
  EXPECT_EQ(badRecordMessage("S1FC"), bad);                       // no count
  EXPECT_EQ(badRecordMessage("S1"), bad);                         // type only
  EXPECT_EQ(badRecordMessage(""), bad);                           // empty line
  EXPECT_EQ(badRecordMessage("S30200FD"), bad);                   // address longer than the record
  EXPECT_EQ(badRecordMessage(" S1041234FFB6"), bad);              // leading blank
  EXPECT_EQ(badRecordMessage("S1041234FFB6 "), bad);              // trailing blank
  EXPECT_EQ(badRecordMessage("S1" + std::string(600, '0')), bad); // longer than any record
}

TEST(SrecMalformed, ParserReportsFalseWithoutThrowing) {
  SrecordLine line;
  EXPECT_FALSE(parseSrecordLine("S1041234FFB5", line));
  EXPECT_TRUE(parseSrecordLine("S1041234FFB6", line));
  EXPECT_EQ(line.type, '1');
  EXPECT_EQ(line.address, 0x1234u);
  EXPECT_EQ(line.dataLen, 1u);
}

TEST(SrecAttributes, WrongGetterIsAProgrammingError) {
  const Srec header = Srec::createHeader("h");
  const Srec data = Srec::createData(0, Bytes{1});
  const Srec count = Srec::createCount(1);
  const Srec start = Srec::createStart(1);
  const Srec noData("S1", 0, std::nullopt);
  EXPECT_EQ(messageOf<IllegalAttributeRequestException>([&] { header.getAddr(); }), msg::NO_ADDRESS);
  EXPECT_EQ(messageOf<IllegalAttributeRequestException>([&] { data.getStart(); }), msg::NO_START);
  EXPECT_EQ(messageOf<IllegalAttributeRequestException>([&] { start.getCount(); }), msg::NO_COUNT);
  EXPECT_EQ(messageOf<IllegalAttributeRequestException>([&] { count.getHeader(); }), msg::NO_HEADER);
  EXPECT_EQ(messageOf<IllegalAttributeRequestException>([&] { header.getData(); }), msg::NO_DATA);
  EXPECT_EQ(messageOf<IllegalAttributeRequestException>([&] { noData.getData(); }), msg::NO_DATA);
  EXPECT_FALSE(noData.hasData());
  EXPECT_TRUE(noData.hasAddr());
  EXPECT_EQ(noData.toString(), "S1030000FC");
}

TEST(SrecAttributes, QueriesByType) {
  for (const char *type : {"S0", "S1", "S2", "S3", "S5", "S7", "S8", "S9"}) {
    const Srec r(type, 0);
    const std::string t = type;
    EXPECT_TRUE(r.isValid());
    EXPECT_EQ(r.hasHeader(), t == "S0");
    EXPECT_EQ(r.hasAddr(), t == "S1" || t == "S2" || t == "S3");
    EXPECT_EQ(r.hasCount(), t == "S5");
    EXPECT_EQ(r.hasStart(), t == "S7" || t == "S8" || t == "S9");
  }
}

TEST(SrecRoundTrip, FormattedRecordsParseBack) {
  for (std::uint32_t addr : {0u, 1u, 0x7FFFu, 0xFFFFFFFFu}) {
    Bytes data;
    for (int n = 0; n <= 250; n += 50) {
      data.resize(static_cast<std::size_t>(n), static_cast<std::uint8_t>(n));
      const Srec back(Srec::createData(addr, data).toString());
      EXPECT_EQ(back.getAddr(), addr);
      EXPECT_EQ(back.getData(), data);
    }
  }
}
