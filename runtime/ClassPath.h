// The class search path: jars (read as ZIP archives) and folders, searched in order.
#pragma once

#include "ZipArchive.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::runtime {

/// Where a class was found and what its archive says about native code.
struct FoundClass {
  std::vector<std::uint8_t> bytes;
  std::string origin;        ///< the jar or folder that holds it
  std::string nativeLibrary; ///< the archive's Native-Library attribute, or empty
};

/// Class-path entries split at the platform's separator; empty entries are skipped.
class ClassPath {
public:
  explicit ClassPath(const std::string &text);

  /// Looks a class up by internal name ("a/b/C"). Nothing when no entry holds it; error is
  /// set when an entry that holds it could not be read (a damaged archive entry).
  std::optional<FoundClass> find(const std::string &internalName, std::string &error);

  /// Archives that exist but could not be opened, with the reason, in the order met.
  const std::vector<std::string> &problems() const { return problems_; }

  const std::vector<std::string> &entries() const { return entries_; }

private:
  const ZipArchive *archive(const std::string &path);
  std::vector<std::string> entries_;
  std::map<std::string, std::unique_ptr<ZipArchive>> archives_; // null: unreadable
  std::vector<std::string> problems_;
};

} // namespace vantrel::runtime
