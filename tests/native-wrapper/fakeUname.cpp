// Test double of uname: the answer is chosen by FAKE_UNAME (cygwin, linux, fail, empty,
// big, bigtail); each call is logged to the file FAKE_TOOL_LOG names.
#include "fakeTool.h"

#include <cstdio>

int toolMain(const std::vector<std::string> &) {
  if (const auto log = toolEnv("FAKE_TOOL_LOG")) appendToFile(*log, "uname\n");
  const std::string mode = toolEnv("FAKE_UNAME").value_or("cygwin");
  if (mode == "cygwin") {
    std::fputs("CYGWIN_NT-10.0-19045\n", stdout);
  } else if (mode == "linux") {
    std::fputs("Linux\n", stdout);
  } else if (mode == "fail") {
    std::fputs("CYGWIN_NT-10.0-19045\n", stdout);
    return 1;
  } else if (mode == "big") {
    // The marker lies inside the part that is read back.
    std::fputs(("CYGWIN_NT" + std::string(5000, 'x') + "\n").c_str(), stdout);
  } else if (mode == "bigtail") {
    // The marker lies beyond the 4095 bytes that are read back.
    std::fputs((std::string(5000, 'x') + "CYGWIN_NT\n").c_str(), stdout);
  }
  return 0; // "empty": prints nothing
}
