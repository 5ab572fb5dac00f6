// SOF writer and in-memory reader.
#include "SofFile.h"

#include "ByteOrder.h"
#include "Checksum.h"
#include "DeviceFamily.h"
#include "Messages.h"

namespace vantrel::suite {

namespace {

void appendU16(std::vector<std::uint8_t> &out, std::uint16_t v, bool big) {
  big ? appendBe16(out, v) : appendLe16(out, v);
}
void appendU32(std::vector<std::uint8_t> &out, std::uint32_t v, bool big) {
  big ? appendBe32(out, v) : appendLe32(out, v);
}

void appendRecord(std::vector<std::uint8_t> &out, std::uint16_t type,
                  const std::vector<std::uint8_t> &payload, bool big) {
  appendU16(out, type, big);
  appendU32(out, static_cast<std::uint32_t>(payload.size()), big);
  out.insert(out.end(), payload.begin(), payload.end());
}

/// Cursor over the file that reads fields in its byte order.
class Cursor {
public:
  explicit Cursor(std::string_view bytes)
      : p_(reinterpret_cast<const std::uint8_t *>(bytes.data())), n_(bytes.size()) {}
  bool has(std::size_t k) const { return n_ - pos_ >= k; }
  std::uint16_t u16(bool big) {
    const std::uint16_t v = big ? loadBe16(p_ + pos_) : loadLe16(p_ + pos_);
    pos_ += 2;
    return v;
  }
  std::uint32_t u32(bool big) {
    const std::uint32_t v = big ? loadBe32(p_ + pos_) : loadLe32(p_ + pos_);
    pos_ += 4;
    return v;
  }
  const std::uint8_t *take(std::size_t k) {
    const std::uint8_t *at = p_ + pos_;
    pos_ += k;
    return at;
  }
  bool atEnd() const { return pos_ == n_; }

private:
  const std::uint8_t *p_;
  std::size_t n_;
  std::size_t pos_ = 0;
};

} // namespace

std::vector<std::uint8_t> writeSof(const SofDesign &design) {
  const bool big = design.bigEndian;
  std::vector<std::uint8_t> out = {'S', 'O', 'F', 0};
  // The byte-order word itself is always most significant byte first.
  appendBe16(out, big ? 1 : 0);
  appendU16(out, 1, big);
  appendU32(out, design.creator.empty() ? 2 : 3, big);
  if (!design.creator.empty()) {
    appendRecord(out, SOF_RECORD_CREATOR, {design.creator.begin(), design.creator.end()}, big);
  }
  appendRecord(out, SOF_RECORD_PART_NAME, {design.partName.begin(), design.partName.end()}, big);
  std::vector<std::uint8_t> config;
  config.reserve(design.configData.size() + 4);
  appendU32(config, crc32Of(design.configData.data(), design.configData.size()), big);
  config.insert(config.end(), design.configData.begin(), design.configData.end());
  appendRecord(out, SOF_RECORD_CONFIG_DATA, config, big);
  return out;
}

Result<SofView> parseSofView(std::string_view bytes) {
  using R = Result<SofView>;
  Cursor in(bytes);
  if (!in.has(4) || trimControl(bytes.substr(0, 4)) != "SOF") return R::failure(msg::SOF_NO_SIGNATURE);
  in.take(4);
  if (!in.has(2 + 2 + 4)) return R::failure(msg::SOF_ENDS_EARLY);
  SofView design;
  design.bigEndian = in.u16(true) != 0;
  const bool big = design.bigEndian;
  in.u16(big); // format version: not needed to read the records
  in.u32(big); // record count: the records are read up to the end of the file instead
  bool havePart = false;
  bool haveConfig = false;
  while (!in.atEnd()) {
    if (!in.has(6)) return R::failure(msg::SOF_ENDS_EARLY);
    const std::uint16_t type = in.u16(big);
    const std::uint32_t length = in.u32(big);
    if (length >= 0x80000000u) return R::failure(msg::SOF_BAD_LENGTH);
    if (!in.has(length)) return R::failure(msg::SOF_ENDS_EARLY);
    const std::uint8_t *payload = in.take(length);
    if (type == SOF_RECORD_PART_NAME && !havePart) {
      design.partName = trimControl({reinterpret_cast<const char *>(payload), length});
      havePart = true;
    } else if (type == SOF_RECORD_CREATOR && design.creator.empty()) {
      design.creator.assign(reinterpret_cast<const char *>(payload), length);
    } else if (type == SOF_RECORD_CONFIG_DATA && !haveConfig) {
      if (length < 4) return R::failure(msg::SOF_BAD_LENGTH);
      design.configCrc = big ? loadBe32(payload) : loadLe32(payload);
      design.configData = std::string_view(reinterpret_cast<const char *>(payload + 4), length - 4);
      const auto *data = reinterpret_cast<const std::uint8_t *>(design.configData.data());
      if (crc32Of(data, design.configData.size()) != design.configCrc)
        return R::failure(msg::SOF_BAD_CHECKSUM);
      haveConfig = true;
    }
  }
  if (!havePart || design.partName.empty()) return R::failure(msg::SOF_NO_PART_NAME);
  if (!haveConfig || design.configData.empty()) return R::failure(msg::SOF_NO_CONFIG_DATA);
  return R::success(std::move(design));
}

SofDesign designOf(const SofView &view) {
  SofDesign design;
  design.partName = view.partName;
  design.configData.assign(view.configData.begin(), view.configData.end());
  design.bigEndian = view.bigEndian;
  design.creator = view.creator;
  return design;
}

Result<SofDesign> parseSof(std::string_view bytes) {
  const auto view = parseSofView(bytes);
  if (!view.ok()) return Result<SofDesign>::failure(view.error());
  return Result<SofDesign>::success(designOf(view.value()));
}

} // namespace vantrel::suite
