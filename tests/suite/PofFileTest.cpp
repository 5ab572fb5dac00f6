// The programming object file container: exact start, round trip and damage detection.
#include <gtest/gtest.h>

#include "ByteOrder.h"
#include "Checksum.h"
#include "Messages.h"
#include "PofFile.h"
#include "TestSupport.h"

namespace vantrel::suite {
namespace {

using testing::asText;

PofContent sample() {
  PofContent c;
  c.partName = "KX3R40";
  c.target = "CFI_1GB";
  c.pageStart = 0x20000;
  c.optionStart = 0x18000;
  c.modeCode = 6;
  c.compressed = true;
  c.image = {1, 2, 3, 4};
  c.optionBits = std::vector<std::uint8_t>(32, 0xEE);
  return c;
}

TEST(PofFile, StartsWithSignatureAndPartRecord) {
  const std::string bytes = asText(writePof(sample()));
  EXPECT_EQ(bytes.substr(0, 22), std::string("BMPOF\x1A\r\nPART\x06\0\0\0KX3R40", 22));
}

TEST(PofFile, RoundTrip) {
  for (bool options : {true, false}) {
    PofContent c = sample();
    if (!options) {
      c.optionStart = POF_NO_OPTION_BITS;
      c.optionBits.clear();
      c.serial = true;
    }
    auto parsed = parsePof(asText(writePof(c)));
    ASSERT_TRUE(parsed.ok()) << parsed.error();
    const PofContent &p = parsed.value();
    EXPECT_EQ(p.partName, c.partName);
    EXPECT_EQ(p.target, c.target);
    EXPECT_EQ(p.pageStart, c.pageStart);
    EXPECT_EQ(p.optionStart, c.optionStart);
    EXPECT_EQ(p.modeCode, c.modeCode);
    EXPECT_EQ(p.compressed, c.compressed);
    EXPECT_EQ(p.serial, c.serial);
    EXPECT_EQ(p.image, c.image);
    EXPECT_EQ(p.optionBits, c.optionBits);
  }
}

TEST(PofFile, Errors) {
  const std::string good = asText(writePof(sample()));
  EXPECT_EQ(parsePof("BMPOF").error(), msg::POF_NOT_POF);
  EXPECT_EQ(parsePof("XMPOF\x1A\r\nPART").error(), msg::POF_NOT_POF);
  EXPECT_EQ(parsePof(good.substr(0, good.size() - 3)).error(), msg::POF_ENDS_EARLY);
  EXPECT_EQ(parsePof(good.substr(0, 12)).error(), msg::POF_ENDS_EARLY);
  std::string flipped = good;
  flipped[19] = 'Y'; // inside the part name
  EXPECT_EQ(parsePof(flipped).error(), msg::POF_DAMAGED);
  EXPECT_EQ(parsePof(good + "x").error(), msg::POF_DAMAGED);

  std::string noEnd =
      std::string("BMPOF\x1A\r\n", 8) + std::string("END \x04\0\0\0", 8) + std::string(4, '\0');
  EXPECT_EQ(parsePof(noEnd).error(), msg::POF_DAMAGED);
}

/// A container with the given records and a correct checksum record.
std::string container(const std::vector<std::pair<std::string, std::string>> &records) {
  std::vector<std::uint8_t> out = {'B', 'M', 'P', 'O', 'F', 0x1A, 0x0D, 0x0A};
  for (const auto &[tag, payload] : records) {
    out.insert(out.end(), tag.begin(), tag.end());
    appendLe32(out, static_cast<std::uint32_t>(payload.size()));
    out.insert(out.end(), payload.begin(), payload.end());
  }
  const std::uint32_t crc = crc32Of(out.data(), out.size());
  out.insert(out.end(), {'E', 'N', 'D', ' ', 4, 0, 0, 0});
  appendLe32(out, crc);
  return asText(out);
}

TEST(PofFile, MissingRecords) {
  // PAGE: start 0, option bits none (0xFFFFFFFF), mode 0, flags 0.
  const std::string page = std::string(4, '\0') + std::string(4, '\xFF') + std::string(8, '\0');
  const std::string pageWithOptions(16, '\0'); // option bits at 0
  EXPECT_EQ(parsePof(container({{"TARG", "x"}, {"PAGE", page}, {"IMAG", "i"}})).error(),
            std::string(msg::POF_MISSING) + "PART");
  EXPECT_EQ(parsePof(container({{"PART", "p"}, {"PAGE", page}, {"IMAG", "i"}})).error(),
            std::string(msg::POF_MISSING) + "TARG");
  EXPECT_EQ(parsePof(container({{"PART", "p"}, {"TARG", "x"}, {"IMAG", "i"}})).error(),
            std::string(msg::POF_MISSING) + "PAGE");
  EXPECT_EQ(parsePof(container({{"PART", "p"}, {"TARG", "x"}, {"PAGE", page}})).error(),
            std::string(msg::POF_MISSING) + "IMAG");
  EXPECT_EQ(
      parsePof(container({{"PART", "p"}, {"TARG", "x"}, {"PAGE", pageWithOptions}, {"IMAG", "i"}})).error(),
      std::string(msg::POF_MISSING) + "OPTB");
  // Unknown records are skipped.
  auto parsed =
      parsePof(container({{"PART", "p"}, {"XTRA", "zz"}, {"TARG", "x"}, {"PAGE", page}, {"IMAG", "i"}}));
  ASSERT_TRUE(parsed.ok()) << parsed.error();
  EXPECT_EQ(parsed.value().image, std::vector<std::uint8_t>{'i'});
}

} // namespace
} // namespace vantrel::suite
