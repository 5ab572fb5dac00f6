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
inline constexpr char CANNOT_CREATE_PIPES[] = "Cannot create pipes: ";
/// Follows the OS's reason when a file could not be replaced because it is read-only.
inline constexpr char READ_ONLY_FILE[] = " (the file is read-only)";
/// An OS error without a text of its own: followed by its number.
inline constexpr char OS_ERROR_NUMBER[] = "error ";

} // namespace vantrel::platform::msg
