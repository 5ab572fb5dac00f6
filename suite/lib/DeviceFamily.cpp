// The converter's family table and the part-name lookup.
#include "DeviceFamily.h"

#include <cctype>

namespace vantrel::suite {

namespace {
// The family codes stay clear of the code ranges that select other length layouts
// (0-20, 32-35, 66, 145-150, 225-228 scattered; 241-247 a second scattered form), so a
// reader that picks the layout from the code finds the one written here. RAVELLE, the
// oldest family, keeps the scattered layout and a code from the scattered range.
constexpr DeviceFamily FAMILIES[] = {
    {"RAVELLE", "KX1R", true, false, 3, LengthLayout::Scattered},
    {"RAVELLE_II", "KX2R", true, false, 0x70, LengthLayout::AfterSync},
    {"RAVELLE_III", "KX3R", true, false, 0x71, LengthLayout::AfterSync},
    {"RAVELLE_IV", "KX4R", true, false, 0x72, LengthLayout::AfterSync},
    {"RAVELLE_IV_GX", "KX4RGX", true, false, 0x73, LengthLayout::AfterSync},
    {"RAVELLE_V", "5R", true, true, 0x74, LengthLayout::AfterSync},
    {"TESSARY", "KX1T", false, false, 0x75, LengthLayout::AfterSync},
    {"TESSARY_II", "KX2T", true, false, 0x76, LengthLayout::AfterSync},
    {"TESSARY_III", "KX3T", true, false, 0x77, LengthLayout::AfterSync},
    {"MIRREN_GX", "KX1MGX", true, false, 0x78, LengthLayout::AfterSync},
    {"MIRREN_II_GX", "KX2MGX", true, false, 0x79, LengthLayout::AfterSync},
    {"MIRREN_II_GZ", "KX2MGZ", true, true, 0x7A, LengthLayout::AfterSync},
    {"TESSARY_IV", "KX4T", true, false, 0x7B, LengthLayout::AfterSync},
    {"TESSARY_V", "5T", true, true, 0x7C, LengthLayout::AfterSync},
    {"MIRREN_V", "5M", true, true, 0x7D, LengthLayout::AfterSync},
    {"MIRREN_10", "10M", true, true, 0x7E, LengthLayout::AfterSync},
};
constexpr int FAMILY_COUNT = static_cast<int>(sizeof(FAMILIES) / sizeof(FAMILIES[0]));
} // namespace

std::string trimControl(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= 0x20)
    ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 0x20)
    --end;
  return std::string(text.substr(begin, end - begin));
}

const DeviceFamily *findFamily(std::string_view partName) {
  const std::string name = trimControl(partName);
  for (int i = 0; i < FAMILY_COUNT; ++i) {
    std::string candidate = name;
    if (i == FAMILY_COUNT - 1) {
      for (char &c : candidate)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    if (candidate.rfind(FAMILIES[i].prefix, 0) == 0) return &FAMILIES[i];
  }
  return nullptr;
}

int familyCount() {
  return FAMILY_COUNT;
}

const DeviceFamily &familyAt(int i) {
  return FAMILIES[i];
}

} // namespace vantrel::suite
