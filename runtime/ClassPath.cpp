// The class search path: jars (read as ZIP archives) and folders, searched in order.
#include "ClassPath.h"

#include "Manifest.h"
#include "RuntimeMessages.h"
#include "RuntimePlatform.h"

#include "platform/file.h"
#include "platform/path.h"

#include <cstdio>

namespace vantrel::runtime {

namespace {

/// True when a file or a folder (as wanted) is at path. Files go through the platform
/// layer: any name, of any length, that the OS allows.
bool isEntry(const std::string &path, bool folder) {
  const auto status = platform::statFile(path);
  return status && status->isDirectory == folder;
}

} // namespace

ClassPath::ClassPath(const std::string &text) {
  std::string entry;
  for (char c : text + os::classPathSeparator()) {
    if (c == os::classPathSeparator()) {
      if (!entry.empty()) entries_.push_back(entry);
      entry.clear();
    } else {
      entry += c;
    }
  }
}

const ZipArchive *ClassPath::archive(const std::string &path) {
  auto it = archives_.find(path);
  if (it != archives_.end()) return it->second.get();
  std::string error;
  std::unique_ptr<ZipArchive> zip;
  // A missing entry is skipped silently, as class paths routinely name optional jars; an
  // existing file that is not a readable archive is remembered so it can be reported.
  if (isEntry(path, false)) {
    zip = ZipArchive::open(path, error);
    if (!zip) {
      char line[1024];
      std::snprintf(line, sizeof line, messages::BAD_ARCHIVE, path.c_str(), error.c_str());
      problems_.push_back(line);
    }
  }
  return (archives_[path] = std::move(zip)).get();
}

std::optional<FoundClass> ClassPath::find(const std::string &internalName, std::string &error) {
  error.clear();
  const std::string entryName = internalName + ".class";
  for (const std::string &entry : entries_) {
    if (isEntry(entry, true)) {
      const bool separated = platform::isPathSeparator(entry.back());
      auto bytes = platform::readWholeFile(entry + (separated ? "" : "/") + entryName);
      if (!bytes) continue;
      FoundClass found;
      found.bytes = std::move(*bytes);
      found.origin = entry;
      return found;
    }
    const ZipArchive *zip = archive(entry);
    if (!zip || !zip->contains(entryName)) continue;
    auto bytes = zip->read(entryName, error);
    if (!bytes) return std::nullopt;
    FoundClass found;
    found.bytes = std::move(*bytes);
    found.origin = entry;
    std::string manifestError;
    if (auto manifest = zip->read(MANIFEST_ENTRY, manifestError)) {
      auto attributes = parseManifest(std::string(manifest->begin(), manifest->end()));
      found.nativeLibrary = attributes[NATIVE_LIBRARY_ATTRIBUTE];
    }
    return found;
  }
  return std::nullopt;
}

} // namespace vantrel::runtime
