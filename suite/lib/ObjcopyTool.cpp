// The object-copy stand-in's entry: hex records in, S-records out.
#include "FileIo.h"
#include "HexFile.h"
#include "Messages.h"
#include "SrecWriter.h"
#include "ToolEntry.h"
#include "platform/path.h"

namespace vantrel::suite {

const char OBJCOPY_USAGE[] = "Usage: korvo-elf-objcopy [-I ihex] -O srec <input.hex> <output.srec>\n";

namespace {
/// Writes the hex records of the file in as S-records to target, headed by its file name.
Status copyHexToSrec(const std::string &in, const std::string &target) {
  const auto text = readInputFile(in);
  if (!text.ok()) return Status::failure(text.error());
  auto hex = parseHexFile(text.value());
  if (!hex.ok()) return Status::failure(in + ": " + hex.error());
  OutputSet set;
  set.addText(target, writeSrecords(hex.value().segments, std::string(platform::lastComponent(target)),
                                    hex.value().startAddress.value_or(0)));
  return set.commit();
}
} // namespace

int runObjcopy(const std::vector<std::string> &args, std::ostream &out, std::ostream &err) {
  (void)out;
  std::string inputFormat = "ihex";
  std::string outputFormat;
  std::vector<std::string> names;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string &a = args[i];
    if ((a == "-O" || a == "-I") && i + 1 < args.size()) {
      (a == "-O" ? outputFormat : inputFormat) = args[++i];
    } else if (!a.empty() && a[0] != '-') {
      names.push_back(a);
    } else {
      err << OBJCOPY_USAGE;
      return EXIT_USAGE;
    }
  }
  if (outputFormat.empty() || names.size() != 2) {
    err << OBJCOPY_USAGE;
    return EXIT_USAGE;
  }
  if (outputFormat != "srec") {
    err << "Error: " << msg::OBJCOPY_FORMAT << outputFormat << "\n";
    return EXIT_USAGE;
  }
  if (inputFormat != "ihex") {
    err << "Error: " << msg::OBJCOPY_INPUT_FORMAT << inputFormat << "\n";
    return EXIT_USAGE;
  }
  const std::string &in = names[0];
  const std::string &target = names[1];
  const Status done = copyHexToSrec(in, target);
  if (!done.ok()) {
    removeQuietly(target);
    err << "Error: " << done.error() << "\n";
    return EXIT_FAILED;
  }
  return EXIT_OK;
}

} // namespace vantrel::suite
