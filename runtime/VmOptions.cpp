// The machine's options (-D, -X and the assertion and verbosity switches), shared by the
// java program and the VM library's creation call.
#include "VmOptions.h"

#include "RuntimeMessages.h"

#include <cstdio>

namespace vantrel::runtime {
namespace {

bool startsWith(const std::string &s, const char *prefix) {
  return s.rfind(prefix, 0) == 0;
}

std::string line(const char *pattern, const std::string &value) {
  char buffer[2048];
  std::snprintf(buffer, sizeof buffer, pattern, value.c_str());
  return buffer;
}

// Switches that take no value or a free-form suffix and change nothing in this machine.
bool isAcceptedSwitch(const std::string &o) {
  for (const char *exact :
       {"-Xint", "-Xmixed", "-Xrs", "-Xbatch", "-verbose", "-ea", "-da", "-esa", "-dsa", "-enableassertions",
        "-disableassertions", "-enablesystemassertions", "-disablesystemassertions"})
    if (o == exact) return true;
  for (const char *prefix :
       {"-verbose:", "-ea:", "-da:", "-enableassertions:", "-disableassertions:", "-Xshare:"})
    if (startsWith(o, prefix)) return true;
  return false;
}

} // namespace

std::optional<std::uint64_t> parseMemorySize(const std::string &text) {
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  std::size_t i = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    const std::uint64_t digit = static_cast<std::uint64_t>(text[i] - '0');
    if (value > (UINT64_MAX - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  if (i == 0) return std::nullopt;
  if (i == text.size()) return value;
  if (i + 1 != text.size()) return std::nullopt;
  int shift = 0;
  switch (text[i]) {
  case 'k':
  case 'K':
    shift = 10;
    break;
  case 'm':
  case 'M':
    shift = 20;
    break;
  case 'g':
  case 'G':
    shift = 30;
    break;
  case 't':
  case 'T':
    shift = 40;
    break;
  default:
    return std::nullopt;
  }
  if (value > (UINT64_MAX >> shift)) return std::nullopt;
  return value << shift;
}

OptionStatus applyVmOption(const std::string &option, VmSettings &settings, std::string &message) {
  if (startsWith(option, "-D")) {
    const std::string property = option.substr(2);
    const std::size_t eq = property.find('=');
    const std::string name = property.substr(0, eq);
    const std::string value = eq == std::string::npos ? std::string() : property.substr(eq + 1);
    if (name.empty()) {
      message = line(messages::UNRECOGNIZED_OPTION, option);
      return OptionStatus::Unrecognized;
    }
    if (name == "java.class.path") settings.config.classPath = value;
    settings.config.properties[name] = value;
    return OptionStatus::Applied;
  }
  if (startsWith(option, "-Xms") || startsWith(option, "-Xmx")) {
    const bool initial = option[3] == 's';
    const auto size = parseMemorySize(option.substr(4));
    if (!size || *size == 0) {
      message = line(initial ? messages::INVALID_INITIAL_HEAP : messages::INVALID_MAXIMUM_HEAP, option);
      return OptionStatus::Invalid;
    }
    (initial ? settings.initialHeap : settings.maximumHeap) = *size;
    return OptionStatus::Applied;
  }
  if (startsWith(option, "-Xss")) {
    if (!parseMemorySize(option.substr(4))) {
      message = line(messages::INVALID_STACK_SIZE, option);
      return OptionStatus::Invalid;
    }
    return OptionStatus::Applied;
  }
  if (isAcceptedSwitch(option)) return OptionStatus::Applied;
  message = line(messages::UNRECOGNIZED_OPTION, option);
  return OptionStatus::Unrecognized;
}

bool checkVmSettings(const VmSettings &settings, std::string &message) {
  if (settings.initialHeap && settings.maximumHeap && settings.initialHeap > settings.maximumHeap) {
    message = messages::HEAP_SIZES_INCOMPATIBLE;
    return false;
  }
  return true;
}

} // namespace vantrel::runtime
