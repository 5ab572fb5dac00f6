// Test double of the runtime's launcher program: prints its arguments one per line (UTF-8)
// and exits with the code in FAKE_JAVA_EXIT (or dies by the signal in FAKE_JAVA_SIGNAL).
#include "fakeTool.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

int toolMain(const std::vector<std::string> &args) {
  std::string text = "java-args " + std::to_string(args.size() - 1) + "\n";
  for (std::size_t i = 1; i < args.size(); ++i)
    text += "[" + args[i] + "]\n";
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
  if (const auto sig = toolEnv("FAKE_JAVA_SIGNAL")) std::raise(std::atoi(sig->c_str()));
  const auto code = toolEnv("FAKE_JAVA_EXIT");
  return code ? static_cast<int>(std::strtoul(code->c_str(), nullptr, 0)) : 0;
}
