// Test double for the converter and the object-copy tool: writes what each call form asks
// for, or fails in the way the test selects. Built twice, as "prexa_cpf" and as
// "korvo-elf-objcopy" (FAKE_OBJCOPY=1).
//
// Environment:
//   BM_FAKE_LOG   append one line per call: the arguments joined by '|'
//   BM_FAKE_MODE  words that select failures: nooutput (write nothing), empty (write empty
//                 results), fail (exit 3, write nothing), failfirst (the loader's first
//                 call exits 2), nomap (no memory map), shortmap (map without the lines
//                 read), noise (print progress on standard output), gaps (the loader's
//                 Intel HEX leaves out a blank stretch of the image, as converters do),
//                 ansi (print a line in the Windows-1252 code page, in two writes, then
//                 one in UTF-8)
//   BM_FAKE_OBJCOPY_MODE  the same words for the object-copy tool
//   BM_FAKE_SIZE  bytes of the image (default 64); the serial design size too
//   BM_FAKE_RPD_EXTRA  bytes the ".rpd" holds beyond the design size (default 16; may be
//                 negative to make it too short)
//   BM_FAKE_CHUNK, BM_FAKE_SLOW  write every output in place in chunks of this many bytes,
//                 pausing this many milliseconds after each (a slow converter)
//   BM_FAKE_STOP  SUFFIX:K:SIGNAL: after the K-th chunk of an output whose name ends with
//                 SUFFIX, stop the parent (the driver) with SIGNAL (2, 15 or 1; under
//                 Windows a console event; -2, -15, -1: the parent's whole process group, as
//                 a terminal's Ctrl-C; 9: kill it at once), then go on writing
//   BM_FAKE_CRASH SUFFIX:K:11: after the K-th chunk of an output whose name ends with SUFFIX,
//                 say so on standard error and crash (SIGSEGV; 0xC0000005 under Windows)
//   BM_FAKE_EXIT  SUFFIX:K:STATUS: the same, but exit with STATUS, as a tool that gives up
//                 part-way does (or a wrapper script whose converter crashed: 139)
//   BM_FAKE_ASK   ask "Continue? [y/N]" first and read the answer from standard input; no
//                 answer (the end of the input) stops with status 1, "y" goes on; an input
//                 that neither answers nor ends within the tests' event bound: status 2
//   BM_FAKE_OTHER SUFFIX: before the first output, rewrite the file named like it with the
//                 extension SUFFIX, as another program at work in the folder would
//   BM_FAKE_PIDS  append this process's id, one line per call (and a worker's)
//   BM_FAKE_WORKER  before its first output, start a worker, as a wrapper script may, that
//                 stays behind: 200 ms after the tool has ended it starts appending to that
//                 output every 20 ms, for 30 s
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/environment.h"
#include "platform/file.h"
#include "platform/programArguments.h"
#include "support/ProcessControl.h"
#include "support/StopAtWrite.h"
#include "support/Waiting.h"

namespace {

constexpr bool IS_OBJCOPY = FAKE_OBJCOPY != 0;

std::string env(const char *name, const std::string &fallback = "") {
  return vantrel::platform::getEnvironmentVariable(name).value_or(fallback);
}

bool mode(const std::string &word) {
  std::string modes(",");
  modes += env(IS_OBJCOPY ? "BM_FAKE_OBJCOPY_MODE" : "BM_FAKE_MODE");
  modes += ',';
  std::string wanted(",");
  wanted += word;
  wanted += ',';
  return modes.find(wanted) != std::string::npos;
}

long number(const char *name, long fallback) {
  const std::string text = env(name);
  return text.empty() ? fallback : std::strtol(text.c_str(), nullptr, 0);
}

// Files and arguments go through the platform layer, so that paths with any characters
// work on Windows too.
std::string readFile(const std::string &path) {
  const auto bytes = vantrel::platform::readWholeFile(path);
  return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

bool appendText(const std::string &path, const std::string &text, bool truncate = false) {
  using vantrel::platform::OutputFile;
  OutputFile out;
  if (!out.open(path, truncate ? OutputFile::Mode::Truncate : OutputFile::Mode::Append)) return false;
  out.write(text);
  return out.close();
}

/// Stops the parent when BM_FAKE_STOP names this chunk of this output.
void stopParentAt(const std::string &path, long chunk) {
  const auto point = vantrel::testing::StopPoint::fromEnvironment("BM_FAKE_STOP");
  if (point && point->names(path) && point->nth == chunk)
    point->stopProcess(vantrel::testing::parentProcessId());
}

/// The worker a tool leaves behind: waits for the tool's end, then writes the output late.
int worker(const std::string &tool, const std::string &path) {
  const std::uint64_t toolId = std::stoull(tool);
  int afterEnd = 0;
  for (int tick = 0; tick < 1500; ++tick) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (!vantrel::testing::processRuns(toolId) && ++afterEnd > 10)
      appendText(path, "written by a worker after its tool ended\n");
  }
  return 0;
}

/// Crashes when BM_FAKE_CRASH names this chunk of this output, or exits with the status
/// BM_FAKE_EXIT gives.
void crashAt(const std::string &path, long chunk) {
  const auto point = vantrel::testing::StopPoint::fromEnvironment("BM_FAKE_CRASH");
  if (point && point->names(path) && point->nth == chunk) {
    std::fprintf(stderr, "fake tool: crashing while writing %s\n", path.c_str());
    std::fflush(stderr);
    vantrel::testing::crashProcess();
  }
  const auto exit = vantrel::testing::StopPoint::fromEnvironment("BM_FAKE_EXIT");
  if (exit && exit->names(path) && exit->nth == chunk) {
    std::fprintf(stderr, "progress: %ld chunks\nfake tool: giving up while writing %s\n\n", chunk,
                 path.c_str());
    std::exit(exit->signal);
  }
}

/// Asks on standard output and reads the answer on standard input, never longer than the
/// tests' event bound; the exit status when the tool stops, nothing when it goes on.
std::optional<int> ask() {
  std::printf("Continue? [y/N] ");
  std::fflush(stdout);
  std::promise<std::string> read;
  std::future<std::string> answer = read.get_future();
  std::thread([read = std::move(read)]() mutable {
    std::string line;
    std::getline(std::cin, line);
    read.set_value(line);
  }).detach();
  if (answer.wait_for(std::chrono::milliseconds(vantrel::testing::EVENT_LIMIT_MILLIS)) !=
      std::future_status::ready) {
    std::fprintf(stderr, "fake tool: still waiting for an answer\n");
    return 2;
  }
  if (answer.get() == "y") return std::nullopt;
  std::fprintf(stderr, "fake tool: no answer, stopping\n");
  return 1;
}

std::string withExtension(const std::string &path, const std::string &extension) {
  const std::size_t dot = path.rfind('.');
  return (dot == std::string::npos ? path : path.substr(0, dot)) + extension;
}

bool writeFile(const std::string &path, const std::string &bytes) {
  static bool otherWritten = false;
  const std::string other = env("BM_FAKE_OTHER");
  if (!other.empty() && !otherWritten) {
    otherWritten = true;
    appendText(withExtension(path, other), "another program's file\n", true);
  }
  static bool workerStarted = false;
  if (!env("BM_FAKE_WORKER").empty() && !workerStarted) {
    workerStarted = true;
    const std::uint64_t id = vantrel::testing::startWorker(
        {"--fake-worker", std::to_string(vantrel::testing::ownProcessId()), path});
    const std::string pids = env("BM_FAKE_PIDS");
    if (!pids.empty()) appendText(pids, std::to_string(id) + "\n");
  }
  if (mode("nooutput")) return true;
  if (mode("empty")) return appendText(path, "", true);
  const long chunk = number("BM_FAKE_CHUNK", 0);
  if (chunk <= 0) return appendText(path, bytes, true);
  // In place and slowly, as a converter may write: a stop in between finds half a file.
  const auto pause = std::chrono::milliseconds(number("BM_FAKE_SLOW", 0));
  long written = 0;
  for (std::size_t at = 0; at < bytes.size(); at += static_cast<std::size_t>(chunk)) {
    if (!appendText(path, bytes.substr(at, static_cast<std::size_t>(chunk)), at == 0)) return false;
    stopParentAt(path, ++written);
    crashAt(path, written);
    std::this_thread::sleep_for(pause);
  }
  return true;
}

/// Recognisable image bytes: byte i is (7 i + 3) mod 256.
std::string pattern(long size) {
  std::string bytes;
  for (long i = 0; i < size; ++i)
    bytes.push_back(static_cast<char>((i * 7 + 3) & 0xFF));
  return bytes;
}

std::string replaceSuffix(const std::string &path, const std::string &from, const std::string &to) {
  if (path.size() >= from.size() && path.compare(path.size() - from.size(), from.size(), from) == 0) {
    return path.substr(0, path.size() - from.size()) + to;
  }
  return path + to;
}

std::string unescape(std::string text) {
  const std::pair<const char *, const char *> entities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
  for (const auto &[from, to] : entities) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
      text.replace(at, std::string(from).size(), to);
      at += std::string(to).size();
    }
  }
  return text;
}

std::string element(const std::string &xml, const std::string &name) {
  const std::string open = "<" + name + ">";
  const std::size_t from = xml.find(open);
  const std::size_t to = xml.find("</" + name + ">");
  if (from == std::string::npos || to == std::string::npos) return "";
  return unescape(xml.substr(from + open.size(), to - from - open.size()));
}

std::string hex8(unsigned long value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", value);
  return text;
}

/// A serial image whose header gives the design size by the marker rule (family code 100).
std::string serialImage(long designSize) {
  long length = designSize + number("BM_FAKE_RPD_EXTRA", 16);
  if (length < 0) length = 0;
  std::string bytes = pattern(length < 64 ? 64 : length);
  bytes[0] = '\xFF';
  bytes[1] = '\xFF';
  bytes[2] = '\x6A';
  const unsigned long bits = static_cast<unsigned long>(designSize) * 8;
  for (int i = 0; i < 4; ++i)
    bytes[7 + i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
  for (int i = 0; i < 8; ++i) {
    const bool set = (100 >> i) & 1;
    bytes[52 + i] = static_cast<char>(set ? 0x02 : 0x00);
  }
  bytes.resize(static_cast<std::size_t>(length));
  return bytes;
}

std::string hexRecord(int type, unsigned address, const std::string &data) {
  unsigned sum = static_cast<unsigned>(data.size()) + ((address >> 8) & 0xFF) + (address & 0xFF) +
                 static_cast<unsigned>(type);
  char head[16];
  std::snprintf(head, sizeof head, ":%02X%04X%02X", static_cast<unsigned>(data.size()), address & 0xFFFF,
                type);
  std::string line = head;
  for (unsigned char c : data) {
    char pair[4];
    std::snprintf(pair, sizeof pair, "%02X", c);
    line += pair;
    sum += c;
  }
  char check[4];
  std::snprintf(check, sizeof check, "%02X", (0x100 - (sum & 0xFF)) & 0xFF);
  return line + check + "\n";
}

std::string intelHex(unsigned long start, const std::string &image, unsigned long optionStart,
                     const std::string &options) {
  std::string text;
  unsigned long upper = 0xFFFFFFFF;
  auto emit = [&](unsigned long base, const std::string &data) {
    for (std::size_t i = 0; i < data.size(); i += 16) {
      // A converter leaves out the lines of a blank stretch: the file has a gap there.
      if (mode("gaps") && data.substr(i, 16).find_first_not_of('\xFF') == std::string::npos) continue;
      const unsigned long address = base + i;
      if ((address >> 16) != upper) {
        upper = address >> 16;
        text += hexRecord(4, 0, std::string{static_cast<char>(upper >> 8), static_cast<char>(upper & 0xFF)});
      }
      text += hexRecord(0, static_cast<unsigned>(address & 0xFFFF), data.substr(i, 16));
    }
  };
  emit(optionStart, options);
  emit(start, image);
  return text + ":00000001FF\n";
}

int byteOf(const std::string &text, std::size_t at) {
  return std::stoi(text.substr(at, 2), nullptr, 16);
}

/// Intel HEX (data, extended linear address, end) to S3 records, 16 bytes per line.
int objcopy(const std::vector<std::string> &args) {
  if (args.size() != 4 || args[0] != "-O" || args[1] != "srec") {
    std::fprintf(stderr, "usage: korvo-elf-objcopy -O srec IN OUT\n");
    return 1;
  }
  if (mode("fail")) return 3;
  std::istringstream in(readFile(args[2]));
  std::string out;
  unsigned long upper = 0;
  for (std::string line; std::getline(in, line);) {
    if (line.size() < 11 || line[0] != ':') continue;
    const int count = byteOf(line, 1);
    const unsigned long address = static_cast<unsigned long>(byteOf(line, 3) * 256 + byteOf(line, 5));
    const int type = byteOf(line, 7);
    if (type == 4) upper = static_cast<unsigned long>(byteOf(line, 9) * 256 + byteOf(line, 11));
    if (type != 0) continue;
    const unsigned long full = (upper << 16) | address;
    unsigned sum = static_cast<unsigned>(count + 5);
    char head[16];
    std::snprintf(head, sizeof head, "S3%02X%08lX", count + 5, full);
    std::string record = head;
    for (int k = 0; k < 4; ++k)
      sum += (full >> (8 * k)) & 0xFF;
    for (int i = 0; i < count; ++i) {
      const int b = byteOf(line, 9 + 2 * static_cast<std::size_t>(i));
      char pair[4];
      std::snprintf(pair, sizeof pair, "%02X", b);
      record += pair;
      sum += static_cast<unsigned>(b);
    }
    char check[4];
    std::snprintf(check, sizeof check, "%02X", (~sum) & 0xFF);
    out += record + check + "\n";
  }
  return writeFile(args[3], out) ? 0 : 1;
}

int converter(const std::vector<std::string> &args) {
  const long size = number("BM_FAKE_SIZE", 64);
  if (mode("noise")) std::printf("fake converter running\nsecond line\n");
  if (mode("ansi")) {
    // As a converter built for the ANSI code page writes: "Gerät: café €5", then UTF-8.
    std::printf("Ger\xE4t: ");
    std::fflush(stdout);
    std::printf("caf\xE9 \x80"
                "5\nUTF-8: caf\xC3\xA9\n");
  }
  std::fflush(stdout);
  if (!args.empty() && args[0] == "-c") {
    if (mode("failfirst") && args.size() >= 2 && args[1].find(".cof") != std::string::npos) return 2;
    if (mode("fail")) return 3;
    if (args.size() >= 2 && replaceSuffix(args[1], ".cof", "") != args[1] && args[1].size() > 4 &&
        args[1].compare(args[1].size() - 4, 4, ".cof") == 0) {
      // Loader, first call: programming object file and memory map.
      const std::string cof = readFile(args[1]);
      const std::string pof = element(cof, "output_filename");
      const unsigned long start = std::strtoul(element(cof, "start_address").c_str(), nullptr, 0);
      const unsigned long optionStart =
          std::strtoul(element(cof, "option_start_address").c_str(), nullptr, 0);
      std::ostringstream info;
      info << start << ' ' << size << ' ' << optionStart << ' ' << 32 << '\n';
      writeFile(pof, info.str());
      std::string map = "BLOCK\tSTART ADDRESS\tEND ADDRESS\n\nPage_0\t" + hex8(start) + "\t" +
                        hex8(start + static_cast<unsigned long>(size) - 1) + "\nOPTION BITS\t" +
                        hex8(optionStart) + "\t" + hex8(optionStart + 31) + "\n";
      if (mode("shortmap")) map = "BLOCK\n\n";
      if (!mode("nomap")) writeFile(replaceSuffix(pof, ".pof", ".map"), map);
      return 0;
    }
    if (args.size() == 3) {
      // Loader, second call: Intel HEX of the image and the option bits.
      std::istringstream info(readFile(args[1]));
      unsigned long start = 0, optionStart = 0;
      long length = 0, optionLength = 0;
      if (!(info >> start >> length >> optionStart >> optionLength)) return 4;
      std::string options;
      for (long i = 0; i < optionLength; ++i)
        options.push_back(static_cast<char>(0xA0 + i));
      std::string image = pattern(length);
      if (mode("gaps") && image.size() >= 96)
        image.replace(32, 64, std::string(64, '\xFF')); // blank: left out
      writeFile(args[2], intelHex(start, image, optionStart, options));
      return 0;
    }
    std::fprintf(stderr, "usage: prexa_cpf -c FILE [...]\n");
    return 1;
  }
  if (args.size() < 3 || args[0] != "--no_banner" || args[1] != "--convert") {
    std::fprintf(stderr, "usage: prexa_cpf --no_banner --convert ...\n");
    return 1;
  }
  if (mode("fail")) return 3;
  std::vector<std::string> rest(args.begin() + 2, args.end());
  std::string device;
  if (!rest.empty() && rest[0].rfind("--device=", 0) == 0) {
    device = rest[0];
    rest.erase(rest.begin());
  }
  if (!rest.empty() && rest[0].rfind("--option=", 0) == 0) rest.erase(rest.begin());
  if (rest.size() == 1) {
    // Active parallel: the description names the output.
    const std::string output = element(readFile(rest[0]), "output_filename");
    return writeFile(output, pattern(size)) ? 0 : 1;
  }
  if (rest.size() != 2) return 1;
  const std::string &out = rest[1];
  if (!device.empty()) {
    writeFile(out, "POF " + device + "\n");
    if (!mode("nomap")) {
      writeFile(replaceSuffix(out, ".pof", ".map"), "Block\tStart\tEnd\nPage_0\t0x00000000\t" +
                                                        hex8(static_cast<unsigned long>(size) - 1) + "\n");
    }
    return 0;
  }
  if (out.size() > 4 && out.compare(out.size() - 4, 4, ".rpd") == 0) {
    return writeFile(out, serialImage(size)) ? 0 : 1;
  }
  return writeFile(out, pattern(size)) ? 0 : 1;
}

} // namespace

int main(int argc, char **argv) {
  const std::vector<std::string> args = vantrel::platform::programArguments(argc, argv);
  if (args.size() == 3 && args[0] == "--fake-worker") return worker(args[1], args[2]);
  // A converter that meets a stop ends the way an ordinary Windows program does, not as
  // Wine's default handler makes it (status 0, as if it had finished).
  vantrel::testing::endByConsoleEventsAsWindowsDoes();
  const std::string pids = env("BM_FAKE_PIDS");
  if (!pids.empty()) appendText(pids, std::to_string(vantrel::testing::ownProcessId()) + "\n");
  const std::string log = env("BM_FAKE_LOG");
  if (!log.empty()) {
    std::string line = IS_OBJCOPY ? "korvo-elf-objcopy" : "prexa_cpf";
    for (const auto &arg : args)
      line += "|" + arg;
    appendText(log, line + "\n");
  }
  if (!env("BM_FAKE_ASK").empty()) {
    if (const auto status = ask()) return *status;
  }
  return IS_OBJCOPY ? objcopy(args) : converter(args);
}
