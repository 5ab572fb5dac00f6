// Benchmark tool: stands in for the converter and the object-copy tool by copying prepared
// files into place, so that a figure measures the application and not the tools.
//   ... --convert <in> <out>        parallel flow: BITMORPH_BENCH_RAW -> out
//   -c <base>.cof [...]             loader flow, first run: BITMORPH_BENCH_POF -> <base>.pof,
//                                   BITMORPH_BENCH_MAP -> <base>.map
//   -c <pof> <hex>                  loader flow, second run: BITMORPH_BENCH_HEX -> hex
//   -O srec <hex> <srec>            object copy: BITMORPH_BENCH_SREC -> srec
#include "platform/environment.h"
#include "platform/file.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

/// Copies the file named by the environment variable to output; false (with a message) when
/// it cannot.
bool copyPrepared(const char *variable, const std::string &output) {
  const auto source = vantrel::platform::getEnvironmentVariable(variable);
  if (!source) {
    std::fprintf(stderr, "copy tool: %s is not set\n", variable);
    return false;
  }
  vantrel::platform::InputFile in;
  vantrel::platform::OutputFile out;
  if (!in.open(*source) || !out.open(output)) {
    std::fprintf(stderr, "copy tool: cannot open %s or %s\n", source->c_str(), output.c_str());
    return false;
  }
  // The buffer lines up with the file's pieces, which start at multiples of PIECE, as cp's
  // buffers do (platform::lineUpOffset).
  constexpr std::size_t PIECE = 1 << 20;
  std::vector<char> storage(PIECE + vantrel::platform::LINE_UP);
  char *const buffer = storage.data() + vantrel::platform::lineUpOffset(storage.data(), 0);
  std::int64_t n;
  while ((n = in.read(buffer, PIECE)) > 0)
    if (!out.write(buffer, static_cast<std::size_t>(n))) break;
  if (n < 0 || !out.close()) {
    std::fprintf(stderr, "copy tool: copying %s failed\n", source->c_str());
    return false;
  }
  return true;
}

bool endsWith(const std::string &text, const std::string &tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

int main(int argc, char **argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  bool ok = false;
  if (args.size() >= 2 && args[0] == "-c" && endsWith(args[1], ".cof")) {
    const std::string base = args[1].substr(0, args[1].size() - 4);
    ok = copyPrepared("BITMORPH_BENCH_POF", base + ".pof") &&
         copyPrepared("BITMORPH_BENCH_MAP", base + ".map");
  } else if (args.size() == 3 && args[0] == "-c") {
    ok = copyPrepared("BITMORPH_BENCH_HEX", args[2]);
  } else if (args.size() == 4 && args[0] == "-O") {
    ok = copyPrepared("BITMORPH_BENCH_SREC", args[3]);
  } else if (!args.empty()) {
    ok = copyPrepared("BITMORPH_BENCH_RAW", args.back());
  } else {
    std::fprintf(stderr, "copy tool: nothing to do\n");
  }
  return ok ? 0 : 1;
}
