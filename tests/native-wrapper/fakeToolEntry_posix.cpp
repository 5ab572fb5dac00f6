// Process entry of the launcher's test doubles on Linux: arguments and environment as they
// come, standard output is binary already.
#include "fakeTool.h"

#include <cstdlib>
#include <fstream>

std::optional<std::string> toolEnv(const char *name) {
  const char *value = std::getenv(name);
  return value ? std::optional<std::string>(value) : std::nullopt;
}

void appendToFile(const std::string &path, const std::string &text) {
  std::ofstream(path, std::ios::binary | std::ios::app) << text;
}

int main(int argc, char **argv) {
  return toolMain(std::vector<std::string>(argv, argv + argc));
}
