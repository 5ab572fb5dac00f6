// The configuration image the converter writes into every output (.rbf, .rpd, the image
// inside .pof and .hexout): a bitstream header followed by the design's configuration
// data, stored as they are or as a zlib stream.
//
// Layout (multi-byte fields least significant byte first):
//   0-11   reserved, 0xFF: the newer families' boot-image header is written here by the
//          flash tools, so it never covers design data
//   0-31   0xFF preamble (includes the reserved bytes)
//   32     0x6A sync byte
//   33-43  length fields of the family's layout (SerialHeader.h), otherwise 0
//   44     image format version, 1
//   45     flags: bit 0 set = payload is a zlib stream
//   48-72  bit 2: low length bits of the scattered layout; bit 1 of 52-59: family code
//   76-79  size of the configuration data (unpacked)
//   80-83  CRC-32 of the configuration data (unpacked)
//   84-87  size of the payload
//   96-    payload: the configuration data, or their zlib stream
// The image's size in bits is stated in the header's length fields; the image holds
// exactly 96 + payload bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "DeviceFamily.h"
#include "Result.h"

namespace vantrel::suite {

/// Reserved bytes at the start of every image (the boot-image header area).
constexpr std::size_t IMAGE_RESERVED = 12;
/// Position of the 0x6A sync byte.
constexpr std::size_t IMAGE_SYNC_AT = 32;
/// The sync byte.
constexpr std::uint8_t IMAGE_SYNC = 0x6A;
/// Size of the header; the payload follows.
constexpr std::size_t IMAGE_HEADER_SIZE = 96;
/// Image format version.
constexpr std::uint8_t IMAGE_VERSION = 1;
/// Largest configuration image: its size in bits must fit the 32-bit length field.
constexpr std::size_t IMAGE_MAX_SIZE = 0x1FFFFFFF;

/// The image of configData for family, its payload compressed when compress is set; the
/// failure IMAGE_TOO_LARGE when the image would not fit the length field.
Result<std::vector<std::uint8_t>> buildImage(const std::vector<std::uint8_t> &configData,
                                             const DeviceFamily &family, bool compress);

/// The header of an image whose payload (payloadSize bytes, a zlib stream when compressed)
/// follows it, for configuration data of dataSize bytes with CRC-32 dataCrc: a converter
/// streams the payload out behind it. The failure IMAGE_TOO_LARGE as for buildImage.
Result<std::vector<std::uint8_t>> buildImageHeader(std::size_t dataSize, std::uint32_t dataCrc,
                                                   std::size_t payloadSize, const DeviceFamily &family,
                                                   bool compressed);

/// What decodeImage finds in an image.
struct DecodedImage {
  std::vector<std::uint8_t> configData; ///< the unpacked configuration data
  bool compressed = false;              ///< the payload was a zlib stream
  std::uint8_t familyCode = 0;          ///< the code in the header
  std::size_t imageSize = 0;            ///< the image size stated by the header, in bytes
};

/// Reads an image back (bytes may run on past its end, as a padded .rpd does). The
/// reserved bytes 0-11 are not examined, since flash tools overwrite them.
Result<DecodedImage> decodeImage(std::string_view bytes);

} // namespace vantrel::suite
