// Benchmark converter: answers the parallel flow's call ("--no_banner --convert in.sof out.rbf")
// by copying the prepared raw image named by BITMORPH_BENCH_RAW, so the figure measures the
// application and not the converter.
#include "platform/environment.h"
#include "platform/file.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char **argv) {
  const auto raw = vantrel::platform::getEnvironmentVariable("BITMORPH_BENCH_RAW");
  if (!raw || argc < 2) {
    std::fprintf(stderr, "copy converter: BITMORPH_BENCH_RAW and an output file are needed\n");
    return 1;
  }
  const std::string output = argv[argc - 1];
  vantrel::platform::InputFile in;
  vantrel::platform::OutputFile out;
  if (!in.open(*raw) || !out.open(output)) {
    std::fprintf(stderr, "copy converter: cannot open %s or %s\n", raw->c_str(), output.c_str());
    return 1;
  }
  std::vector<char> buffer(1 << 20);
  std::int64_t n;
  while ((n = in.read(buffer.data(), buffer.size())) > 0)
    if (!out.write(buffer.data(), static_cast<std::size_t>(n))) break;
  if (n < 0 || !out.close()) {
    std::fprintf(stderr, "copy converter: copy failed\n");
    return 1;
  }
  return 0;
}
