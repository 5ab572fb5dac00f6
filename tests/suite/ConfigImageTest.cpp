// Configuration images: header bytes, compression round trip, and decoding errors.
#include <gtest/gtest.h>

#include "ByteOrder.h"
#include "Checksum.h"
#include "Compression.h"
#include "ConfigImage.h"
#include "GeneratedDesign.h"
#include "Messages.h"
#include "TestSupport.h"

namespace vantrel::suite {
namespace {

using testing::asText;

const DeviceFamily &ravelle3() {
  return *findFamily("KX3R40");
}

TEST(ConfigImageBuild, HeaderBytesOfARawImage) {
  const std::vector<std::uint8_t> data = {1, 2, 3, 4, 5};
  const std::vector<std::uint8_t> image = buildImage(data, ravelle3(), false).value();
  ASSERT_EQ(image.size(), 101u);
  for (std::size_t i = 0; i < 32; ++i)
    EXPECT_EQ(image[i], 0xFF) << i;
  EXPECT_EQ(image[32], 0x6A);
  EXPECT_EQ(loadLe32(&image[37]), 101u * 8);
  EXPECT_EQ(image[44], 1);
  EXPECT_EQ(image[45], 0);
  EXPECT_EQ(loadLe32(&image[76]), 5u);
  EXPECT_EQ(loadLe32(&image[80]), crc32Of(data.data(), data.size()));
  EXPECT_EQ(loadLe32(&image[84]), 5u);
  EXPECT_EQ(std::vector<std::uint8_t>(image.begin() + 96, image.end()), data);
}

TEST(ConfigImageBuild, BootFamiliesKeepTwelveReservedBytes) {
  const std::vector<std::uint8_t> data(300, 0xAB);
  for (const char *part : {"5RGX", "5TE30", "5M", "10M08", "KX2MGZ15"}) {
    const std::vector<std::uint8_t> image = buildImage(data, *findFamily(part), true).value();
    for (std::size_t i = 0; i < IMAGE_RESERVED; ++i)
      EXPECT_EQ(image[i], 0xFF) << part;
    // Writing a boot-image header over the reserved bytes leaves the design readable.
    std::vector<std::uint8_t> headed = image;
    const std::uint8_t bootHeader[12] = {0, 0, 0, 0, 0x83, 0x79, 0x73, 0x78, 0xFF, 0xFF, 0xFF, 0xFF};
    std::copy(bootHeader, bootHeader + 12, headed.begin());
    auto decoded = decodeImage(asText(headed));
    ASSERT_TRUE(decoded.ok()) << decoded.error();
    EXPECT_EQ(decoded.value().configData, data);
  }
}

TEST(ConfigImageCompression, RoundTripIsExactAndSmaller) {
  const std::vector<std::uint8_t> data = generateConfigData(40000, 7);
  const std::vector<std::uint8_t> raw = buildImage(data, ravelle3(), false).value();
  const std::vector<std::uint8_t> packed = buildImage(data, ravelle3(), true).value();
  EXPECT_LT(packed.size() * 2, raw.size());
  EXPECT_EQ(packed[45], 1);
  auto decoded = decodeImage(asText(packed));
  ASSERT_TRUE(decoded.ok()) << decoded.error();
  EXPECT_TRUE(decoded.value().compressed);
  EXPECT_EQ(decoded.value().configData, data);
  EXPECT_EQ(decoded.value().imageSize, packed.size());
  EXPECT_EQ(decoded.value().familyCode, ravelle3().familyCode);
  // The payload is an ordinary zlib stream.
  auto unpacked = decompressBytes(packed.data() + 96, packed.size() - 96, data.size());
  ASSERT_TRUE(unpacked.has_value());
  EXPECT_EQ(*unpacked, data);
}

TEST(ConfigImageCompression, RejectsStreamsOfTheWrongLength) {
  const std::vector<std::uint8_t> data(1000, 0x11);
  const std::vector<std::uint8_t> z = compressBytes(data);
  EXPECT_FALSE(decompressBytes(z.data(), z.size(), 999).has_value());
  EXPECT_FALSE(decompressBytes(z.data(), z.size(), 1001).has_value());
  EXPECT_FALSE(decompressBytes(z.data(), z.size() - 1, 1000).has_value());
  EXPECT_TRUE(decompressBytes(z.data(), z.size(), 1000).has_value());
}

TEST(ConfigImageDecode, ReadsPastPadding) {
  const std::vector<std::uint8_t> data = {9, 8, 7};
  std::vector<std::uint8_t> image = buildImage(data, ravelle3(), true).value();
  image.resize(4096, 0xFF);
  auto decoded = decodeImage(asText(image));
  ASSERT_TRUE(decoded.ok()) << decoded.error();
  EXPECT_EQ(decoded.value().configData, data);
}

TEST(ConfigImageDecode, Errors) {
  const std::vector<std::uint8_t> data = generateConfigData(2000, 3);
  const std::vector<std::uint8_t> packed = buildImage(data, ravelle3(), true).value();
  const std::vector<std::uint8_t> raw = buildImage(data, ravelle3(), false).value();
  auto decodeWith = [](std::vector<std::uint8_t> image, std::size_t at, std::uint8_t value) {
    image[at] = value;
    return decodeImage(testing::asText(image)).error();
  };
  EXPECT_EQ(decodeImage("").error(), msg::IMAGE_NO_SYNC);
  EXPECT_EQ(decodeWith(packed, 20, 0x00), msg::IMAGE_NO_SYNC);
  EXPECT_EQ(decodeWith(packed, 32, 0x6B), msg::IMAGE_NO_SYNC);
  EXPECT_EQ(decodeImage(asText(packed).substr(0, 60)).error(), msg::IMAGE_TRUNCATED);
  EXPECT_EQ(decodeImage(asText(packed).substr(0, packed.size() - 1)).error(), msg::IMAGE_TRUNCATED);
  EXPECT_EQ(decodeWith(packed, 44, 2), msg::IMAGE_BAD_VERSION);
  EXPECT_EQ(decodeWith(packed, 84, static_cast<std::uint8_t>(packed[84] + 1)), msg::IMAGE_BAD_LENGTH);
  EXPECT_EQ(decodeWith(raw, 76, static_cast<std::uint8_t>(raw[76] + 1)), msg::IMAGE_BAD_LENGTH);
  EXPECT_EQ(decodeWith(packed, 100, static_cast<std::uint8_t>(packed[100] ^ 0x55)), msg::IMAGE_BAD_PAYLOAD);
  EXPECT_EQ(decodeWith(raw, 200, static_cast<std::uint8_t>(raw[200] ^ 1)), msg::IMAGE_BAD_CHECKSUM);
  // A stated size far beyond what deflate can produce from the payload.
  std::vector<std::uint8_t> huge = packed;
  storeLe32(&huge[76], 0x7FFFFFFF);
  EXPECT_EQ(decodeImage(asText(huge)).error(), msg::IMAGE_BAD_LENGTH);
}

} // namespace
} // namespace vantrel::suite
