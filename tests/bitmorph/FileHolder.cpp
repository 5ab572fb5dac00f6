// Test program: holds a file open as another program (a viewer, a flash programmer, a virus
// scanner) does. Usage: bm_file_holder FILE [MILLIS]
// Opens FILE for reading through the C runtime, which on Windows opens it without sharing
// its deletion, so that the file cannot be replaced while it is held; prints "held". With
// MILLIS it waits for an atomic writer's temporary file of FILE (FILE.<pid>-<n>.part) to
// appear beside it, holds FILE MILLIS ms longer and ends, as a scanner that looks at a file
// for a moment; without, it holds FILE until it is ended.
#include "hostText/FilePath.h"
#include "platform/path.h"
#include "platform/programArguments.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

bool temporaryAppeared(const std::string &file) {
  const std::size_t nameStart = vantrel::platform::lastComponentStart(file);
  const std::string prefix = file.substr(nameStart) + ".";
  std::error_code ec;
  for (const auto &entry :
       std::filesystem::directory_iterator(vantrel::hostText::utf8Path(file.substr(0, nameStart)), ec)) {
    const std::string name = vantrel::hostText::pathUtf8(entry.path().filename());
    if (name.rfind(prefix, 0) == 0 && name.find(".part", prefix.size()) != std::string::npos) return true;
  }
  return false;
}

} // namespace

int main(int argc, char **argv) {
  const std::vector<std::string> args = vantrel::platform::programArguments(argc, argv);
  std::ifstream held(vantrel::hostText::utf8Path(args.empty() ? "" : args[0]), std::ios::binary);
  if (!held) return 2;
  std::printf("held\n");
  std::fflush(stdout);
  // Without MILLIS held until ended; a writer that never comes ends the wait after a minute.
  for (int polls = 0; args.size() < 2 || (!temporaryAppeared(args[0]) && polls < 30000); ++polls)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  std::this_thread::sleep_for(std::chrono::milliseconds(std::stol(args[1])));
  return 0;
}
