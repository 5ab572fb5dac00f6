// The form of a path that every Java runtime reads back as the same file: a runtime may read
// the launcher's text as wide text, as UTF-8 or in the ANSI code page, and the launcher
// cannot tell which. runtimePath_posix.cpp and runtimePath_win32.cpp define it.
#pragma once

#include <optional>
#include <string>

namespace vantrel::launcher::platform {

/// How a path reaches the Java runtime.
enum class RuntimeText {
  /// Wide text: the command line of the child start, and the file name of the runtime's
  /// program or VM library, which a runtime asks the system for to find its own files.
  /// Some runtimes read it as wide text, others in the ANSI code page.
  Wide,
  /// Bytes of a VM creation option (the in-process class path): some runtimes read them as
  /// UTF-8, others in the ANSI code page, so only ASCII reads the same in both.
  Bytes
};

/// The form of path that every runtime reads back as the same file. On Windows: the path
/// itself when each of its characters reads alike (see RuntimeText), else the path with each
/// component that does not replaced by its short (8.3) name; a path that does not exist
/// stays as it is (the runtime then reports it). Nothing when a component has no short name
/// that reads alike (a volume without short names): unreadable is then the path up to and
/// including that component. On Linux, where runtimes read the bytes as they are, the path
/// itself.
std::optional<std::string> runtimeReadablePath(const std::string &path, RuntimeText text,
                                               std::string &unreadable);

} // namespace vantrel::launcher::platform
