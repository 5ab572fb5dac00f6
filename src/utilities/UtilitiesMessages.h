// The fixed texts and timing constants of the utilities, kept together so that tests
// refer to the same constants as the code.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vantrel::utilities {

/// Raised by Launcher::destroy() when the watcher still reports the child running after
/// the wait limit.
inline constexpr const char *STILL_RUNNING_AFTER_DESTROY = "INTERNAL ERROR: still running after destroy";

/// Launcher::toString() is this prefix, the command joined by blanks, and the suffix.
inline constexpr const char *LAUNCHER_TEXT_PREFIX = "Launcher[commandLine=";
inline constexpr const char *LAUNCHER_TEXT_SUFFIX = "]";

/// A read error while draining a child's stream is appended to that stream's text framed
/// by this on both sides.
inline constexpr const char *READ_ERROR_FRAME = "\n\n";

/// ZemFile's I/O errors: the text is followed by the path.
inline constexpr const char *CANNOT_OPEN_FOR_WRITING = "Cannot open file for writing: ";
inline constexpr const char *CANNOT_WRITE = "Cannot write file: ";

/// How often the watcher drains the pipes and asks for the child's status.
inline constexpr std::int64_t WATCHER_POLL_MILLIS = 10;
/// The most the watcher reads from one pipe in one call.
inline constexpr std::size_t READ_CHUNK_SIZE = 1024;
/// How long destroy() waits for the watcher to see the child end.
inline constexpr std::int64_t DESTROY_LIMIT_MILLIS = 1000;
/// How often destroy() and runCommand() look at running().
inline constexpr std::int64_t DESTROY_POLL_MILLIS = 1;
inline constexpr std::int64_t RUN_COMMAND_POLL_MILLIS = 10;

} // namespace vantrel::utilities
