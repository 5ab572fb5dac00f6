// Tests of the driver's family detection on paths: quote cleaning only as a second try.
#include "bitmorph/Bitmorph.h"

#include "SofBuilder.h"
#include "support/ScratchDir.h"

#include <gtest/gtest.h>

namespace vantrel::bitmorph {
namespace {

using test::SofBuilder;
using vantrel::testing::ScratchDir;

TEST(GetTargetDeviceFamily, PathWithSurroundingQuotesIsOpenedWithoutThem) {
  ScratchDir dir;
  const std::string path = dir.file("top.sof");
  vantrel::testing::writeBytes(path, SofBuilder(true).partName("KX3T").text());
  EXPECT_EQ(Bitmorph::getTargetDeviceFamily("\"" + path + "\""), &deviceFamily::TESSARY_III);
  EXPECT_EQ(Bitmorph::getTargetDeviceFamily("'" + path + "'"), &deviceFamily::TESSARY_III);
}

TEST(GetTargetDeviceFamily, RealNameWithAnApostropheStillWorks) {
  ScratchDir dir;
  const std::string path = dir.file("bob's design.sof");
  vantrel::testing::writeBytes(path, SofBuilder(false).partName("5M16").text());
  EXPECT_EQ(Bitmorph::getTargetDeviceFamily(path), &deviceFamily::MIRREN_V);
}

TEST(GetTargetDeviceFamily, MissingOrNotASofIsAbsent) {
  ScratchDir dir;
  EXPECT_EQ(Bitmorph::getTargetDeviceFamily(dir.file("none.sof")), nullptr);
  vantrel::testing::writeBytes(dir.file("x.sof"), "SOF");
  EXPECT_EQ(Bitmorph::getTargetDeviceFamily(dir.file("x.sof")), nullptr);
  EXPECT_EQ(Bitmorph::getTargetDeviceFamily(dir.path().string()), nullptr); // a folder
}

} // namespace
} // namespace vantrel::bitmorph
