// Tests of the ZIP reader: stored and deflated entries, the jar the build made, and every
// kind of damaged archive it must refuse.
#include "ZipArchive.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

using vantrel::runtime::ZipArchive;

namespace {

void put16(std::vector<std::uint8_t> &b, unsigned v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(std::vector<std::uint8_t> &b, std::uint32_t v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}

struct TestEntry {
  std::string name;
  std::string data;
  bool deflate = true;
  std::uint16_t method = 0xFFFF; // forced method, else stored/deflated
  std::uint16_t flags = 0;
  std::int64_t crcDelta = 0;
  std::uint32_t forcedSize = 0;
};

// Writes a minimal archive: local headers with data, central directory, end record.
std::vector<std::uint8_t> makeZip(const std::vector<TestEntry> &entries, const std::string &comment = "") {
  std::vector<std::uint8_t> out, central;
  for (const TestEntry &e : entries) {
    std::vector<std::uint8_t> payload(e.data.begin(), e.data.end());
    if (e.deflate) {
      z_stream s{};
      deflateInit2(&s, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
      std::vector<std::uint8_t> packed(deflateBound(&s, static_cast<uLong>(payload.size())) + 16);
      s.next_in = payload.data();
      s.avail_in = static_cast<uInt>(payload.size());
      s.next_out = packed.data();
      s.avail_out = static_cast<uInt>(packed.size());
      deflate(&s, Z_FINISH);
      packed.resize(s.total_out);
      deflateEnd(&s);
      payload = packed;
    }
    const std::uint16_t method = e.method != 0xFFFF ? e.method : (e.deflate ? 8 : 0);
    const auto crc = static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef *>(e.data.data()), static_cast<uInt>(e.data.size())) +
        e.crcDelta);
    const std::uint32_t size = e.forcedSize ? e.forcedSize : static_cast<std::uint32_t>(e.data.size());
    const auto offset = static_cast<std::uint32_t>(out.size());
    put32(out, 0x04034b50);
    put16(out, 20);
    put16(out, e.flags);
    put16(out, method);
    put32(out, 0);
    put32(out, crc);
    put32(out, static_cast<std::uint32_t>(payload.size()));
    put32(out, size);
    put16(out, static_cast<unsigned>(e.name.size()));
    put16(out, 0);
    out.insert(out.end(), e.name.begin(), e.name.end());
    out.insert(out.end(), payload.begin(), payload.end());
    put32(central, 0x02014b50);
    put16(central, 20);
    put16(central, 20);
    put16(central, e.flags);
    put16(central, method);
    put32(central, 0);
    put32(central, crc);
    put32(central, static_cast<std::uint32_t>(payload.size()));
    put32(central, size);
    put16(central, static_cast<unsigned>(e.name.size()));
    put16(central, 0);
    put16(central, 0);
    put16(central, 0);
    put16(central, 0);
    put32(central, 0);
    put32(central, offset);
    central.insert(central.end(), e.name.begin(), e.name.end());
  }
  const auto dirOffset = static_cast<std::uint32_t>(out.size());
  out.insert(out.end(), central.begin(), central.end());
  put32(out, 0x06054b50);
  put16(out, 0);
  put16(out, 0);
  put16(out, static_cast<unsigned>(entries.size()));
  put16(out, static_cast<unsigned>(entries.size()));
  put32(out, static_cast<std::uint32_t>(central.size()));
  put32(out, dirOffset);
  put16(out, static_cast<unsigned>(comment.size()));
  out.insert(out.end(), comment.begin(), comment.end());
  return out;
}

std::string text(const std::optional<std::vector<std::uint8_t>> &bytes) {
  return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<none>");
}

} // namespace

TEST(ZipArchiveRead, StoredAndDeflatedEntriesComeBackExactly) {
  const std::string big(100000, 'x');
  std::string error;
  auto zip = ZipArchive::fromBytes(
      makeZip({{"a.txt", "hello", false}, {"dir/b.bin", big, true}, {"empty", "", true}}), error);
  ASSERT_TRUE(zip) << error;
  EXPECT_EQ(text(zip->read("a.txt", error)), "hello");
  EXPECT_EQ(text(zip->read("dir/b.bin", error)), big);
  EXPECT_EQ(text(zip->read("empty", error)), "");
  EXPECT_EQ(zip->names(), (std::vector<std::string>{"a.txt", "dir/b.bin", "empty"}));
}

TEST(ZipArchiveRead, MissingEntryIsNothingWithoutError) {
  std::string error;
  auto zip = ZipArchive::fromBytes(makeZip({{"a", "1", false}}), error);
  ASSERT_TRUE(zip);
  EXPECT_FALSE(zip->contains("b"));
  EXPECT_FALSE(zip->read("b", error));
  EXPECT_EQ(error, "");
}

TEST(ZipArchiveRead, CommentThatContainsTheEndSignatureIsSkipped) {
  std::string comment = "PK\x05\x06 is not the end";
  std::string error;
  auto zip = ZipArchive::fromBytes(makeZip({{"a", "1", false}}, comment), error);
  ASSERT_TRUE(zip) << error;
  EXPECT_EQ(text(zip->read("a", error)), "1");
}

TEST(ZipArchiveRead, ReadsTheJarTheBuildMade) {
  std::string error;
  auto zip = ZipArchive::open(std::string(TEST_JAR_DIR) + "/echo.jar", error);
  ASSERT_TRUE(zip) << error;
  EXPECT_TRUE(zip->contains("test/EchoMain.class"));
  auto manifest = zip->read("META-INF/MANIFEST.MF", error);
  ASSERT_TRUE(manifest) << error;
  EXPECT_NE(text(manifest).find("Native-Library: echojni"), std::string::npos);
}

TEST(ZipArchiveDamage, NotAnArchive) {
  std::string error;
  EXPECT_FALSE(ZipArchive::fromBytes(std::vector<std::uint8_t>(100, 'x'), error));
  EXPECT_EQ(error, "zip END header not found");
  EXPECT_FALSE(ZipArchive::fromBytes({}, error));
  EXPECT_EQ(error, "zip END header not found");
}

TEST(ZipArchiveDamage, MissingFile) {
  std::string error;
  EXPECT_FALSE(ZipArchive::open(std::string(TEST_SCRATCH_DIR) + "/no-such.jar", error));
  EXPECT_EQ(error, "cannot open file");
}

TEST(ZipArchiveDamage, TruncatedCentralDirectory) {
  auto bytes = makeZip({{"a", "1", false}});
  // Point the directory past the end record.
  bytes[bytes.size() - 6] = 0xF0;
  std::string error;
  EXPECT_FALSE(ZipArchive::fromBytes(bytes, error));
  EXPECT_EQ(error, "invalid CEN header (bad directory offset)");
}

TEST(ZipArchiveDamage, WrongChecksum) {
  std::string error;
  auto zip = ZipArchive::fromBytes(makeZip({{"a", "payload", true, 0xFFFF, 0, 1}}), error);
  ASSERT_TRUE(zip);
  EXPECT_FALSE(zip->read("a", error));
  EXPECT_EQ(error, "invalid entry CRC of a");
}

TEST(ZipArchiveDamage, UnsupportedMethodEncryptionAndForgedSize) {
  std::string error;
  auto zip = ZipArchive::fromBytes(makeZip({{"m", "x", false, 12},
                                            {"e", "x", false, 0xFFFF, 1},
                                            {"big", "x", false, 0xFFFF, 0, 0, 0x7FFFFFFF}}),
                                   error);
  ASSERT_TRUE(zip);
  EXPECT_FALSE(zip->read("m", error));
  EXPECT_EQ(error, "unsupported compression method 12 of m");
  EXPECT_FALSE(zip->read("e", error));
  EXPECT_EQ(error, "encrypted entry e");
  EXPECT_FALSE(zip->read("big", error));
  EXPECT_EQ(error, "entry too large: big");
}

TEST(ZipArchiveDamage, CorruptDeflateData) {
  auto bytes = makeZip({{"a", std::string(1000, 'q'), true}});
  // The deflated data starts after the 30-byte local header and the one-letter name.
  bytes[31] = 0xFF;
  bytes[32] = 0xFF;
  std::string error;
  auto zip = ZipArchive::fromBytes(bytes, error);
  ASSERT_TRUE(zip);
  EXPECT_FALSE(zip->read("a", error));
  EXPECT_EQ(error, "invalid deflated data in a");
}
