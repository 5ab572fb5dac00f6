// A small child program for the process tests. Its arguments are steps run in order:
//   out TEXT     write TEXT to standard output (escapes \n \r \t \\ \xHH), unbuffered
//   err TEXT     the same to standard error
//   lines P N    write N lines "P<i>\n" (i from 0), one write per line
//   bulk N       write N bytes of a fixed pattern holding every byte value
//   bulkerr N    the same to standard error
//   echo         copy standard input to standard output until its end, then "<eof>\n"
//   env NAME     write the variable's value and "\n", or "<unset>\n"
//   cat PATH     write the file's bytes, or "<unreadable>\n"
//   args ...     write each remaining argument as "[arg]\n" and stop
//   sleep MS     pause
//   exit N       end with status N
// It reads its arguments and writes through the platform layer, so arguments arrive as UTF-8
// and no byte of its output is translated on any OS.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/environment.h"
#include "platform/file.h"
#include "platform/process.h"
#include "platform/programArguments.h"
#include "platform/time.h"

using vantrel::platform::StandardStream;

namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string unescape(const std::string &text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char c = text[++i];
    if (c == 'n')
      out += '\n';
    else if (c == 'r')
      out += '\r';
    else if (c == 't')
      out += '\t';
    else if (c == 'x' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
      i += 2;
    } else
      out += c;
  }
  return out;
}

bool put(StandardStream stream, const std::string &text) {
  return vantrel::platform::writeStandardStream(stream, text.data(), text.size());
}

char patternByte(std::uint64_t i) {
  return static_cast<char>((i * 31 + (i >> 8)) & 0xFF);
}

int usage(const std::string &step) {
  put(StandardStream::Error, "bm_platform_child: bad step '" + step + "'\n");
  return 99;
}

} // namespace

int main(int argc, char **argv) {
  const std::vector<std::string> args = vantrel::platform::programArguments(argc, argv);
  const std::size_t count = args.size();
  for (std::size_t i = 0; i < count; ++i) {
    const std::string &step = args[i];
    const bool hasArg = i + 1 < count;
    if (step == "out" && hasArg) {
      put(StandardStream::Output, unescape(args[++i]));
    } else if (step == "err" && hasArg) {
      put(StandardStream::Error, unescape(args[++i]));
    } else if (step == "lines" && i + 2 < count) {
      const std::string prefix = args[++i];
      const long lines = std::strtol(args[++i].c_str(), nullptr, 10);
      for (long n = 0; n < lines; ++n)
        put(StandardStream::Output, prefix + std::to_string(n) + "\n");
    } else if ((step == "bulk" || step == "bulkerr") && hasArg) {
      const StandardStream stream = step == "bulk" ? StandardStream::Output : StandardStream::Error;
      const std::uint64_t total = std::strtoull(args[++i].c_str(), nullptr, 10);
      std::string block;
      for (std::uint64_t n = 0; n < total; ++n) {
        block += patternByte(n);
        if (block.size() == 4000 || n + 1 == total) {
          put(stream, block);
          block.clear();
        }
      }
    } else if (step == "echo") {
      char buffer[4096];
      for (;;) {
        const std::int64_t got = vantrel::platform::readStandardInput(buffer, sizeof buffer);
        if (got <= 0) break;
        put(StandardStream::Output, std::string(buffer, static_cast<std::size_t>(got)));
      }
      put(StandardStream::Output, "<eof>\n");
    } else if (step == "env" && hasArg) {
      const auto value = vantrel::platform::getEnvironmentVariable(args[++i]);
      std::string line = value.value_or("<unset>");
      line += '\n';
      put(StandardStream::Output, line);
    } else if (step == "cat" && hasArg) {
      const auto bytes = vantrel::platform::readWholeFile(args[++i]);
      put(StandardStream::Output, bytes ? std::string(bytes->begin(), bytes->end()) : "<unreadable>\n");
    } else if (step == "args") {
      for (++i; i < count; ++i) {
        std::string line(1, '[');
        line += args[i];
        line += "]\n";
        put(StandardStream::Output, line);
      }
    } else if (step == "sleep" && hasArg) {
      vantrel::platform::sleepMillis(std::strtol(args[++i].c_str(), nullptr, 10));
    } else if (step == "exit" && hasArg) {
      return static_cast<int>(std::strtol(args[++i].c_str(), nullptr, 10));
    } else {
      return usage(step);
    }
  }
  return 0;
}
