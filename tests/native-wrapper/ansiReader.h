// What a Java runtime that reads its text in the ANSI code page makes of the paths it is
// given: the test runtimes built on it open each path through the ANSI file call, as such a
// runtime does, and report whether it opened.
#pragma once

#include <string>

/// "label: opens" when every entry of the ';'-separated list (bytes in the ANSI code page)
/// opens through CreateFileA, else "label: cannot open " and the first entry that does not.
std::string ansiOpens(const std::string &label, const std::string &ansiPathList);

/// The file name of the module holding address, as GetModuleFileNameA gives it.
std::string ansiModuleName(const void *address);
