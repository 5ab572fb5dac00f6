// End-to-end figures from an installation tree: bitmorph converting a SOF with a 64 MiB raw
// image in the parallel flow (converter that only copies a prepared raw image, then the
// stand-in converter), side by side with objcopy writing the same raw image as S3 records;
// and the start-up of the launcher with the stand-in runtime and with a real JDK.
// Usage: bitmorph_e2e_bench <installation root> <copy converter> <sofgen> <work folder> [jdk home]
#include "platform/environment.h"
#include "platform/file.h"
#include "platform/process.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Env = std::vector<std::pair<std::string, std::string>>;

// Runs a command to its end with the environment changed by env; milliseconds, or -1 on failure.
double timed(const std::vector<std::string> &command, const Env &env) {
  std::vector<std::string> list;
  for (const std::string &entry : vantrel::platform::environmentList()) {
    bool replaced = false;
    for (const auto &e : env)
      replaced = replaced || entry.rfind(e.first + "=", 0) == 0;
    if (!replaced)
      list.push_back(entry);
  }
  for (const auto &e : env)
    list.push_back(e.first + "=" + e.second);
  const auto start = Clock::now();
  std::string error;
  auto child = vantrel::platform::ChildProcess::start(command, list, error);
  if (!child) {
    std::fprintf(stderr, "cannot start %s: %s\n", command[0].c_str(), error.c_str());
    return -1;
  }
  char buffer[65536];
  for (auto stream : {vantrel::platform::ChildStream::Output, vantrel::platform::ChildStream::Error})
    while (child->read(stream, buffer, sizeof buffer, error) > 0) {
    }
  while (child->status().state == vantrel::platform::ChildStatus::State::Running)
    std::this_thread::yield();
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  const int code = child->status().exitValue();
  if (code != 0) {
    std::fprintf(stderr, "%s exited with %d\n", command[0].c_str(), code);
    return -1;
  }
  return ms;
}

// Median of five timed runs after one warm-up run; each run may write a new output file.
double median5(const std::vector<std::string> &command, const Env &env, const std::string &output) {
  std::vector<double> times;
  for (int i = 0; i < 6; ++i) {
    vantrel::platform::removeFile(output);
    const double ms = timed(command, env);
    if (ms < 0)
      return -1;
    if (i > 0)
      times.push_back(ms);
  }
  std::sort(times.begin(), times.end());
  return times[2];
}

} // namespace

int main(int argc, char **argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: %s <installation root> <copy converter> <sofgen> <work folder> [jdk home]\n", argv[0]);
    return 2;
  }
  const std::string root = argv[1], copyConverter = argv[2], sofgen = argv[3], work = argv[4];
  const std::string jdk = argc > 5 ? argv[5] : "";
  const char sep = vantrel::platform::lineSeparator()[0] == '\r' ? ';' : ':';
  const std::string exe = sep == ';' ? ".exe" : "";
  const std::string bitmorph = root + "/bin64/bitmorph" + exe;
  const std::string path = vantrel::platform::getEnvironmentVariable("PATH").value_or("");

  // The prepared raw image and a SOF of a family of the parallel flow.
  constexpr std::size_t RAW_SIZE = 64u << 20;
  std::vector<unsigned char> raw(RAW_SIZE);
  std::mt19937 random(7);
  for (auto &b : raw)
    b = static_cast<unsigned char>(random());
  const std::string rawFile = work + "/raw.bin";
  if (!vantrel::platform::writeWholeFile(rawFile, raw.data(), raw.size()))
    return 1;
  const std::string smallSof = work + "/small.sof", bigSof = work + "/big.sof";
  if (timed({sofgen, "--part=KX3R40F484C6", "--output=" + smallSof}, {}) < 0 ||
      timed({sofgen, "--part=KX3R40F484C6", "--output=" + bigSof, "--size=" + std::to_string(RAW_SIZE)}, {}) < 0)
    return 1;

  // The copy converter sits first on the search path under the converter's name.
  const std::string fakeBin = work + "/copybin";
  std::error_code ec;
  std::filesystem::create_directories(fakeBin, ec);
  std::filesystem::copy_file(copyConverter, fakeBin + "/prexa_cpf" + exe,
                             std::filesystem::copy_options::overwrite_existing, ec);
  if (ec) {
    std::fprintf(stderr, "cannot place the copy converter: %s\n", ec.message().c_str());
    return 1;
  }
  const Env copyEnv = {{"PREXA_ROOTDIR", root}, {"BITMORPH_BENCH_RAW", rawFile},
                       {"PATH", fakeBin + sep + root + "/bin64" + sep + path}};
  const Env suiteEnv = {{"PREXA_ROOTDIR", root}, {"PATH", root + "/bin64" + sep + path}};
  const std::string flash = work + "/out.flash";

  const double objcopy = median5({"objcopy", "-I", "binary", "-O", "srec", "--srec-len=32", "--srec-forceS3", rawFile,
                                  work + "/objcopy.srec"},
                                 {}, work + "/objcopy.srec");
  const double copyFlow =
      median5({bitmorph, "--input=" + smallSof, "--output=" + flash, "--offset=0"}, copyEnv, flash);
  const double copyFlowInProcess = median5(
      {bitmorph, "--wrapper-load-jvm-in-process", "--input=" + smallSof, "--output=" + flash, "--offset=0"}, copyEnv, flash);
  const double suiteFlow = median5({bitmorph, "--input=" + bigSof, "--output=" + flash, "--offset=0"}, suiteEnv, flash);
  std::printf("64 MiB raw image, parallel flow, median of 5 (ms):\n");
  std::printf("  objcopy -O srec --srec-len=32 --srec-forceS3  %9.1f\n", objcopy);
  std::printf("  bitmorph, copying converter (child start)     %9.1f  = %.2fx objcopy\n", copyFlow, copyFlow / objcopy);
  std::printf("  bitmorph, copying converter (in-process)      %9.1f  = %.2fx objcopy\n", copyFlowInProcess,
              copyFlowInProcess / objcopy);
  std::printf("  bitmorph, stand-in converter (child start)    %9.1f  = %.2fx objcopy\n", suiteFlow, suiteFlow / objcopy);

  // Start-up: the launcher with the application's help, which converts nothing.
  const double startStandIn = median5({bitmorph, "--help"}, suiteEnv, work + "/none");
  const double startInProcess = median5({bitmorph, "--wrapper-load-jvm-in-process", "--help"}, suiteEnv, work + "/none");
  std::printf("launcher start to finished help, median of 5 (ms):\n");
  std::printf("  stand-in runtime, child start                 %9.1f\n", startStandIn);
  std::printf("  stand-in runtime, in-process                  %9.1f\n", startInProcess);
  if (!jdk.empty()) {
    Env jdkEnv = suiteEnv;
    jdkEnv.emplace_back("NATIVE_WRAP_JRE_DIR_OVERRIDE", jdk);
    std::printf("  real JDK, child start                         %9.1f\n", median5({bitmorph, "--help"}, jdkEnv, work + "/none"));
    std::printf("  real JDK, in-process                          %9.1f\n",
                median5({bitmorph, "--wrapper-load-jvm-in-process", "--help"}, jdkEnv, work + "/none"));
  }
  return 0;
}
