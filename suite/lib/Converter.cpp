// The conversions behind the converter's call forms.
#include "Converter.h"

#include "Checksum.h"
#include "CofFile.h"
#include "Compression.h"
#include "ConfigImage.h"
#include "DeviceFamily.h"
#include "FileIo.h"
#include "FlashLayout.h"
#include "HexFile.h"
#include "MemoryMap.h"
#include "Messages.h"
#include "NumberText.h"
#include "PathText.h"
#include "PofFile.h"
#include "SofFile.h"
#include "platform/path.h"

namespace vantrel::suite {

namespace {

struct LoadedSof {
  SofDesign design;
  const DeviceFamily *family;
};

/// A SOF whose configuration data stay in the file's bytes (held by file).
struct ViewedSof {
  InputBytes file;
  SofView design;
  const DeviceFamily *family;
};

Result<ViewedSof> viewSof(const std::string &path, std::ostream &progress) {
  using R = Result<ViewedSof>;
  auto file = readInputBytes(path);
  if (!file.ok()) return R::failure(file.error());
  auto parsed = parseSofView(file.value().bytes);
  if (!parsed.ok()) return R::failure(path + ": " + parsed.error());
  const DeviceFamily *family = findFamily(parsed.value().partName);
  if (!family) return R::failure(path + ": " + msg::UNKNOWN_PART + parsed.value().partName);
  progress << "Reading " << path << ": part " << parsed.value().partName << ", "
           << parsed.value().configData.size() << " bytes of configuration data\n";
  return R::success({std::move(file.value()), std::move(parsed.value()), family});
}

Result<LoadedSof> loadSof(const std::string &path, std::ostream &progress) {
  using R = Result<LoadedSof>;
  const auto viewed = viewSof(path, progress);
  if (!viewed.ok()) return R::failure(viewed.error());
  return R::success({designOf(viewed.value().design), viewed.value().family});
}

Result<PofContent> loadPof(const std::string &path) {
  using R = Result<PofContent>;
  auto bytes = readInputFile(path);
  if (!bytes.ok()) return R::failure(bytes.error());
  auto parsed = parsePof(bytes.value());
  if (!parsed.ok()) return R::failure(path + ": " + parsed.error());
  return parsed;
}

std::string sizeText(std::size_t n, bool compressed) {
  return std::to_string(n) + " bytes" + (compressed ? ", compressed" : "");
}

std::string rangeText(std::uint64_t first, std::uint64_t size) {
  return hex8(static_cast<std::uint32_t>(first)) + "-" + hex8(static_cast<std::uint32_t>(first + size - 1));
}

/// Fails unless [first, first + size) lies inside a device of capacity bytes.
Status checkFits(const std::string &what, std::uint64_t first, std::uint64_t size, const std::string &device,
                 std::uint64_t capacity) {
  const std::uint64_t limit = capacity < 0x100000000ull ? capacity : 0x100000000ull;
  if (first + size > limit) {
    return Status::failure(what + " (" + std::to_string(size) + " bytes at " +
                           hex8(static_cast<std::uint32_t>(first)) + ") " + msg::DOES_NOT_FIT + device +
                           " (" + std::to_string(capacity) + " bytes)");
  }
  return Status::success();
}

std::string mapTitle(const std::string &device) {
  return "Memory map for " + device;
}

} // namespace

std::string mapFileFor(const std::string &output) {
  // Only a dot in the last component starts an extension ("out.v2/top" has none).
  const std::size_t dot = output.rfind('.');
  if (dot == std::string::npos || dot < platform::lastComponentStart(output)) return output + ".map";
  return output.substr(0, dot) + ".map";
}

Status convertSofToRaw(const std::string &sof, const std::string &rbf, const ConverterOptions &options,
                       std::ostream &progress, OutputList &outputs) {
  outputs.push_back(rbf);
  const std::string map = mapFileFor(rbf);
  if (options.memoryMap) outputs.push_back(map);
  const auto in = viewSof(sof, progress);
  if (!in.ok()) return Status::failure(in.error());
  const SofView &design = in.value().design;
  // The image streams out of the SOF's own bytes behind its header: the configuration data
  // are never copied, only their zlib stream is made when asked for.
  std::vector<std::uint8_t> packed;
  std::string_view payload = design.configData;
  if (options.compression) {
    packed = compressBytes(reinterpret_cast<const std::uint8_t *>(payload.data()), payload.size());
    payload = std::string_view(reinterpret_cast<const char *>(packed.data()), packed.size());
  }
  auto header = buildImageHeader(design.configData.size(), design.configCrc, payload.size(),
                                 *in.value().family, options.compression);
  if (!header.ok()) return Status::failure(header.error());
  const std::size_t imageSize = header.value().size() + payload.size();
  OutputSet out;
  progress << "Writing " << rbf << ": " << sizeText(imageSize, options.compression) << "\n";
  out.addBinary(rbf, std::move(header.value()), payload);
  if (options.memoryMap) {
    out.addText(map, writeMemoryMap(mapTitle("raw image"),
                                    {{"Page_0", 0, static_cast<std::uint32_t>(imageSize - 1)}}));
    progress << "Writing " << map << "\n";
  }
  return out.commit();
}

Status convertSofToSerialPof(const std::string &sof, const std::string &pof, const std::string &device,
                             const ConverterOptions &options, std::ostream &progress, OutputList &outputs) {
  outputs.push_back(pof);
  const std::string map = mapFileFor(pof);
  if (options.memoryMap) outputs.push_back(map);
  const auto in = loadSof(sof, progress);
  if (!in.ok()) return Status::failure(in.error());
  const SofDesign &design = in.value().design;
  if (!in.value().family->serialAllowed)
    return Status::failure(sof + ": " + msg::SERIAL_REFUSED + design.partName);
  auto image = buildImage(design.configData, *in.value().family, options.compression);
  if (!image.ok()) return Status::failure(image.error());
  PofContent content;
  content.partName = design.partName;
  content.target = device;
  content.compressed = options.compression;
  content.serial = true;
  content.image = std::move(image.value());
  const Status fits = checkFits("the design", 0, content.image.size(), device, *serialDeviceCapacity(device));
  if (!fits.ok()) return fits;
  OutputSet out;
  progress << "Writing " << pof << ": " << device << " image of "
           << sizeText(content.image.size(), content.compressed) << "\n";
  if (options.memoryMap) {
    out.addText(map, writeMemoryMap(mapTitle(device),
                                    {{"Page_0", 0, static_cast<std::uint32_t>(content.image.size() - 1)}}));
    progress << "Writing " << map << "\n";
  }
  out.addBinary(pof, writePof(content));
  return out.commit();
}

Status convertPofToRpd(const std::string &pof, const std::string &rpd, std::ostream &progress,
                       OutputList &outputs) {
  outputs.push_back(rpd);
  const auto loaded = loadPof(pof);
  if (!loaded.ok()) return Status::failure(loaded.error());
  const PofContent &content = loaded.value();
  if (!content.serial) return Status::failure(pof + ": " + msg::POF_NOT_SERIAL);
  const auto capacity = serialDeviceCapacity(content.target);
  if (!capacity) return Status::failure(pof + ": " + msg::UNKNOWN_DEVICE + content.target);
  std::vector<std::uint8_t> data = content.image;
  // Whole sectors: the serial flash is erased and written sector by sector.
  const std::size_t padded = (data.size() + SERIAL_SECTOR - 1) / SERIAL_SECTOR * SERIAL_SECTOR;
  data.resize(padded, 0xFF);
  const Status fits = checkFits("the design", 0, data.size(), content.target, *capacity);
  if (!fits.ok()) return fits;
  progress << "Writing " << rpd << ": " << content.target << " data, " << data.size() << " bytes\n";
  OutputSet out;
  out.addBinary(rpd, std::move(data));
  return out.commit();
}

Status convertCof(const std::string &cofPath, const ConverterOptions &options, std::ostream &progress,
                  OutputList &outputs) {
  const auto text = readInputFile(cofPath);
  if (!text.ok()) return Status::failure(text.error());
  auto parsed = parseCof(text.value());
  if (!parsed.ok()) return Status::failure(cofPath + ": " + parsed.error());
  const CofDescription &cof = parsed.value();
  const bool wantMap = cof.memoryMap || options.memoryMap;
  const std::string map = mapFileFor(cof.outputFile);
  outputs.push_back(cof.outputFile);
  if (wantMap) outputs.push_back(map);
  progress << "Reading " << cofPath << "\n";
  const auto in = loadSof(cof.sofFile, progress);
  if (!in.ok()) return Status::failure(in.error());
  auto built = buildImage(in.value().design.configData, *in.value().family, options.compression);
  if (!built.ok()) return Status::failure(built.error());
  std::vector<std::uint8_t> &image = built.value();
  Status fits = checkFits("the design", cof.startAddress, image.size(), cof.flashDevice, cof.flashCapacity);
  if (!fits.ok()) return fits;
  const std::uint32_t pageLast = cof.startAddress + static_cast<std::uint32_t>(image.size() - 1);
  std::vector<MapRange> ranges = {{cof.pageName, cof.startAddress, pageLast}};
  OutputSet out;
  if (hasExtension(cof.outputFile, ".pof")) {
    PofContent content;
    content.partName = in.value().design.partName;
    content.target = cof.flashDevice;
    content.pageStart = cof.startAddress;
    content.modeCode = cof.modeCode;
    content.compressed = options.compression;
    if (cof.optionStart) {
      const std::uint32_t opt = *cof.optionStart;
      fits = checkFits("the option bits", opt, OPTION_BITS_SIZE, cof.flashDevice, cof.flashCapacity);
      if (!fits.ok()) return fits;
      if (opt <= pageLast && opt + OPTION_BITS_SIZE > cof.startAddress) {
        return Status::failure(cofPath + ": " + msg::OPTION_BITS_OVERLAP + rangeText(opt, OPTION_BITS_SIZE) +
                               " and " + rangeText(cof.startAddress, image.size()));
      }
      content.optionStart = opt;
      content.optionBits = buildOptionBits(cof.startAddress, pageLast, crc32Of(image.data(), image.size()),
                                           cof.modeCode, options.compression);
      ranges.push_back({MAP_OPTION_BITS, opt, opt + static_cast<std::uint32_t>(OPTION_BITS_SIZE - 1)});
    }
    progress << "Writing " << cof.outputFile << ": image of " << sizeText(image.size(), options.compression)
             << " at " << hex8(cof.startAddress) << "\n";
    content.image = std::move(image);
    out.addBinary(cof.outputFile, writePof(content));
  } else {
    progress << "Writing " << cof.outputFile << ": " << sizeText(image.size(), options.compression) << "\n";
    out.addBinary(cof.outputFile, std::move(image));
  }
  if (wantMap) {
    out.addText(map, writeMemoryMap(mapTitle(cof.flashDevice), ranges));
    progress << "Writing " << map << "\n";
  }
  return out.commit();
}

Status convertPofToHex(const std::string &pofPath, const std::string &hex, std::ostream &progress,
                       OutputList &outputs) {
  outputs.push_back(hex);
  const auto loaded = loadPof(pofPath);
  if (!loaded.ok()) return Status::failure(loaded.error());
  const PofContent &content = loaded.value();
  std::vector<Segment> segments;
  if (static_cast<std::uint64_t>(content.pageStart) + content.image.size() > 0x100000000ull) {
    return Status::failure(pofPath + ": " + msg::HEX_PAST_END);
  }
  segments.push_back({content.pageStart, content.image});
  if (content.optionStart != POF_NO_OPTION_BITS) {
    const Segment options{content.optionStart, content.optionBits};
    if (static_cast<std::uint64_t>(options.address) + options.bytes.size() > 0x100000000ull) {
      return Status::failure(pofPath + ": " + msg::HEX_PAST_END);
    }
    const std::uint64_t pageEnd = content.pageStart + static_cast<std::uint64_t>(content.image.size());
    if (options.address < pageEnd && options.address + options.bytes.size() > content.pageStart) {
      return Status::failure(pofPath + ": " + msg::OPTION_BITS_OVERLAP +
                             rangeText(options.address, options.bytes.size()) + " and " +
                             rangeText(content.pageStart, content.image.size()));
    }
    if (options.address < content.pageStart)
      segments.insert(segments.begin(), options);
    else
      segments.push_back(options);
  }
  progress << "Writing " << hex << ": hex records of " << content.image.size() << " image bytes at "
           << hex8(content.pageStart);
  if (content.optionStart != POF_NO_OPTION_BITS)
    progress << " and option bits at " << hex8(content.optionStart);
  progress << "\n";
  OutputSet out;
  out.addText(hex, writeHexFile(segments));
  return out.commit();
}

} // namespace vantrel::suite
