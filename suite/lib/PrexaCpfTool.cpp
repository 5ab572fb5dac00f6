// The converter stand-in's entry: call form, options file, conversion, error reporting.
#include "CallForm.h"
#include "Converter.h"
#include "FileIo.h"
#include "Messages.h"
#include "SuiteError.h"
#include "ToolEntry.h"

namespace vantrel::suite {

namespace {
ConverterOptions loadOptions(const std::string &path) {
  if (path.empty()) return {};
  const auto text = readFileBytes(path);
  if (!text) throw SuiteError(msg::CANNOT_READ + path);
  auto parsed = parseOptionsFile(*text);
  if (!parsed.ok()) throw SuiteError(path + ": " + parsed.error());
  return parsed.value();
}
} // namespace

int runPrexaCpf(const std::vector<std::string> &args, std::ostream &out, std::ostream &err) {
  std::string deviceError;
  const auto form = parseCallForm(args, deviceError);
  if (!form) {
    if (!deviceError.empty()) err << "Error: " << msg::UNKNOWN_DEVICE << deviceError << "\n";
    err << PREXA_CPF_USAGE;
    return EXIT_USAGE;
  }
  if (form->kind == CallForm::Kind::LoaderFirst || form->kind == CallForm::Kind::LoaderSecond) {
    out << msg::CONVERTER_BANNER << "\n";
  }
  OutputList outputs;
  try {
    const ConverterOptions options = loadOptions(form->optionsFile);
    switch (form->kind) {
    case CallForm::Kind::Parallel:
      convertSofToRaw(form->input, form->output, options, out, outputs);
      break;
    case CallForm::Kind::SerialFirst:
      convertSofToSerialPof(form->input, form->output, form->device, options, out, outputs);
      break;
    case CallForm::Kind::SerialSecond:
      convertPofToRpd(form->input, form->output, out, outputs);
      break;
    case CallForm::Kind::ActiveParallel:
    case CallForm::Kind::LoaderFirst:
      convertCof(form->input, options, out, outputs);
      break;
    case CallForm::Kind::LoaderSecond:
      convertPofToHex(form->input, form->output, out, outputs);
      break;
    }
  } catch (const SuiteError &e) {
    // A caller that judges the run by its output files must not find stale ones from an
    // earlier run, so the files this run was asked for are removed.
    for (const std::string &path : outputs)
      removeQuietly(path);
    out.flush();
    err << "Error: " << e.what() << "\n";
    return EXIT_FAILED;
  }
  out << msg::CONVERSION_DONE << "\n";
  return EXIT_OK;
}

} // namespace vantrel::suite
