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

// Environment of the benchmark with the entries of env replacing or adding variables.
std::vector<std::string> environmentWith(const Env &env) {
  std::vector<std::string> list;
  for (const std::string &entry : vantrel::platform::environmentList()) {
    bool replaced = false;
    for (const auto &e : env)
      replaced = replaced || entry.rfind(e.first + "=", 0) == 0;
    if (!replaced) list.push_back(entry);
  }
  for (const auto &e : env)
    list.push_back(e.first + "=" + e.second);
  return list;
}

struct Run {
  double ms = -1;     // start to end of the child, or -1 on failure
  std::string output; // its standard output
  Clock::time_point start;
};

// Runs a command to its end with the environment changed by env.
Run timed(const std::vector<std::string> &command, const Env &env) {
  const std::vector<std::string> list = environmentWith(env);
  Run run;
  run.start = Clock::now();
  std::string error;
  auto child = vantrel::platform::ChildProcess::start(command, list, error);
  if (!child) {
    std::fprintf(stderr, "cannot start %s: %s\n", command[0].c_str(), error.c_str());
    return run;
  }
  char buffer[65536];
  std::int64_t n;
  while ((n = child->read(vantrel::platform::ChildStream::Output, buffer, sizeof buffer, error)) > 0)
    run.output.append(buffer, static_cast<std::size_t>(n));
  while (child->read(vantrel::platform::ChildStream::Error, buffer, sizeof buffer, error) > 0) {
  }
  while (child->status().state == vantrel::platform::ChildStatus::State::Running)
    std::this_thread::yield();
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - run.start).count();
  const int code = child->status().exitValue();
  if (code != 0) {
    std::fprintf(stderr, "%s exited with %d\n", command[0].c_str(), code);
    return run;
  }
  run.ms = ms;
  return run;
}

struct Job {
  std::vector<std::string> command;
  Env env;
  std::string output; // removed before each run, so every run writes a new file
};

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Runs the jobs in turn, one warm-up round and then five timed ones, so that the tools
// compared alternate; the median wall time of each job in milliseconds, -1 on a failure.
std::vector<double> alternating(const std::vector<Job> &jobs) {
  std::vector<std::vector<double>> times(jobs.size());
  for (int round = 0; round < 6; ++round)
    for (std::size_t j = 0; j < jobs.size(); ++j) {
      if (!jobs[j].output.empty()) vantrel::platform::removeFile(jobs[j].output);
      const double ms = timed(jobs[j].command, jobs[j].env).ms;
      if (ms < 0) return std::vector<double>(jobs.size(), -1);
      if (round > 0) times[j].push_back(ms);
    }
  std::vector<double> medians;
  for (const auto &t : times)
    medians.push_back(median(t));
  return medians;
}

// Milliseconds from starting the command to the probe's clock reading at its entry, median
// of five after a warm-up; -1 on a failure. A command that prints a clock reading of its
// own before the probe's (the in-process host) is timed from that reading instead.
double toEntry(const std::vector<std::string> &command, const Env &env) {
  std::vector<double> delays;
  for (int round = 0; round < 6; ++round) {
    const Run run = timed(command, env);
    long long first = 0, second = 0;
    const int readings = run.ms < 0 ? 0 : std::sscanf(run.output.c_str(), "%lld %lld", &first, &second);
    if (readings < 1) {
      std::fprintf(stderr, "%s: no clock reading from the probe\n", command[0].c_str());
      return -1;
    }
    long long start =
        std::chrono::duration_cast<std::chrono::nanoseconds>(run.start.time_since_epoch()).count();
    long long entered = first;
    if (readings == 2) {
      start = first;
      entered = second;
    }
    if (round > 0) delays.push_back(static_cast<double>(entered - start) / 1e6);
  }
  return median(delays);
}

} // namespace

int main(int argc, char **argv) {
  if (argc < 8) {
    std::fprintf(stderr,
                 "usage: %s <installation root> <copy converter> <sofgen> <work folder> <probe program> "
                 "<probe library> <probe host> [jdk home]\n",
                 argv[0]);
    return 2;
  }
  const std::string root = argv[1], copyConverter = argv[2], sofgen = argv[3], work = argv[4];
  const std::string probeProgram = argv[5], probeLibrary = argv[6], probeHost = argv[7];
  const std::string jdk = argc > 8 ? argv[8] : "";
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
  if (!vantrel::platform::writeWholeFile(rawFile, raw.data(), raw.size())) return 1;
  const std::string smallSof = work + "/small.sof", bigSof = work + "/big.sof";
  if (timed({sofgen, "--part=KX3R40F484C6", "--output=" + smallSof}, {}).ms < 0 ||
      timed({sofgen, "--part=KX3R40F484C6", "--output=" + bigSof, "--size=" + std::to_string(RAW_SIZE)}, {})
              .ms < 0)
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
  const Env copyEnv = {{"PREXA_ROOTDIR", root},
                       {"BITMORPH_BENCH_RAW", rawFile},
                       {"PATH", fakeBin + sep + root + "/bin64" + sep + path}};
  const Env suiteEnv = {{"PREXA_ROOTDIR", root}, {"PATH", root + "/bin64" + sep + path}};
  const std::string flash = work + "/out.flash", objcopyOut = work + "/objcopy.srec";

  const std::vector<Job> conversions = {
      {{"objcopy", "-I", "binary", "-O", "srec", "--srec-len=32", "--srec-forceS3", rawFile, objcopyOut},
       {},
       objcopyOut},
      {{bitmorph, "--input=" + smallSof, "--output=" + flash, "--offset=0"}, copyEnv, flash},
      {{bitmorph, "--wrapper-load-jvm-in-process", "--input=" + smallSof, "--output=" + flash, "--offset=0"},
       copyEnv,
       flash},
      {{bitmorph, "--input=" + bigSof, "--output=" + flash, "--offset=0"}, suiteEnv, flash}};
  const std::vector<double> t = alternating(conversions);
  if (t[0] < 0) return 1;
  std::printf("64 MiB raw image, parallel flow, median of 5 alternating runs (ms):\n");
  std::printf("  objcopy -O srec --srec-len=32 --srec-forceS3  %9.1f\n", t[0]);
  std::printf("  bitmorph, copying converter (child start)     %9.1f  = %.2fx objcopy\n", t[1], t[1] / t[0]);
  std::printf("  bitmorph, copying converter (in-process)      %9.1f  = %.2fx objcopy\n", t[2], t[2] / t[0]);
  std::printf("  bitmorph, stand-in converter (child start)    %9.1f  = %.2fx objcopy\n", t[3], t[3] / t[0]);

  // Start-up to the application's entry: a copy of the installation tree whose application
  // library is the probe, which reads the clock the moment the runtime calls its main.
  const std::string probeRoot = work + "/probe-tree";
  std::filesystem::remove_all(probeRoot, ec);
  std::filesystem::copy(root, probeRoot, std::filesystem::copy_options::recursive, ec);
  if (!ec)
    std::filesystem::copy_file(
        probeLibrary, probeRoot + "/bin64/" + std::filesystem::path(probeLibrary).filename().string(),
        std::filesystem::copy_options::overwrite_existing, ec);
  if (ec) {
    std::fprintf(stderr, "cannot make the probe tree: %s\n", ec.message().c_str());
    return 1;
  }
  const Env probeEnv = {{"PREXA_ROOTDIR", probeRoot}, {"PATH", probeRoot + "/bin64" + sep + path}};
  const std::string probeLauncher = probeRoot + "/bin64/bitmorph" + exe;
  const std::string mainClass = "com.vantrel.bitmorph.Bitmorph";
  const std::string jar = probeRoot + "/bin64/bitmorph.jar";
  const double bare = toEntry({probeProgram}, probeEnv);
  const double runtimeDirect =
      toEntry({probeRoot + "/bin64/jre64/bin/java" + exe, "-cp", jar, mainClass}, probeEnv);
  const double launcherChild = toEntry({probeLauncher}, probeEnv);
  const double launcherInProcess = toEntry({probeLauncher, "--wrapper-load-jvm-in-process"}, probeEnv);
  const std::string vmLibrary =
      probeRoot + (exe.empty() ? "/bin64/jre64/lib/server/libjvm.so" : "/bin64/jre64/bin/server/jvm.dll");
  const double runtimeInProcess = toEntry({probeHost, vmLibrary, jar, mainClass}, probeEnv);
  std::printf("start to the application's entry, median of 5 (ms):\n");
  std::printf("  a bare program (process start alone)          %9.2f\n", bare);
  std::printf("  stand-in runtime started directly             %9.2f  (its own start-up: %.2f)\n",
              runtimeDirect, runtimeDirect - bare);
  std::printf("  stand-in runtime in-process, library to entry %9.2f\n", runtimeInProcess);
  std::printf("  launcher -> stand-in runtime, child start     %9.2f\n", launcherChild);
  std::printf("  launcher -> stand-in runtime, in-process      %9.2f\n", launcherInProcess);
  if (!jdk.empty()) {
    Env jdkEnv = probeEnv;
    jdkEnv.emplace_back("NATIVE_WRAP_JRE_DIR_OVERRIDE", jdk);
    const double jdkDirect = toEntry({jdk + "/bin/java" + exe, "-cp", jar, mainClass}, probeEnv);
    std::printf("  real JDK started directly                     %9.2f  (its own start-up: %.2f)\n",
                jdkDirect, jdkDirect - bare);
    std::printf("  real JDK in-process, library to entry         %9.2f\n",
                toEntry({probeHost, jdk + "/lib/server/libjvm.so", jar, mainClass}, probeEnv));
    std::printf("  launcher -> real JDK, child start             %9.2f\n", toEntry({probeLauncher}, jdkEnv));
    std::printf("  launcher -> real JDK, in-process              %9.2f\n",
                toEntry({probeLauncher, "--wrapper-load-jvm-in-process"}, jdkEnv));
  }
  return 0;
}
