// Tests of the serial cut and mirror, the boot-image header and the window check.
#include "bitmorph/FlashImageBuilder.h"

#include <gtest/gtest.h>

namespace vantrel::bitmorph {
namespace {

using flashDevice::Bytes;

TEST(SerialImageData, FirstBytesBitMirrored) {
  const Bytes image = {0x01, 0x6A, 0x83, 0xFF, 0x00, 0x55};
  const auto data = serialImageData(image, 4);
  ASSERT_TRUE(data.has_value());
  EXPECT_EQ(*data, (Bytes{0x80, 0x56, 0xC1, 0xFF}));
}

TEST(SerialImageData, SizeBeyondTheImageOrNotPositiveFails) {
  const Bytes image(10, 0xAA);
  EXPECT_FALSE(serialImageData(image, 11).has_value());
  EXPECT_FALSE(serialImageData(image, 0).has_value());
  EXPECT_FALSE(serialImageData(image, -3).has_value());
  EXPECT_EQ(serialImageData(image, 10)->size(), 10u);
}

TEST(BootImageHeader, SerialSizeLeastSignificantByteFirst) {
  Bytes data(20, 0xEE);
  ASSERT_TRUE(writeBootImageHeader(data, 0x103));
  EXPECT_EQ(Bytes(data.begin(), data.begin() + 12),
            (Bytes{0, 0, 0, 0, 0x83, 0x79, 0x73, 0x78, 0x02, 0x01, 0x00, 0x00}));
  EXPECT_EQ(data[12], 0xEE);
  EXPECT_EQ(data.size(), 20u);
}

TEST(BootImageHeader, ParallelSizeZeroGivesAllOnes) {
  Bytes data(12, 0x11);
  ASSERT_TRUE(writeBootImageHeader(data, 0));
  EXPECT_EQ(data, (Bytes{0, 0, 0, 0, 0x83, 0x79, 0x73, 0x78, 0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(BootImageHeader, ImageShorterThanTwelveBytesIsRefusedUnchanged) {
  Bytes data(11, 0x42);
  EXPECT_FALSE(writeBootImageHeader(data, 0));
  EXPECT_EQ(data, Bytes(11, 0x42));
}

TEST(FlashWindow, OffsetMustStartInsideTheWindow) {
  EXPECT_TRUE(offsetInsideFlashWindow(0));
  EXPECT_TRUE(offsetInsideFlashWindow(0x7FFFFFFE));
  EXPECT_FALSE(offsetInsideFlashWindow(0x7FFFFFFF));
  EXPECT_FALSE(offsetInsideFlashWindow(-1));
  EXPECT_FALSE(offsetInsideFlashWindow(-2));
}

} // namespace
} // namespace vantrel::bitmorph
