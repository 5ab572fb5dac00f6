// Programming object file writer and reader.
#include "PofFile.h"

#include <cstring>

#include "ByteOrder.h"
#include "Checksum.h"
#include "Messages.h"

namespace vantrel::suite {

namespace {
constexpr std::uint8_t SIGNATURE[8] = {'B', 'M', 'P', 'O', 'F', 0x1A, 0x0D, 0x0A};
constexpr std::uint32_t FLAG_COMPRESSED = 1;
constexpr std::uint32_t FLAG_SERIAL = 2;

void appendRecord(std::vector<std::uint8_t> &out, const char *tag, const std::uint8_t *data, std::size_t n) {
  out.insert(out.end(), tag, tag + 4);
  appendLe32(out, static_cast<std::uint32_t>(n));
  out.insert(out.end(), data, data + n);
}

void appendText(std::vector<std::uint8_t> &out, const char *tag, const std::string &text) {
  appendRecord(out, tag, reinterpret_cast<const std::uint8_t *>(text.data()), text.size());
}
} // namespace

std::vector<std::uint8_t> writePof(const PofContent &c) {
  std::vector<std::uint8_t> out(SIGNATURE, SIGNATURE + sizeof(SIGNATURE));
  appendText(out, "PART", c.partName);
  appendText(out, "TARG", c.target);
  std::vector<std::uint8_t> page;
  appendLe32(page, c.pageStart);
  appendLe32(page, c.optionStart);
  appendLe32(page, c.modeCode);
  appendLe32(page, (c.compressed ? FLAG_COMPRESSED : 0) | (c.serial ? FLAG_SERIAL : 0));
  appendRecord(out, "PAGE", page.data(), page.size());
  appendRecord(out, "IMAG", c.image.data(), c.image.size());
  if (c.optionStart != POF_NO_OPTION_BITS)
    appendRecord(out, "OPTB", c.optionBits.data(), c.optionBits.size());
  std::vector<std::uint8_t> crc;
  appendLe32(crc, crc32Of(out.data(), out.size()));
  appendRecord(out, "END ", crc.data(), crc.size());
  return out;
}

Result<PofContent> parsePof(std::string_view text) {
  using R = Result<PofContent>;
  const auto *p = reinterpret_cast<const std::uint8_t *>(text.data());
  const std::size_t n = text.size();
  if (n < sizeof(SIGNATURE) || std::memcmp(p, SIGNATURE, sizeof(SIGNATURE)) != 0) {
    return R::failure(msg::POF_NOT_POF);
  }
  PofContent c;
  bool havePart = false, haveTarget = false, havePage = false, haveImage = false, haveOptions = false;
  std::size_t pos = sizeof(SIGNATURE);
  while (true) {
    if (n - pos < 8) return R::failure(msg::POF_ENDS_EARLY);
    const std::string tag(reinterpret_cast<const char *>(p + pos), 4);
    const std::uint32_t length = loadLe32(p + pos + 4);
    if (n - pos - 8 < length) return R::failure(msg::POF_ENDS_EARLY);
    const std::uint8_t *payload = p + pos + 8;
    if (tag == "END ") {
      if (length != 4 || pos + 12 != n || loadLe32(payload) != crc32Of(p, pos)) {
        return R::failure(msg::POF_DAMAGED);
      }
      break;
    }
    if (tag == "PART") {
      c.partName.assign(reinterpret_cast<const char *>(payload), length);
      havePart = true;
    } else if (tag == "TARG") {
      c.target.assign(reinterpret_cast<const char *>(payload), length);
      haveTarget = true;
    } else if (tag == "PAGE" && length == 16) {
      c.pageStart = loadLe32(payload);
      c.optionStart = loadLe32(payload + 4);
      c.modeCode = loadLe32(payload + 8);
      const std::uint32_t flags = loadLe32(payload + 12);
      c.compressed = (flags & FLAG_COMPRESSED) != 0;
      c.serial = (flags & FLAG_SERIAL) != 0;
      havePage = true;
    } else if (tag == "IMAG") {
      c.image.assign(payload, payload + length);
      haveImage = true;
    } else if (tag == "OPTB") {
      c.optionBits.assign(payload, payload + length);
      haveOptions = true;
    }
    pos += 8 + length;
  }
  if (!havePart) return R::failure(std::string(msg::POF_MISSING) + "PART");
  if (!haveTarget) return R::failure(std::string(msg::POF_MISSING) + "TARG");
  if (!havePage) return R::failure(std::string(msg::POF_MISSING) + "PAGE");
  if (!haveImage) return R::failure(std::string(msg::POF_MISSING) + "IMAG");
  if (c.optionStart != POF_NO_OPTION_BITS && !haveOptions)
    return R::failure(std::string(msg::POF_MISSING) + "OPTB");
  return R::success(std::move(c));
}

} // namespace vantrel::suite
