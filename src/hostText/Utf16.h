// UTF-8 <-> UTF-16, the conversion at the boundary of every Windows call that takes or
// returns text. Inside, text is UTF-8 on every platform.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vantrel::hostText {

/// UTF-16 for a UTF-8 text. A lone surrogate written in its three-byte form (as
/// utf16ToUtf8 writes it) comes back as that surrogate, so every Windows name survives
/// the round trip; a byte that starts no valid sequence becomes U+FFFD.
std::u16string utf8ToUtf16(std::string_view utf8);

/// UTF-8 for a UTF-16 text. A surrogate pair becomes its four-byte form; a lone surrogate
/// (legal in Windows file names) is written in the three-byte form of its value rather
/// than dropped, so that the name can be converted back exactly.
std::string utf16ToUtf8(std::u16string_view utf16);

} // namespace vantrel::hostText
