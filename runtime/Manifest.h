// Reader of a jar manifest's main section (META-INF/MANIFEST.MF).
#pragma once

#include <map>
#include <string>

namespace vantrel::runtime {

/// Entry name of the manifest inside a jar.
inline constexpr const char *MANIFEST_ENTRY = "META-INF/MANIFEST.MF";
/// Main attribute naming the native library that the archive's main class loads from the
/// archive's own folder (a base name such as "bitmorphjni", mapped to the platform's file name).
inline constexpr const char *NATIVE_LIBRARY_ATTRIBUTE = "Native-Library";

/// Attributes of the main section, by name (names compare exactly as written).
/// Continuation lines (starting with one space) are joined; the section ends at the first
/// empty line.
std::map<std::string, std::string> parseManifest(const std::string &text);

} // namespace vantrel::runtime
