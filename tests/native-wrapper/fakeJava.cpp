// Test double of the runtime's launcher program: prints its arguments one per line (UTF-8)
// and exits with the code in FAKE_JAVA_EXIT (or dies by the signal in FAKE_JAVA_SIGNAL).
// With FAKE_JAVA_STOP ("catch" or "die") it then stands in for an application that is
// stopped while it runs: it starts a fake converter (a copy of itself) when
// FAKE_JAVA_CONVERTER is set, writes "<own pid> <converter pid or 0>" and a newline to the
// file FAKE_JAVA_PID_FILE names once its stop handlers are in place, and waits for a stop
// (see awaitStop).
#include "fakeJavaStop.h"
#include "fakeTool.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

const char *const kConverterRole = "--fake-converter";

} // namespace

int toolMain(const std::vector<std::string> &args) {
  if (args.size() == 2 && args[1] == kConverterRole) {
    awaitStop(false, 0);
    return 0;
  }
  std::string text = "java-args " + std::to_string(args.size() - 1) + "\n";
  for (std::size_t i = 1; i < args.size(); ++i)
    text += "[" + args[i] + "]\n";
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
  if (const auto sig = toolEnv("FAKE_JAVA_SIGNAL")) std::raise(std::atoi(sig->c_str()));
  if (const auto stop = toolEnv("FAKE_JAVA_STOP")) {
    const unsigned long converter = toolEnv("FAKE_JAVA_CONVERTER") ? startSelf(kConverterRole) : 0;
    // The ids are the test's sign to stop this program: written once the handlers are in place.
    awaitStop(*stop == "catch", converter, [&] {
      appendToFile(toolEnv("FAKE_JAVA_PID_FILE").value_or(""),
                   std::to_string(ownProcessId()) + " " + std::to_string(converter) + "\n");
    });
  }
  const auto code = toolEnv("FAKE_JAVA_EXIT");
  return code ? static_cast<int>(std::strtoul(code->c_str(), nullptr, 0)) : 0;
}
