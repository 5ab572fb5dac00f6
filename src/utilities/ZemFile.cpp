// File helpers of the utilities, built on the platform file layer.
#include "utilities/ZemFile.h"

#include "platform/file.h"
#include "utilities/IoError.h"
#include "utilities/UtilitiesMessages.h"

namespace vantrel::utilities {

namespace {

void writeWith(const std::string &path, const std::string &text, platform::OutputFile::Mode mode) {
  platform::OutputFile out;
  if (!out.open(path, mode)) throw IoError(CANNOT_OPEN_FOR_WRITING + path);
  out.write(text);
  // commit() closes (and flushes) also after a failed write, and reports any failure.
  if (!out.commit()) throw IoError(CANNOT_WRITE + path);
}

} // namespace

bool ZemFile::writeFile(const std::string &path, const std::string &text) {
  try {
    writeFileX(path, text);
    return true;
  } catch (const std::exception &) {
    return false;
  }
}

void ZemFile::writeFileX(const std::string &path, const std::string &text) {
  const std::optional<std::string> current = readFile(path);
  if (current && *current == text) return;
  writeWith(path, text, platform::OutputFile::Mode::Atomic);
}

bool ZemFile::appendFile(const std::string &path, const std::string &text) {
  try {
    appendFileX(path, text);
    return true;
  } catch (const std::exception &) {
    return false;
  }
}

void ZemFile::appendFileX(const std::string &path, const std::string &text) {
  writeWith(path, text, platform::OutputFile::Mode::Append);
}

std::optional<std::string> ZemFile::readFile(const std::string &path) {
  std::optional<std::vector<std::uint8_t>> bytes = platform::readWholeFile(path);
  if (!bytes) return std::nullopt;
  return std::string(bytes->begin(), bytes->end());
}

std::optional<std::vector<std::uint8_t>> ZemFile::readFileBytes(const std::string &path) {
  return platform::readWholeFile(path);
}

std::int64_t ZemFile::getModifiedDate(const std::string &path) {
  return platform::modifiedMillis(path);
}

} // namespace vantrel::utilities
