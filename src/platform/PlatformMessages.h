// The fixed texts of the OS layer, kept together so that tests refer to the same constants.
#pragma once

namespace vantrel::platform::msg {

/// A start whose command names no program.
inline constexpr char NO_PROGRAM_GIVEN[] = "no program given";
/// A program that could not be started: CANNOT_RUN_PROGRAM + the name as given +
/// CANNOT_RUN_PROGRAM_REASON + the OS's description of the failure.
inline constexpr char CANNOT_RUN_PROGRAM[] = "Cannot run program \"";
inline constexpr char CANNOT_RUN_PROGRAM_REASON[] = "\": ";
/// The pipes to a child could not be made: followed by the OS's description.
/// Follows "not found" for a program that lies only in a PATH entry the search skips:
/// SKIPPED_ENTRY + the entry in quotes (or EMPTY_ENTRY) + SKIPPED_ENTRY_HOLDS.
inline constexpr char SKIPPED_ENTRY[] =
    " (PATH entries that are empty, relative or the current folder are never searched, and ";
inline constexpr char EMPTY_ENTRY[] = "an empty entry, the current folder,";
inline constexpr char SKIPPED_ENTRY_HOLDS[] = " holds one)";
inline constexpr char CANNOT_CREATE_PIPES[] = "Cannot create pipes: ";
/// How a child ended (describeEnding): a death by signal is followed by its number and, in
/// parentheses, its name; a crash status by eight hexadecimal digits; an exit by its status.
inline constexpr char ENDED_BY_SIGNAL[] = "ended by signal ";
inline constexpr char ENDED_WITH_STATUS[] = "ended with status 0x";
inline constexpr char EXITED_WITH_STATUS[] = "exited with status ";
/// A child whose end the OS could not report: followed by the OS error number.
inline constexpr char ENDING_UNKNOWN[] = "ended in a way the system could not report: error ";
inline constexpr char STILL_RUNNING[] = "is still running";
/// Something other than an empty lock file at a lock file's path.
inline constexpr char NOT_A_LOCK_FILE[] = "a file that is not an empty lock file is in the way";
/// Follows the OS's reason when a file could not be replaced because it is read-only.
inline constexpr char READ_ONLY_FILE[] = " (the file is read-only)";
/// Why a name cannot take a file written there (writeTarget): IT_IS + the kind in words.
inline constexpr char IT_IS[] = "it is ";
/// The kinds of what a name leads to, in words (describeKind).
inline constexpr char KIND_MISSING[] = "missing";
inline constexpr char KIND_REGULAR[] = "a regular file";
inline constexpr char KIND_FOLDER[] = "a folder";
inline constexpr char KIND_FIFO[] = "a FIFO (named pipe)";
inline constexpr char KIND_CHARACTER_DEVICE[] = "a character device";
inline constexpr char KIND_BLOCK_DEVICE[] = "a block device";
inline constexpr char KIND_SOCKET[] = "a socket";
inline constexpr char KIND_OTHER[] = "not a regular file";
/// An OS error without a text of its own: followed by its number.
inline constexpr char OS_ERROR_NUMBER[] = "error ";

} // namespace vantrel::platform::msg
