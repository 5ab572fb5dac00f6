// Path text for every OS: which characters separate the components of a path, and the last
// component (the file name) of a path. Text only; nothing is asked of the file system.
#pragma once

#include <cstddef>
#include <string_view>

namespace vantrel::platform {

/// True when c separates path components on this OS: '/' and '\' on Windows, '/' only
/// elsewhere (where a backslash is an ordinary character of a file name).
bool isPathSeparator(char c);

/// Where the last component of path starts: just after its last separator, 0 when it has
/// none. On Windows a drive prefix ("C:top.sof") counts as a separator too.
std::size_t lastComponentStart(std::string_view path);

/// The last component of path (the whole path when it has no separator).
std::string_view lastComponent(std::string_view path);

} // namespace vantrel::platform
