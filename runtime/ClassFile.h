// Reader of the parts of a class file the runtime needs: its name, superclass and methods.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::runtime {

/// Method access flags used by the runtime.
inline constexpr std::uint16_t ACC_PUBLIC = 0x0001;
inline constexpr std::uint16_t ACC_STATIC = 0x0008;
inline constexpr std::uint16_t ACC_NATIVE = 0x0100;

/// One method declared by a class file.
struct MethodInfo {
  std::uint16_t accessFlags = 0;
  std::string name;       ///< e.g. "main"
  std::string descriptor; ///< e.g. "([Ljava/lang/String;)V"
};

/// What a class file declares, in internal ("/") names.
struct ClassFile {
  std::string name;
  std::string superName; ///< empty for java/lang/Object
  std::vector<MethodInfo> methods;

  /// Parses class-file bytes; nothing when they are truncated or malformed.
  static std::optional<ClassFile> parse(const std::vector<std::uint8_t> &bytes);
};

} // namespace vantrel::runtime
