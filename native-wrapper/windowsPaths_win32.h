// The forms of a path the launcher's Win32 calls take: wide text for every file call (the
// extended form once a path is long), the short (8.3) form where the process start and the
// library loader keep the classic length limit, and the plain form of a path the system
// returns. Only the launcher's Win32 files include this.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace vantrel::launcher::platform::win32 {

/// Wide text for UTF-8 text.
std::wstring wide(const std::string &utf8);

/// UTF-8 text for wide text.
std::string utf8(const wchar_t *text, std::size_t length);

/// The wide path every Win32 file call gets: a long path in its extended form
/// (hostText::extendedLengthPath, made absolute against the current folder), any other path
/// as it is.
std::wstring widePath(const std::string &path);

/// A path the system wrote, in UTF-8 and without an extended prefix ("\\?\C:\x" becomes
/// "C:\x", "\\?\UNC\server\share" becomes "\\server\share"), so that the launcher's text
/// rules and the runtime see an ordinary path.
std::string plainPath(const wchar_t *text, std::size_t length);

/// The short (8.3) form of an existing file or folder, in plain form; nothing when the
/// system gives none (the path does not exist, or cannot be read).
std::optional<std::string> shortPathName(const std::string &path);

/// The path for the calls that still stop at MAX_PATH characters (a program to start, a
/// library to load, a folder added to the library search): the path itself when shorter,
/// else its short form when that is shorter, else the extended form.
std::wstring classicPath(const std::string &path);

/// True when the wide text converts to the ANSI code page and back unchanged: every
/// character is in that code page (no best-fit substitute, no default character).
bool fitsAnsiCodePage(const std::wstring &text);

} // namespace vantrel::launcher::platform::win32
