// Fuzz target: the extended form of long Windows paths. A path is kept as it is or becomes
// a whole, normalised extended path; the extended form of that is itself; '/' and '\' give
// the same result; "." and ".." and empty components never reach the OS.
//
// Input format: the current folder below C:\, a NUL byte, then the path.
#include "FuzzCheck.h"
#include "hostText/WindowsLongPath.h"

#include <cstdint>
#include <string>
#include <vector>

using fuzzing::check;
using vantrel::hostText::extendedLengthPath;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char *>(data), size);
  const std::size_t nul = bytes.find('\0');
  if (nul == std::string::npos) return 0;
  const std::string current = "C:\\" + bytes.substr(0, nul);
  const std::string path = bytes.substr(nul + 1);
  const auto folder = [&] { return current; };

  const std::string result = extendedLengthPath(path, folder);
  if (result == path) return 0;
  const std::string prefix = "\\\\?\\";
  check(result.rfind(prefix, 0) == 0, "a changed path is in the extended form");
  check(extendedLengthPath(result, folder) == result, "the extended form is kept");
  check(result.find('/') == std::string::npos, "no '/' in the extended form");
  // After the root ("C:" or "UNC\server\share"), every component is a name.
  std::vector<std::string> components(1);
  for (char c : result.substr(prefix.size())) {
    if (c == '\\')
      components.emplace_back();
    else
      components.back() += c;
  }
  const std::size_t root = components[0] == "UNC" ? 3 : 1;
  const bool bareRoot = root == 1 && components.size() == 2 && components[1].empty();
  for (std::size_t i = root; i < components.size() && !bareRoot; ++i) {
    const std::string &name = components[i];
    check(!name.empty() && name != "." && name != "..", "no empty, . or .. component",
          static_cast<std::int64_t>(i));
  }
  std::string backslashed = path;
  for (char &c : backslashed)
    if (c == '/') c = '\\';
  if (backslashed.rfind("\\\\?\\", 0) != 0 && backslashed.rfind("\\\\.\\", 0) != 0) {
    check(extendedLengthPath(backslashed, folder) == result, "'/' and '\\' give the same path");
  }
  return 0;
}
