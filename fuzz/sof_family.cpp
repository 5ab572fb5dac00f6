// Fuzz target: device-family detection on arbitrary SOF bytes, in memory and from a file,
// checked against the detection rules restated plainly.
//
// Input format: the SOF file's bytes.
#include "FuzzCheck.h"
#include "ScratchFile.h"
#include "bitmorph/SofReader.h"
#include "bitmorph/deviceFamily.h"
#include "platform/file.h"

#include <cstdint>
#include <optional>
#include <string>

namespace {

using fuzzing::check;
using vantrel::bitmorph::deviceFamily;
using vantrel::bitmorph::SofDetection;

/// The trimmed text: characters at or below the blank removed from both ends; bytes
/// outside ASCII shown as '?'.
std::string trimmed(const std::uint8_t *p, std::size_t n) {
  std::size_t b = 0, e = n;
  while (b < e && p[b] <= 0x20)
    ++b;
  while (e > b && p[e - 1] <= 0x20)
    --e;
  std::string s;
  for (std::size_t i = b; i < e; ++i)
    s += p[i] < 0x80 ? static_cast<char>(p[i]) : '?';
  return s;
}

/// Signature, byte-order word, two ignored fields, then records until the first of type 2,
/// whose bytes are the part name. Nothing when the bytes are not a complete SOF.
std::optional<std::string> referencePartName(const std::uint8_t *d, std::size_t n) {
  if (n < 4 || trimmed(d, 4) != "SOF") return std::nullopt;
  std::size_t pos = 4;
  if (n - pos < 2) return std::nullopt;
  const bool little = d[pos] == 0 && d[pos + 1] == 0;
  pos += 2;
  auto u16 = [&](std::size_t at) {
    return little ? static_cast<unsigned>(d[at] | (d[at + 1] << 8))
                  : static_cast<unsigned>((d[at] << 8) | d[at + 1]);
  };
  auto i32 = [&](std::size_t at) {
    const std::uint32_t v = little ? (std::uint32_t{d[at]} | std::uint32_t{d[at + 1]} << 8 |
                                      std::uint32_t{d[at + 2]} << 16 | std::uint32_t{d[at + 3]} << 24)
                                   : (std::uint32_t{d[at]} << 24 | std::uint32_t{d[at + 1]} << 16 |
                                      std::uint32_t{d[at + 2]} << 8 | std::uint32_t{d[at + 3]});
    return static_cast<std::int32_t>(v);
  };
  if (n - pos < 6) return std::nullopt;
  pos += 6;
  for (;;) {
    if (n - pos < 6) return std::nullopt;
    const unsigned type = u16(pos);
    const std::int32_t length = i32(pos + 2);
    pos += 6;
    if (type == 2) {
      if (length < 0 || static_cast<std::uint64_t>(length) > n - pos) return std::nullopt;
      return trimmed(d + pos, static_cast<std::size_t>(length));
    }
    if (length > 0) pos += std::min<std::size_t>(static_cast<std::size_t>(length), n - pos);
  }
}

/// The first family, in table order, whose prefix starts the name (the last one compared
/// with the name in upper case).
const deviceFamily *referenceFamily(const std::string &name) {
  for (const deviceFamily *f : deviceFamily::values()) {
    if (f == &deviceFamily::INVALID) continue;
    std::string subject = name;
    if (f == &deviceFamily::MIRREN_10)
      for (char &c : subject)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (subject.compare(0, f->toString().size(), f->toString()) == 0) return f;
  }
  return &deviceFamily::INVALID;
}

void compare(const SofDetection &got, const std::optional<std::string> &name, const char *where) {
  check(got.opened, where);
  if (!name) {
    check(got.family == nullptr, where);
    return;
  }
  check(got.family != nullptr, where);
  check(got.partName == *name, where);
  check(got.family == referenceFamily(*name), where);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::optional<std::string> name = referencePartName(data, size);
  compare(vantrel::bitmorph::detectSofFamily(data, size), name, "in memory");

  // The file reader walks the same bytes through the file layer.
  const std::string path = fuzzing::scratchPath("input.sof");
  check(vantrel::platform::writeWholeFile(path, data, size), "scratch file written");
  compare(vantrel::bitmorph::detectSofFamilyInFile(path), name, "from a file");
  vantrel::platform::removeFile(path);
  return 0;
}
