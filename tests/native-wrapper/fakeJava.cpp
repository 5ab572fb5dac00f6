// Test double of the runtime's launcher program: prints its arguments one per line and
// exits with the code in FAKE_JAVA_EXIT (or dies by the signal in FAKE_JAVA_SIGNAL).
#include "fakeToolStdout.h"
#include <csignal>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv) {
  setBinaryStdout();
  std::printf("java-args %d\n", argc - 1);
  for (int i = 1; i < argc; ++i)
    std::printf("[%s]\n", argv[i]);
  std::fflush(stdout);
  if (const char *sig = std::getenv("FAKE_JAVA_SIGNAL")) std::raise(std::atoi(sig));
  const char *code = std::getenv("FAKE_JAVA_EXIT");
  return code ? static_cast<int>(std::strtoul(code, nullptr, 0)) : 0;
}
