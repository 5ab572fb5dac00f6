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
//   handlers     install the interruption handlers (interrupt.h) for the rest of the run
//   unhandlers   take them away again
//   register PATH  register PATH for removal on an interruption, its state now as before
//   unregister PATH  take PATH out of that registration
//   write PATH TEXT  create or replace the file with TEXT
//   spawn N ...  start the next N arguments as a child (kept until the end); write its id, "\n"
//   worker N ... start this program with the next N arguments as its steps, a plain child in
//                this process's group that is never waited for; write its id, "\n"
//   ignore SIG   ignore the stop with signal number SIG (2, 15, 1; Windows: every console event)
//   injob        put this process into a new job without breakaway (Windows; else nothing)
// It reads its arguments and writes through the platform layer, so arguments arrive as UTF-8
// and no byte of its output is translated on any OS.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/environment.h"
#include "platform/file.h"
#include "platform/interrupt.h"
#include "platform/process.h"
#include "platform/programArguments.h"
#include "platform/time.h"
#include "support/ProcessControl.h"

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
  std::unique_ptr<vantrel::platform::InterruptHandlers> handlers;
  std::vector<std::unique_ptr<vantrel::platform::ChildProcess>> children;
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
    } else if (step == "handlers") {
      handlers = std::make_unique<vantrel::platform::InterruptHandlers>();
    } else if (step == "unhandlers") {
      handlers.reset();
    } else if (step == "register" && hasArg) {
      const std::string &path = args[++i];
      vantrel::platform::removeFileOnInterrupt(path, vantrel::platform::statFile(path));
    } else if (step == "unregister" && hasArg) {
      vantrel::platform::dontRemoveFileOnInterrupt(args[++i]);
    } else if (step == "write" && i + 2 < count) {
      const std::string &path = args[++i];
      const std::string &text = args[++i];
      vantrel::platform::writeWholeFile(path, text.data(), text.size());
    } else if (step == "spawn" && hasArg) {
      const std::size_t n = std::strtoul(args[++i].c_str(), nullptr, 10);
      if (i + n >= count) return usage(step);
      const std::vector<std::string> command(args.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                             args.begin() + static_cast<std::ptrdiff_t>(i + n) + 1);
      i += n;
      std::string error;
      auto child = vantrel::platform::ChildProcess::start(command, std::nullopt, error);
      if (!child) {
        put(StandardStream::Error, error + "\n");
        return 98;
      }
      put(StandardStream::Output, std::to_string(child->id()) + "\n");
      children.push_back(std::move(child));
    } else if (step == "worker" && hasArg) {
      const std::size_t n = std::strtoul(args[++i].c_str(), nullptr, 10);
      if (i + n >= count) return usage(step);
      const auto first = args.begin() + static_cast<std::ptrdiff_t>(i) + 1;
      i += n;
      put(StandardStream::Output, std::to_string(vantrel::testing::startWorker({first, first + n})) + "\n");
    } else if (step == "ignore" && hasArg) {
      const long signal = std::strtol(args[++i].c_str(), nullptr, 10);
      using vantrel::testing::Stop;
      vantrel::testing::ignoreStop(signal == 2   ? Stop::Interrupt
                                   : signal == 1 ? Stop::HangUp
                                                 : Stop::Terminate);
    } else if (step == "injob") {
      vantrel::testing::enterNewJob();
    } else {
      return usage(step);
    }
  }
  return 0;
}
