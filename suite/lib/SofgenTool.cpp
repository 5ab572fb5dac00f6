// The SOF writer's entry: part name, byte order, configuration data from a file or made up.
#include "FileIo.h"
#include "GeneratedDesign.h"
#include "Messages.h"
#include "NumberText.h"
#include "SofFile.h"
#include "ToolEntry.h"

namespace vantrel::suite {

const char SOFGEN_USAGE[] =
    "Usage: sofgen --part=<part name> --output=<file.sof> [--byte-order=big|little]\n"
    "              [--data=<configuration data file> | --size=<bytes> [--seed=<number>]]\n"
    "              [--creator=<text>]\n"
    "Without --data, --size bytes (default 4096) of configuration data are generated.\n";

namespace {
/// Largest generated design.
constexpr std::uint32_t MAX_SIZE = 64u * 1024u * 1024u;

bool takeValue(const std::string &arg, const char *name, std::string &value, bool &seen) {
  const std::string prefix = std::string(name) + "=";
  if (arg.rfind(prefix, 0) != 0) return false;
  value = arg.substr(prefix.size());
  seen = true;
  return true;
}
} // namespace

int runSofgen(const std::vector<std::string> &args, std::ostream &out, std::ostream &err) {
  std::string part, output, order = "big", dataFile, size, seed = "1", creator = "sofgen";
  bool hasPart = false, hasOutput = false, hasOrder = false, hasData = false, hasSize = false,
       hasSeed = false, hasCreator = false;
  for (const std::string &a : args) {
    if (takeValue(a, "--part", part, hasPart) || takeValue(a, "--output", output, hasOutput) ||
        takeValue(a, "--byte-order", order, hasOrder) || takeValue(a, "--data", dataFile, hasData) ||
        takeValue(a, "--size", size, hasSize) || takeValue(a, "--seed", seed, hasSeed) ||
        takeValue(a, "--creator", creator, hasCreator)) {
      continue;
    }
    err << "Error: " << msg::SOFGEN_UNKNOWN_ARG << a << "\n" << SOFGEN_USAGE;
    return EXIT_USAGE;
  }
  auto usage = [&](const std::string &why) {
    err << "Error: " << why << "\n" << SOFGEN_USAGE;
    return EXIT_USAGE;
  };
  if (!hasPart || part.empty()) return usage(msg::SOFGEN_NO_PART);
  if (!hasOutput || output.empty()) return usage(msg::SOFGEN_NO_OUTPUT);
  if (order != "big" && order != "little") return usage(msg::SOFGEN_BAD_ORDER + order);
  if (hasData && (hasSize || hasSeed)) return usage(msg::SOFGEN_DATA_AND_SIZE);
  const auto seedValue = parseNumberText(seed);
  if (!seedValue) return usage(msg::SOFGEN_BAD_SEED + seed);
  std::uint32_t sizeValue = 4096;
  if (hasSize) {
    const auto v = parseNumberText(size);
    if (!v || *v == 0 || *v > MAX_SIZE) return usage(msg::SOFGEN_BAD_SIZE + size);
    sizeValue = *v;
  }

  SofDesign design;
  design.partName = part;
  design.bigEndian = order == "big";
  design.creator = creator;
  Status done = Status::success();
  if (hasData) {
    const auto bytes = readInputFile(dataFile);
    if (!bytes.ok())
      done = Status::failure(bytes.error());
    else if (bytes.value().empty())
      done = Status::failure(dataFile + ": " + msg::SOFGEN_EMPTY_DATA);
    else
      design.configData.assign(bytes.value().begin(), bytes.value().end());
  } else {
    design.configData = generateConfigData(sizeValue, *seedValue);
  }
  if (done.ok()) {
    OutputSet set;
    set.addBinary(output, writeSof(design));
    done = set.commit();
  }
  if (!done.ok()) {
    err << "Error: " << done.error() << "\n";
    return EXIT_FAILED;
  }
  out << "Wrote " << output << ": part " << part << ", " << design.configData.size()
      << " bytes of configuration data, " << order << "-endian\n";
  return EXIT_OK;
}

} // namespace vantrel::suite
