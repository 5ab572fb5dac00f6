// The FPGA device families, their part-name prefixes and what each family permits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel::bitmorph {

/// One FPGA device family, named by the prefix of its part names. The instances below are
/// the only ones; they are compared by identity (their addresses).
class deviceFamily {
public:
  static const deviceFamily INVALID;
  static const deviceFamily RAVELLE;
  static const deviceFamily RAVELLE_II;
  static const deviceFamily RAVELLE_III;
  static const deviceFamily RAVELLE_IV;
  static const deviceFamily RAVELLE_IV_GX;
  static const deviceFamily RAVELLE_V;
  static const deviceFamily TESSARY;
  static const deviceFamily TESSARY_II;
  static const deviceFamily TESSARY_III;
  static const deviceFamily MIRREN_GX;
  static const deviceFamily MIRREN_II_GX;
  static const deviceFamily MIRREN_II_GZ;
  static const deviceFamily TESSARY_IV;
  static const deviceFamily TESSARY_V;
  static const deviceFamily MIRREN_V;
  static const deviceFamily MIRREN_10;

  deviceFamily(const deviceFamily &) = delete;
  deviceFamily &operator=(const deviceFamily &) = delete;

  /// Every instance in declaration order, INVALID first; detection tests them in this order.
  static const std::vector<const deviceFamily *> &values();

  /// The part-name prefix ("Invalid" for INVALID).
  const std::string &toString() const { return signaturePrefix; }
  /// Same as toString().
  const std::string &getSignaturePrefix() const { return signaturePrefix; }
  /// True when --sprom, --qprom and --qprom128 accept this family.
  bool allowsSerialModes() const { return serialAllowed; }
  /// True when --compress accepts this family.
  bool allowsCompression() const { return compressionAllowed; }
  /// True for the newer families: the serial flow sizes them from the memory map, and every
  /// non-loader flow writes the boot-image header over the start of their image.
  bool isMapSized() const { return mapSized; }
  /// The family's name as users know it ("Tessary II"), for messages.
  const std::string &displayName() const { return name; }

private:
  deviceFamily(const char *prefix, bool serial, bool compression, bool map, const char *displayName)
      : signaturePrefix(prefix), serialAllowed(serial), compressionAllowed(compression), mapSized(map),
        name(displayName) {}

  const std::string signaturePrefix;
  const bool serialAllowed;
  const bool compressionAllowed;
  const bool mapSized;
  const std::string name;
};

/// The family whose prefix starts the part name, tested in declaration order (so a
/// "KX4RGX" part is RAVELLE_IV); for MIRREN_10 the name is upper-cased first. INVALID when
/// nothing matches.
const deviceFamily &matchDeviceFamily(std::string_view partName);

} // namespace vantrel::bitmorph
