// The converter's family table: prefixes, order, trimming and the codes' layouts.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "DeviceFamily.h"
#include "SerialHeader.h"

namespace vantrel::suite {
namespace {

std::string familyName(std::string_view part) {
  const DeviceFamily *f = findFamily(part);
  return f ? f->name : "none";
}

TEST(DeviceFamilyLookup, MatchesPrefixesInTableOrder) {
  EXPECT_EQ(familyName("KX1R20C8"), "RAVELLE");
  EXPECT_EQ(familyName("KX3R40F484"), "RAVELLE_III");
  EXPECT_EQ(familyName("KX4RGX230"), "RAVELLE_IV"); // tested before RAVELLE_IV_GX
  EXPECT_EQ(familyName("5TE30F23"), "TESSARY_V");
  EXPECT_EQ(familyName("KX1T10"), "TESSARY");
  EXPECT_EQ(familyName("KX2MGZ15"), "MIRREN_II_GZ");
}

TEST(DeviceFamilyLookup, UpperCasesOnlyForTheLastFamily) {
  EXPECT_EQ(familyName("10mx99"), "MIRREN_10");
  EXPECT_EQ(familyName("kx4r30"), "none");
  EXPECT_EQ(familyName("XYZ"), "none");
  EXPECT_EQ(familyName(""), "none");
}

TEST(DeviceFamilyLookup, TrimsBlanksAndNuls) {
  EXPECT_EQ(familyName(std::string_view(" \0KX2MGX99\0 ", 12)), "MIRREN_II_GX");
  EXPECT_EQ(trimControl(std::string_view("\t a b \0", 7)), "a b");
}

TEST(DeviceFamilyTable, FlagsFollowTheFamilies) {
  std::set<std::string> serialRefused, boot;
  for (int i = 0; i < familyCount(); ++i) {
    const DeviceFamily &f = familyAt(i);
    if (!f.serialAllowed) serialRefused.insert(f.name);
    if (f.bootArea) boot.insert(f.name);
  }
  EXPECT_EQ(serialRefused, (std::set<std::string>{"TESSARY"}));
  EXPECT_EQ(boot, (std::set<std::string>{"RAVELLE_V", "MIRREN_II_GZ", "TESSARY_V", "MIRREN_V", "MIRREN_10"}));
  EXPECT_EQ(familyCount(), 16);
}

TEST(DeviceFamilyTable, EachCodeSelectsItsFamilysLayout) {
  std::set<int> codes;
  int scattered = 0;
  for (int i = 0; i < familyCount(); ++i) {
    const DeviceFamily &f = familyAt(i);
    EXPECT_TRUE(codes.insert(f.familyCode).second) << f.name;
    EXPECT_EQ(layoutForCode(f.familyCode), f.layout) << f.name;
    if (f.layout == LengthLayout::Scattered) ++scattered;
  }
  EXPECT_EQ(scattered, 1);
  EXPECT_EQ(findFamily("KX1R")->layout, LengthLayout::Scattered);
}

} // namespace
} // namespace vantrel::suite
