// File reading and the all-or-nothing output set, on the standard library only.
#include "FileIo.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "Messages.h"
#include "SuiteError.h"

namespace vantrel::suite {

namespace fs = std::filesystem;

std::optional<std::string> readFileBytes(const std::string &path) {
  std::error_code ec;
  if (fs::is_directory(fs::path(path), ec)) return std::nullopt;
  std::ifstream in(fs::path(path), std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

void removeQuietly(const std::string &path) {
  std::error_code ec;
  fs::remove(fs::path(path), ec);
}

void OutputSet::addBinary(const std::string &path, std::vector<std::uint8_t> bytes) {
  entries_.push_back(Entry{path, std::string(bytes.begin(), bytes.end()), false});
}

void OutputSet::addText(const std::string &path, std::string text) {
  entries_.push_back(Entry{path, std::move(text), true});
}

namespace {
std::string temporaryName(const std::string &path) {
  return path + ".partial~";
}

bool writeOne(const std::string &path, const std::string &bytes, bool text) {
  // Text mode turns "\n" into the platform's line separator (CR LF on Windows).
  std::ofstream out(fs::path(path), text ? std::ios::out | std::ios::trunc
                                         : std::ios::out | std::ios::trunc | std::ios::binary);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return !out.fail();
}

bool renameOver(const std::string &from, const std::string &to) {
  std::error_code ec;
  fs::rename(fs::path(from), fs::path(to), ec);
  if (!ec) return true;
  // Some file systems refuse to rename over an existing file: remove it and try again.
  if (fs::is_directory(fs::path(to), ec)) return false;
  fs::remove(fs::path(to), ec);
  fs::rename(fs::path(from), fs::path(to), ec);
  return !ec;
}
} // namespace

void OutputSet::commit() {
  std::size_t written = 0;
  for (; written < entries_.size(); ++written) {
    const Entry &e = entries_[written];
    if (!writeOne(temporaryName(e.path), e.bytes, e.text)) break;
  }
  std::size_t renamed = 0;
  if (written == entries_.size()) {
    for (; renamed < entries_.size(); ++renamed) {
      if (!renameOver(temporaryName(entries_[renamed].path), entries_[renamed].path)) break;
    }
    if (renamed == entries_.size()) return;
  }
  const std::string failed = entries_[written < entries_.size() ? written : renamed].path;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    removeQuietly(temporaryName(entries_[i].path));
    if (i < renamed) removeQuietly(entries_[i].path);
  }
  throw SuiteError(msg::CANNOT_WRITE + failed);
}

} // namespace vantrel::suite
