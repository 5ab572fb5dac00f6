// Test double of cygpath --mixed: /cygdrive/<d>/rest becomes <D>:/rest, /home/... becomes
// C:/cygwin64/home/..., anything else comes back unchanged. FAKE_CYGPATH picks other
// answers (fail, empty, big, crlf, long); each call is logged to FAKE_TOOL_LOG.
#include "fakeToolStdout.h"
#include <cctype>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char **argv) {
  setBinaryStdout();
  if (const char *log = std::getenv("FAKE_TOOL_LOG")) {
    if (FILE *f = std::fopen(log, "ab")) {
      std::fputs("cygpath", f);
      for (int i = 1; i < argc; ++i)
        std::fprintf(f, " %s", argv[i]);
      std::fputs("\n", f);
      std::fclose(f);
    }
  }
  if (argc != 3 || std::strcmp(argv[1], "--mixed") != 0) {
    std::fputs("cygpath: bad arguments\n", stderr);
    return 2;
  }
  std::string path = argv[2];
  std::string converted = path;
  if (path.rfind("/cygdrive/", 0) == 0 && path.size() >= 11) {
    converted = std::string(1, static_cast<char>(std::toupper(path[10]))) + ":" + path.substr(11);
  } else if (path.rfind("/home/", 0) == 0) {
    converted = "C:/cygwin64" + path;
  }
  const char *env = std::getenv("FAKE_CYGPATH");
  std::string mode = env ? env : "convert";
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
