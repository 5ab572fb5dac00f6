// Test double of cygpath --mixed: /cygdrive/<d>/rest becomes <D>:/rest, /home/... becomes
// C:/cygwin64/home/..., anything else comes back unchanged. FAKE_CYGPATH picks other
// answers (fail, empty, big, crlf, long); each call is logged to FAKE_TOOL_LOG.
#include "fakeTool.h"

#include <cctype>
#include <cstdio>

int toolMain(const std::vector<std::string> &args) {
  if (const auto log = toolEnv("FAKE_TOOL_LOG")) {
    std::string line = "cygpath";
    for (std::size_t i = 1; i < args.size(); ++i)
      line += " " + args[i];
    appendToFile(*log, line + "\n");
  }
  if (args.size() != 3 || args[1] != "--mixed") {
    std::fputs("cygpath: bad arguments\n", stderr);
    return 2;
  }
  const std::string &path = args[2];
  std::string converted = path;
  if (path.rfind("/cygdrive/", 0) == 0 && path.size() >= 11) {
    converted = std::string(1, static_cast<char>(std::toupper(path[10]))) + ":" + path.substr(11);
  } else if (path.rfind("/home/", 0) == 0) {
    converted = "C:/cygwin64" + path;
  }
  const std::string mode = toolEnv("FAKE_CYGPATH").value_or("convert");
  if (mode == "fail") {
    std::printf("%s\n", converted.c_str());
    return 1;
  }
  if (mode == "empty") return 0;
  if (mode == "big") {
    std::printf("%s%s\n", converted.c_str(), std::string(5000, 'c').c_str());
    return 0;
  }
  if (mode == "long") {
    // Longer than a 260-character path buffer, shorter than what is read back.
    std::printf("%s%s\n", converted.c_str(), std::string(300, 'l').c_str());
    return 0;
  }
  if (mode == "crlf") {
    std::printf("%s\r\n", converted.c_str());
    return 0;
  }
  std::printf("%s\n", converted.c_str());
  return 0;
}
