// Conversion of the JNI's modified UTF-8 into standard UTF-8 for the driver's arguments.
#pragma once

#include <string>

namespace vantrel::bitmorph::jni {

/// Standard UTF-8 for a modified UTF-8 text: a supplementary character, which modified
/// UTF-8 writes as two three-byte surrogates, becomes its four-byte form. Every other byte
/// is kept as it is, so text that is already plain UTF-8 (or bytes in a Windows code page,
/// as the stand-in runtime passes them) comes through unchanged. The two-byte form of NUL
/// is kept too: a file name cannot contain NUL, and cutting the text there could silently
/// name a different file.
std::string toStandardUtf8(const std::string &modified);

} // namespace vantrel::bitmorph::jni
