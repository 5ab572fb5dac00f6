// Modified UTF-8, the text form of the JNI, and standard UTF-8, the form of everything else.
#pragma once

#include <string>
#include <string_view>

namespace vantrel::hostText {

/// Modified UTF-8 for a standard UTF-8 text, as NewStringUTF expects it: a supplementary
/// character (a four-byte sequence) becomes its two surrogates, three bytes each, and NUL
/// becomes the two bytes C0 80. Every other byte is kept as it is, so a byte that starts no
/// valid sequence (a Linux file name in another encoding) still reaches the application
/// byte for byte, and toStandardUtf8 gives the text back.
std::string toModifiedUtf8(std::string_view utf8);

/// Standard UTF-8 for a modified UTF-8 text: a supplementary character, which modified
/// UTF-8 writes as two three-byte surrogates, becomes its four-byte form. Every other byte
/// is kept as it is, so text that is already plain UTF-8 comes through unchanged. The
/// two-byte form of NUL is kept too: a file name cannot contain NUL, and cutting the text
/// there could silently name a different file.
std::string toStandardUtf8(std::string_view modified);

} // namespace vantrel::hostText
