// Building and decoding configuration images.
#include "ConfigImage.h"

#include "ByteOrder.h"
#include "Checksum.h"
#include "Compression.h"
#include "Messages.h"
#include "SerialHeader.h"

namespace vantrel::suite {

namespace {
constexpr std::size_t VERSION_AT = 44;
constexpr std::size_t FLAGS_AT = 45;
constexpr std::size_t DATA_SIZE_AT = 76;
constexpr std::size_t DATA_CRC_AT = 80;
constexpr std::size_t PAYLOAD_SIZE_AT = 84;
constexpr std::uint8_t FLAG_COMPRESSED = 0x01;
} // namespace

Result<std::vector<std::uint8_t>> buildImageHeader(std::size_t dataSize, std::uint32_t dataCrc,
                                                   std::size_t payloadSize, const DeviceFamily &family,
                                                   bool compressed) {
  using R = Result<std::vector<std::uint8_t>>;
  if (dataSize > IMAGE_MAX_SIZE || payloadSize > IMAGE_MAX_SIZE - IMAGE_HEADER_SIZE) {
    return R::failure(msg::IMAGE_TOO_LARGE);
  }
  std::vector<std::uint8_t> image(IMAGE_HEADER_SIZE, 0x00);
  for (std::size_t i = 0; i < IMAGE_SYNC_AT; ++i)
    image[i] = 0xFF;
  image[IMAGE_SYNC_AT] = IMAGE_SYNC;
  image[VERSION_AT] = IMAGE_VERSION;
  image[FLAGS_AT] = compressed ? FLAG_COMPRESSED : 0;
  storeLe32(&image[DATA_SIZE_AT], static_cast<std::uint32_t>(dataSize));
  storeLe32(&image[DATA_CRC_AT], dataCrc);
  storeLe32(&image[PAYLOAD_SIZE_AT], static_cast<std::uint32_t>(payloadSize));
  const std::size_t total = IMAGE_HEADER_SIZE + payloadSize;
  writeFamilyCode(image.data(), family.familyCode);
  writeBitCount(image.data(), family.layout, IMAGE_SYNC_AT, static_cast<std::uint32_t>(total * 8));
  return R::success(std::move(image));
}

Result<std::vector<std::uint8_t>> buildImage(const std::vector<std::uint8_t> &configData,
                                             const DeviceFamily &family, bool compress) {
  const std::vector<std::uint8_t> packed =
      compress ? compressBytes(configData.data(), configData.size()) : std::vector<std::uint8_t>();
  const std::vector<std::uint8_t> &payload = compress ? packed : configData;
  auto image = buildImageHeader(configData.size(), crc32Of(configData.data(), configData.size()),
                                payload.size(), family, compress);
  if (image.ok()) image.value().insert(image.value().end(), payload.begin(), payload.end());
  return image;
}

Result<DecodedImage> decodeImage(std::string_view text) {
  using R = Result<DecodedImage>;
  const auto *bytes = reinterpret_cast<const std::uint8_t *>(text.data());
  const std::size_t n = text.size();
  if (n <= IMAGE_SYNC_AT) return R::failure(msg::IMAGE_NO_SYNC);
  for (std::size_t i = IMAGE_RESERVED; i < IMAGE_SYNC_AT; ++i) {
    if (bytes[i] != 0xFF) return R::failure(msg::IMAGE_NO_SYNC);
  }
  if (bytes[IMAGE_SYNC_AT] != IMAGE_SYNC) return R::failure(msg::IMAGE_NO_SYNC);
  if (n < IMAGE_HEADER_SIZE) return R::failure(msg::IMAGE_TRUNCATED);
  if (bytes[VERSION_AT] != IMAGE_VERSION) return R::failure(msg::IMAGE_BAD_VERSION);
  DecodedImage image;
  image.compressed = (bytes[FLAGS_AT] & FLAG_COMPRESSED) != 0;
  image.familyCode = readFamilyCode(bytes);
  const std::size_t dataSize = loadLe32(bytes + DATA_SIZE_AT);
  const std::uint32_t dataCrc = loadLe32(bytes + DATA_CRC_AT);
  const std::size_t payloadSize = loadLe32(bytes + PAYLOAD_SIZE_AT);
  const std::uint32_t bits = *readBitCount(bytes, n, IMAGE_SYNC_AT);
  image.imageSize = (static_cast<std::size_t>(bits) + 7) / 8;
  if (image.imageSize != IMAGE_HEADER_SIZE + payloadSize) return R::failure(msg::IMAGE_BAD_LENGTH);
  if (n < image.imageSize) return R::failure(msg::IMAGE_TRUNCATED);
  const std::uint8_t *payload = bytes + IMAGE_HEADER_SIZE;
  if (image.compressed) {
    // deflate cannot expand data by more than about 1032 to 1; a header that claims more
    // is damaged, and refusing it early avoids a huge allocation.
    if (dataSize / 1032 > payloadSize + 1) return R::failure(msg::IMAGE_BAD_LENGTH);
    auto data = decompressBytes(payload, payloadSize, dataSize);
    if (!data) return R::failure(msg::IMAGE_BAD_PAYLOAD);
    image.configData = std::move(*data);
  } else {
    if (payloadSize != dataSize) return R::failure(msg::IMAGE_BAD_LENGTH);
    image.configData.assign(payload, payload + payloadSize);
  }
  if (crc32Of(image.configData.data(), image.configData.size()) != dataCrc) {
    return R::failure(msg::IMAGE_BAD_CHECKSUM);
  }
  return R::success(std::move(image));
}

} // namespace vantrel::suite
