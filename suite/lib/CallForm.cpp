// Matching a command line against the converter's call forms.
#include "CallForm.h"

#include "FlashLayout.h"
#include "PathText.h"

namespace vantrel::suite {

const char PREXA_CPF_USAGE[] =
    "Usage:\n"
    "  prexa_cpf --no_banner --convert [--option=<options file>] <input.sof> <output.rbf>\n"
    "  prexa_cpf --no_banner --convert [--option=<options file>] <description.cof>\n"
    "  prexa_cpf --no_banner --convert --device=<SPROM128|QPROM256|QPROM128> --option=<options file>"
    " <input.sof> <output.pof>\n"
    "  prexa_cpf --no_banner --convert <input.pof> <output.rpd>\n"
    "  prexa_cpf -c <description.cof> [--option <options file>]\n"
    "  prexa_cpf -c <input.pof> <output.hexout>\n";

namespace {
bool startsWith(const std::string &s, const char *prefix) {
  return s.rfind(prefix, 0) == 0;
}
bool isPositional(const std::string &s) {
  return !s.empty() && s[0] != '-';
}
} // namespace

std::optional<CallForm> parseCallForm(const std::vector<std::string> &args, std::string &deviceError) {
  deviceError.clear();
  CallForm form;
  if (args.size() >= 3 && args[0] == "--no_banner" && args[1] == "--convert") {
    std::size_t i = 2;
    if (startsWith(args[i], "--device=")) {
      form.device = args[i].substr(9);
      ++i;
    }
    if (i < args.size() && startsWith(args[i], "--option=")) {
      form.optionsFile = args[i].substr(9);
      if (form.optionsFile.empty()) return std::nullopt;
      ++i;
    }
    std::vector<std::string> names(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
    for (const std::string &n : names) {
      if (!isPositional(n)) return std::nullopt;
    }
    if (!form.device.empty()) {
      if (form.optionsFile.empty() || names.size() != 2 || !hasExtension(names[0], ".sof") ||
          !hasExtension(names[1], ".pof")) {
        return std::nullopt;
      }
      if (!serialDeviceCapacity(form.device)) {
        deviceError = form.device;
        return std::nullopt;
      }
      form.kind = CallForm::Kind::SerialFirst;
      form.input = names[0];
      form.output = names[1];
      return form;
    }
    if (names.size() == 1 && hasExtension(names[0], ".cof")) {
      form.kind = CallForm::Kind::ActiveParallel;
      form.input = names[0];
      return form;
    }
    if (names.size() == 2 && hasExtension(names[0], ".sof") && hasExtension(names[1], ".rbf")) {
      form.kind = CallForm::Kind::Parallel;
    } else if (names.size() == 2 && form.optionsFile.empty() && hasExtension(names[0], ".pof") &&
               hasExtension(names[1], ".rpd")) {
      form.kind = CallForm::Kind::SerialSecond;
    } else {
      return std::nullopt;
    }
    form.input = names[0];
    form.output = names[1];
    return form;
  }
  if (!args.empty() && args[0] == "-c") {
    if (args.size() == 2 && isPositional(args[1]) && hasExtension(args[1], ".cof")) {
      form.kind = CallForm::Kind::LoaderFirst;
      form.input = args[1];
      return form;
    }
    if (args.size() == 4 && isPositional(args[1]) && hasExtension(args[1], ".cof") && args[2] == "--option" &&
        isPositional(args[3])) {
      form.kind = CallForm::Kind::LoaderFirst;
      form.input = args[1];
      form.optionsFile = args[3];
      return form;
    }
    if (args.size() == 3 && isPositional(args[1]) && isPositional(args[2]) && hasExtension(args[1], ".pof") &&
        hasExtension(args[2], ".hexout")) {
      form.kind = CallForm::Kind::LoaderSecond;
      form.input = args[1];
      form.output = args[2];
      return form;
    }
  }
  return std::nullopt;
}

} // namespace vantrel::suite
