// Windows paths past the classic length limit: the extended ("\\?\") form that every wide
// file call takes without a length limit. A text rule, so that it is tested on every OS; the
// platform layers apply it beside each Win32 file call.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace vantrel::hostText {

/// Paths of this many UTF-16 code units or more get the extended form: MAX_PATH (260) less
/// the 12 that CreateDirectoryW keeps for an 8.3 name, the smallest limit of the file calls.
inline constexpr std::size_t EXTENDED_FORM_FROM = 260 - 12;

/// The path to hand a wide Win32 file call. One already in an extended or device form
/// ("\\?\...", "\\.\...") and an empty one stay as they are, and so does one whose absolute
/// form is shorter than EXTENDED_FORM_FROM UTF-16 code units (a relative path counts with
/// the current folder it is joined to). Any other becomes its extended form: made absolute
/// against the folder currentDirectory gives (asked only for a relative path; "\name" takes
/// that folder's drive or share, "X:name" its folder when it is on drive X, else the root of
/// X), '/' turned into '\', empty and "." components dropped, ".." taking away the component
/// before it (never the drive or share), and "\\?\" put in front ("\\?\UNC\server\share\..."
/// for a share). The OS takes such a path exactly as written, which is why it must be whole.
std::string extendedLengthPath(std::string_view path, const std::function<std::string()> &currentDirectory);

} // namespace vantrel::hostText
