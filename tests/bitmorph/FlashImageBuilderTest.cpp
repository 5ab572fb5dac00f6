// Tests of the serial cut and mirror, the boot-image header and the window check.
#include "bitmorph/FlashImageBuilder.h"

#include <gtest/gtest.h>

namespace vantrel::bitmorph {
namespace {

using flashDevice::Bytes;
using memory::Segment;

TEST(SerialImageData, FirstBytesBitMirroredWhereTheyLie) {
  Segment image(0, Bytes{0x01, 0x6A, 0x83, 0xFF, 0x00, 0x55});
  ASSERT_TRUE(serialImageData(image, 4));
  EXPECT_EQ(*image.get(), (Bytes{0x80, 0x56, 0xC1, 0xFF}));
}

TEST(SerialImageData, SizeBeyondTheImageOrNotPositiveFailsUnchanged) {
  Segment image(0, Bytes(10, 0xAA));
  EXPECT_FALSE(serialImageData(image, 11));
  EXPECT_FALSE(serialImageData(image, 0));
  EXPECT_FALSE(serialImageData(image, -3));
  EXPECT_EQ(*image.get(), Bytes(10, 0xAA));
  ASSERT_TRUE(serialImageData(image, 10));
  EXPECT_EQ(*image.get(), Bytes(10, 0x55));
}

TEST(BootImageHeader, SerialSizeLeastSignificantByteFirst) {
  Segment data(0, Bytes(20, 0xEE));
  ASSERT_TRUE(writeBootImageHeader(data, 0x103));
  Bytes expected = {0, 0, 0, 0, 0x83, 0x79, 0x73, 0x78, 0x02, 0x01, 0x00, 0x00};
  expected.resize(20, 0xEE);
  EXPECT_EQ(*data.get(), expected);
}

TEST(BootImageHeader, ParallelSizeZeroGivesAllOnes) {
  Segment data(0, Bytes(12, 0x11));
  ASSERT_TRUE(writeBootImageHeader(data, 0));
  EXPECT_EQ(*data.get(), (Bytes{0, 0, 0, 0, 0x83, 0x79, 0x73, 0x78, 0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(BootImageHeader, ImageShorterThanTwelveBytesIsRefusedUnchanged) {
  Segment data(0, Bytes(11, 0x42));
  EXPECT_FALSE(writeBootImageHeader(data, 0));
  EXPECT_EQ(*data.get(), Bytes(11, 0x42));
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
