// Fuzz target: the stand-in converter's SOF reader. What it accepts must write back to a
// file it reads the same, and the driver's family detection must find the same part name
// in it.
//
// Input format: the SOF file's bytes.
#include "FuzzCheck.h"
#include "SofFile.h"
#include "bitmorph/SofReader.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace {

using fuzzing::check;
using vantrel::suite::parseSof;
using vantrel::suite::SofDesign;
using vantrel::suite::writeSof;

/// The part name as the driver shows it: bytes outside ASCII as '?'.
std::string shown(const std::string &name) {
  std::string out;
  for (char c : name)
    out += static_cast<unsigned char>(c) < 0x80 ? c : '?';
  return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const auto parsed = parseSof(std::string_view(reinterpret_cast<const char *>(data), size));
  if (!parsed.ok()) {
    check(!parsed.error().empty(), "a refusal has a message");
    return 0;
  }
  const SofDesign &design = parsed.value();
  check(!design.partName.empty() && !design.configData.empty(), "accepted design has a name and data");

  const auto detected = vantrel::bitmorph::detectSofFamily(data, size);
  check(detected.family != nullptr, "the driver reads a SOF the converter accepts");
  check(detected.partName == shown(design.partName), "both readers find the same part name");

  const auto bytes = writeSof(design);
  const auto again = parseSof(std::string_view(reinterpret_cast<const char *>(bytes.data()), bytes.size()));
  check(again.ok(), "written SOF reads back");
  const SofDesign &d = again.value();
  check(d.partName == design.partName && d.configData == design.configData &&
            d.bigEndian == design.bigEndian && d.creator == design.creator,
        "written SOF holds the same design");
  return 0;
}
