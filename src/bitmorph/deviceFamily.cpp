// The fixed family table and the part-name match.
#include "bitmorph/deviceFamily.h"

namespace vantrel::bitmorph {

//                                          prefix    serial compress map-sized  name
const deviceFamily deviceFamily::INVALID("Invalid", false, false, false, "Invalid");
const deviceFamily deviceFamily::RAVELLE("KX1R", true, false, false, "Ravelle");
const deviceFamily deviceFamily::RAVELLE_II("KX2R", true, true, false, "Ravelle II");
const deviceFamily deviceFamily::RAVELLE_III("KX3R", true, true, false, "Ravelle III");
const deviceFamily deviceFamily::RAVELLE_IV("KX4R", true, true, false, "Ravelle IV");
const deviceFamily deviceFamily::RAVELLE_IV_GX("KX4RGX", true, true, false, "Ravelle IV GX");
const deviceFamily deviceFamily::RAVELLE_V("5R", true, true, true, "Ravelle V");
const deviceFamily deviceFamily::TESSARY("KX1T", false, false, false, "Tessary");
const deviceFamily deviceFamily::TESSARY_II("KX2T", true, true, false, "Tessary II");
const deviceFamily deviceFamily::TESSARY_III("KX3T", true, true, false, "Tessary III");
const deviceFamily deviceFamily::MIRREN_GX("KX1MGX", true, true, false, "Mirren GX");
const deviceFamily deviceFamily::MIRREN_II_GX("KX2MGX", true, true, false, "Mirren II GX");
const deviceFamily deviceFamily::MIRREN_II_GZ("KX2MGZ", true, true, true, "Mirren II GZ");
const deviceFamily deviceFamily::TESSARY_IV("KX4T", true, true, false, "Tessary IV");
const deviceFamily deviceFamily::TESSARY_V("5T", true, true, true, "Tessary V");
const deviceFamily deviceFamily::MIRREN_V("5M", true, true, true, "Mirren V");
const deviceFamily deviceFamily::MIRREN_10("10M", true, false, true, "Mirren 10");

const std::vector<const deviceFamily *> &deviceFamily::values() {
  static const std::vector<const deviceFamily *> all = {
      &INVALID,      &RAVELLE,    &RAVELLE_II, &RAVELLE_III, &RAVELLE_IV, &RAVELLE_IV_GX,
      &RAVELLE_V,    &TESSARY,    &TESSARY_II, &TESSARY_III, &MIRREN_GX,  &MIRREN_II_GX,
      &MIRREN_II_GZ, &TESSARY_IV, &TESSARY_V,  &MIRREN_V,    &MIRREN_10};
  return all;
}

namespace {

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

std::string upperCased(std::string_view text) {
  std::string result(text);
  for (char &c : result) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return result;
}

} // namespace

const deviceFamily &matchDeviceFamily(std::string_view partName) {
  const auto &all = deviceFamily::values();
  for (const deviceFamily *family : all) {
    if (family == &deviceFamily::INVALID) continue;
    // Only the last family's prefix is compared against the upper-cased name: its parts
    // are commonly written in lower case ("10mx99"), the older ones never are.
    if (family == &deviceFamily::MIRREN_10) {
      if (startsWith(upperCased(partName), family->getSignaturePrefix())) return *family;
    } else if (startsWith(partName, family->getSignaturePrefix())) {
      return *family;
    }
  }
  return deviceFamily::INVALID;
}

} // namespace vantrel::bitmorph
