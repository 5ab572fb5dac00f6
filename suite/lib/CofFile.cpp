// Conversion description reader on top of the XML reader.
#include "CofFile.h"

#include "Messages.h"
#include "NumberText.h"
#include "PathText.h"
#include "XmlDocument.h"

namespace vantrel::suite {

namespace {

std::string trimmed(const std::string &s) {
  const auto b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return {};
  const auto e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

} // namespace

std::optional<std::uint64_t> parallelFlashCapacity(std::string_view name) {
  if (name.size() < 7 || name.substr(0, 4) != "CFI_") return std::nullopt;
  const std::string_view unit = name.substr(name.size() - 2);
  const std::string_view digits = name.substr(4, name.size() - 6);
  if (digits.empty() || digits.size() > 5 || digits[0] == '0') return std::nullopt;
  std::uint64_t n = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (unit == "MB") return n * (1u << 20) / 8;
  if (unit == "GB") return n * (1u << 30) / 8;
  return std::nullopt;
}

Result<CofDescription> parseCof(std::string_view text) {
  using R = Result<CofDescription>;
  auto xml = parseXml(text);
  if (!xml.ok()) return R::failure(msg::COF_MALFORMED + xml.error());
  const XmlElement &root = xml.value();
  if (root.name != "cof") return R::failure(msg::COF_NOT_COF);

  CofDescription cof;
  std::string failure;
  // The trimmed text of the element at path (names separated by '/'), or nothing.
  auto find = [&](std::string_view path) -> const XmlElement * {
    const XmlElement *e = &root;
    while (e && !path.empty()) {
      const std::size_t slash = path.find('/');
      e = e->child(path.substr(0, slash));
      path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
    }
    return e;
  };
  auto required = [&](const char *path, std::string &out) {
    const XmlElement *e = find(path);
    if (!e) {
      if (failure.empty()) failure = std::string(msg::COF_MISSING) + path;
      return false;
    }
    out = trimmed(e->text);
    return true;
  };
  auto number = [&](const char *path, const std::string &t) -> std::optional<std::uint32_t> {
    auto v = parseNumberText(t);
    if (!v && failure.empty()) failure = std::string(msg::COF_BAD_NUMBER) + path + ": " + t;
    return v;
  };

  std::string pages, width, mode;
  if (!required("eprom_name", cof.flashDevice) || !required("output_filename", cof.outputFile) ||
      !required("n_pages", pages) || !required("width", width) || !required("mode", mode) ||
      !required("sof_data/bit0/sof_filename", cof.sofFile)) {
    return R::failure(failure);
  }
  const auto capacity = parallelFlashCapacity(cof.flashDevice);
  if (!capacity) return R::failure(msg::COF_BAD_FLASH + cof.flashDevice);
  cof.flashCapacity = *capacity;
  if (!hasExtension(cof.outputFile, ".rbf") && !hasExtension(cof.outputFile, ".pof")) {
    return R::failure(msg::COF_BAD_OUTPUT + cof.outputFile);
  }
  const auto nPages = number("n_pages", pages);
  const auto nWidth = number("width", width);
  const auto nMode = number("mode", mode);
  if (!nPages || !nWidth || !nMode) return R::failure(failure);
  if (*nPages != 1) return R::failure(msg::COF_PAGES);
  if (*nWidth != 1) return R::failure(msg::COF_WIDTH);
  if (*nMode != 0 && *nMode != 6 && *nMode != 8) return R::failure(msg::COF_BAD_MODE + mode);
  cof.modeCode = *nMode;
  if (cof.sofFile.empty()) return R::failure(std::string(msg::COF_MISSING) + "sof_data/bit0/sof_filename");

  if (const XmlElement *e = find("sof_data/start_address")) {
    const auto v = number("sof_data/start_address", trimmed(e->text));
    if (!v) return R::failure(failure);
    cof.startAddress = *v;
  }
  if (const XmlElement *e = find("sof_data/user_name")) {
    cof.pageName = trimmed(e->text);
    // The memory map separates its fields by blanks, so the name must be one word.
    if (cof.pageName.empty() || cof.pageName.find_first_of(" \t\r\n") != std::string::npos) {
      return R::failure(msg::COF_BAD_PAGE_NAME + cof.pageName);
    }
  }
  if (const XmlElement *e = find("options/map_file")) {
    const auto v = number("options/map_file", trimmed(e->text));
    if (!v) return R::failure(failure);
    cof.memoryMap = *v != 0;
  }
  if (const XmlElement *e = find("options/option_start_address")) {
    const auto v = number("options/option_start_address", trimmed(e->text));
    if (!v) return R::failure(failure);
    cof.optionStart = *v;
  }
  return R::success(std::move(cof));
}

} // namespace vantrel::suite
