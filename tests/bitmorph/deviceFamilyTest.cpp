// Tests of the family table and the part-name prefix match.
#include "bitmorph/deviceFamily.h"

#include <gtest/gtest.h>

namespace vantrel::bitmorph {
namespace {

TEST(DeviceFamilyTable, DeclarationOrderAndPrefixes) {
  const auto &all = deviceFamily::values();
  std::string joined;
  for (const auto *family : all)
    joined += family->toString() + " ";
  EXPECT_EQ(joined, "Invalid KX1R KX2R KX3R KX4R KX4RGX 5R KX1T KX2T KX3T KX1MGX KX2MGX KX2MGZ "
                    "KX4T 5T 5M 10M ");
}

TEST(DeviceFamilyTable, OnlyTessaryRefusesSerialModes) {
  std::string refused;
  for (const auto *family : deviceFamily::values()) {
    if (family != &deviceFamily::INVALID && !family->allowsSerialModes()) {
      refused += family->toString() + " ";
    }
  }
  EXPECT_EQ(refused, "KX1T ");
}

TEST(DeviceFamilyTable, CompressionRefusedByThreeFamilies) {
  std::string refused;
  for (const auto *family : deviceFamily::values()) {
    if (family != &deviceFamily::INVALID && !family->allowsCompression()) {
      refused += family->toString() + " ";
    }
  }
  EXPECT_EQ(refused, "KX1R KX1T 10M ");
}

TEST(DeviceFamilyTable, MapSizedFamiliesAreTheNewerFive) {
  std::string mapSized;
  for (const auto *family : deviceFamily::values()) {
    if (family->isMapSized()) mapSized += family->toString() + " ";
  }
  EXPECT_EQ(mapSized, "5R KX2MGZ 5T 5M 10M ");
}

TEST(DeviceFamilyMatch, PrefixOfThePartName) {
  EXPECT_EQ(&matchDeviceFamily("KX2MGX99"), &deviceFamily::MIRREN_II_GX);
  EXPECT_EQ(&matchDeviceFamily("KX3R25F324C6"), &deviceFamily::RAVELLE_III);
  EXPECT_EQ(&matchDeviceFamily("5TGXFC7H3F35C3"), &deviceFamily::TESSARY_V);
  EXPECT_EQ(&matchDeviceFamily("KX2MGZ150"), &deviceFamily::MIRREN_II_GZ);
}

TEST(DeviceFamilyMatch, Kx4rgxIsReportedAsRavelleIvByTableOrder) {
  EXPECT_EQ(&matchDeviceFamily("KX4RGX30C"), &deviceFamily::RAVELLE_IV);
}

TEST(DeviceFamilyMatch, OnlyTheLastFamilyIsUpperCased) {
  EXPECT_EQ(&matchDeviceFamily("10mx99"), &deviceFamily::MIRREN_10);
  EXPECT_EQ(&matchDeviceFamily("10M08SAE144"), &deviceFamily::MIRREN_10);
  EXPECT_EQ(&matchDeviceFamily("kx4r30"), &deviceFamily::INVALID);
  EXPECT_EQ(&matchDeviceFamily("5r"), &deviceFamily::INVALID);
}

TEST(DeviceFamilyMatch, NoMatchIsInvalid) {
  EXPECT_EQ(&matchDeviceFamily(""), &deviceFamily::INVALID);
  EXPECT_EQ(&matchDeviceFamily("KX"), &deviceFamily::INVALID);
  EXPECT_EQ(&matchDeviceFamily("Invalid"), &deviceFamily::INVALID);
  EXPECT_EQ(&matchDeviceFamily(" KX2R"), &deviceFamily::INVALID);
}

} // namespace
} // namespace vantrel::bitmorph
