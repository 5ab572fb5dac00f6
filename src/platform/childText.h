// Text that child processes write, made UTF-8 for this process to show. A program built for
// the ANSI code page writes that code page on Windows; on POSIX programs write the text of
// their locale, which passes as it is.
#pragma once

#include <string>
#include <string_view>

#include "hostText/CodePageText.h"

namespace vantrel::platform {

/// UTF-8 for text in the code page of programs that do not write UTF-8: the ANSI code page
/// (GetACP) on Windows; the bytes unchanged elsewhere.
std::string fromSystemCodePage(std::string_view bytes);

/// The decoder of one child's output stream as it arrives: well-formed UTF-8 stays as it
/// is, a line that is not is taken from fromSystemCodePage (hostText::CodePageTextDecoder).
class ChildTextDecoder : public hostText::CodePageTextDecoder {
public:
  ChildTextDecoder() : CodePageTextDecoder(fromSystemCodePage) {}
};

} // namespace vantrel::platform
