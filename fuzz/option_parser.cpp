// Fuzz target: the option tokenizer and parser on arbitrary argument lists, with the
// driver's option table and the standard options, strict and lenient, checked against the
// tokenizing and parsing rules restated plainly for that table.
//
// Input format: the arguments separated by NUL bytes (at most 64 are taken); an empty
// input is an empty argument list.
#include "FuzzCheck.h"
#include "NumberReference.h"
#include "bitmorph/Bitmorph.h"
#include "commandApplication/NumberDecoding.h"
#include "commandOptions/CommandLine.h"
#include "commandOptions/OptionBuilder.h"
#include "commandOptions/OptionMessages.h"
#include "commandOptions/Options.h"
#include "commandOptions/ParseException.h"
#include "commandOptions/PosixParser.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using fuzzing::check;
using namespace vantrel::commandOptions;

/// The table the tool parses with: the driver's options and the standard ones.
const Options &table() {
  static const std::unique_ptr<Options> options = [] {
    auto opts = vantrel::bitmorph::Bitmorph::buildOptions();
    opts->addOption("help", std::optional<std::string>("h"), false, "print this message");
    opts->addOption("verbose", std::optional<std::string>("v"), false, "verbose");
    opts->addOption("quiet", std::optional<std::string>("q"), false, "quiet");
    opts->addOption(
        OptionBuilder::withShortOpt("l").hasArg().withArgName("file").withDescription("log").create("log"));
    return opts;
  }();
  return *options;
}

/// One option of the table as the reference sees it.
struct Spec {
  const char *longName;
  char shortName; // 0: none
  bool takesValue;
  bool equalsSeparates; // "=" splits a value
};

constexpr Spec SPECS[] = {
    {"input", 'i', true, true},         {"output", 'o', true, true},
    {"options", 0, true, true},         {"offset", 0, true, true},
    {"kld", 0, false, false},           {"optionbit", 0, true, true},
    {"programmingmode", 0, true, true}, {"sprom", 0, false, false},
    {"qprom", 0, false, false},         {"qprom128", 0, false, false},
    {"compress", 'c', false, false},    {"activeparallel", 'a', false, false},
    {"timestamp", 0, false, false},     {"save", 's', false, false},
    {"debug", 0, false, false},         {"help", 'h', false, false},
    {"verbose", 'v', false, false},     {"quiet", 'q', false, false},
    {"log", 'l', true, false},
};

const Spec *byShort(char c) {
  for (const Spec &s : SPECS)
    if (s.shortName != 0 && s.shortName == c) return &s;
  return nullptr;
}

/// "--name" by long name, "-x" by short name.
const Spec *byToken(const std::string &token) {
  if (token.rfind("--", 0) == 0) {
    for (const Spec &s : SPECS)
      if (token.compare(2, std::string::npos, s.longName) == 0) return &s;
    return nullptr;
  }
  if (token.size() == 2 && token[0] == '-') return byShort(token[1]);
  return nullptr;
}

std::vector<std::string> tokenize(const std::vector<std::string> &args) {
  std::vector<std::string> tokens;
  for (const std::string &a : args) {
    if (a.rfind("--", 0) == 0) {
      const auto eq = a.find('=');
      tokens.push_back(a.substr(0, eq));
      if (eq != std::string::npos) tokens.push_back(a.substr(eq + 1));
    } else if (a.size() > 2 && a[0] == '-') {
      for (std::size_t i = 1; i < a.size(); ++i) {
        const Spec *s = byShort(a[i]);
        if (s == nullptr) {
          tokens.push_back("-" + a.substr(i));
          break;
        }
        tokens.push_back(std::string("-") + a[i]);
        if (s->takesValue && i + 1 < a.size()) {
          tokens.push_back(a.substr(i + 1));
          break;
        }
      }
    } else {
      tokens.push_back(a);
    }
  }
  return tokens;
}

struct Occurrence {
  std::string longName;
  std::vector<std::string> values;
};

struct Parsed {
  std::vector<Occurrence> occurrences;
  std::vector<std::string> args;
  std::optional<std::string> error; // the ParseException message
};

/// A single value: "=" splits it when the option says so, and pieces taken before a
/// refusal stay; refused when a second value would be needed.
bool offer(const Spec &s, std::vector<std::string> &values, const std::string &text) {
  std::string rest = text;
  if (s.equalsSeparates) {
    for (auto sep = rest.find('='); sep != std::string::npos; sep = rest.find('=')) {
      if (!values.empty()) return false;
      values.push_back(rest.substr(0, sep));
      rest = rest.substr(sep + 1);
    }
  }
  if (!values.empty()) return false;
  values.push_back(rest);
  return true;
}

Parsed reference(const std::vector<std::string> &args, bool lenient) {
  Parsed out;
  const auto tokens = tokenize(args);
  std::size_t i = 0;
  auto rest = [&] {
    while (i < tokens.size())
      out.args.push_back(tokens[i++]);
  };
  while (i < tokens.size()) {
    const std::string &t = tokens[i++];
    if (t == "--") {
      rest();
    } else if (t == "-") {
      out.args.push_back(t);
      rest();
    } else if (t[0] == '-') {
      const Spec *s = byToken(t);
      if (s == nullptr) {
        if (lenient) {
          out.args.push_back(t);
          continue;
        }
        out.error = std::string(messages::UNRECOGNIZED_OPTION) + t;
        return out;
      }
      Occurrence o{s->longName, {}};
      if (s->takesValue) {
        while (i < tokens.size()) {
          const std::string &v = tokens[i];
          if (v.rfind("--", 0) == 0 || (v[0] == '-' && v.size() > 1)) break;
          if (!offer(*s, o.values, v)) break;
          ++i;
        }
        if (o.values.empty()) {
          out.error = std::string(messages::NO_ARGUMENT_FOR) + s->longName;
          return out;
        }
      }
      out.occurrences.push_back(o);
    } else {
      out.args.push_back(t);
    }
  }
  return out;
}

void compare(const std::vector<std::string> &args, bool lenient) {
  const Parsed want = reference(args, lenient);
  PosixParser parser;
  std::optional<CommandLine> got;
  try {
    got = parser.parse(table(), args, lenient);
  } catch (const ParseException &e) {
    check(want.error.has_value(), "parse refused a command line");
    check(*want.error == e.what(), "parse error message");
    return;
  }
  check(!want.error.has_value(), "parse accepted a bad command line");
  check(got->getArgs() == want.args, "remaining arguments");
  const auto &occ = got->getOptions();
  check(occ.size() == want.occurrences.size(), "occurrence count");
  for (std::size_t k = 0; k < occ.size(); ++k) {
    check(occ[k].getLongOpt() == want.occurrences[k].longName, "occurrence name");
    check(occ[k].getValuesList() == want.occurrences[k].values, "occurrence values");
  }
  // Lookups by long name see the first occurrence's first value; numbers decode by the
  // shared rules.
  for (const Spec &s : SPECS) {
    const Occurrence *first = nullptr;
    for (const Occurrence &o : want.occurrences)
      if (o.longName == s.longName) {
        first = &o;
        break;
      }
    check(got->hasOption(s.longName) == (first != nullptr), "hasOption");
    const auto value = got->getOptionValue(s.longName);
    check(value == (first && !first->values.empty() ? std::optional(first->values[0]) : std::nullopt),
          "getOptionValue");
    if (value)
      check(vantrel::commandApplication::decodeInteger(*value) == fuzzing::referenceNumber(*value),
            "integer value");
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  std::vector<std::string> args;
  if (size > 0) {
    std::string current;
    for (std::size_t i = 0; i < size; ++i) {
      if (data[i] == 0) {
        args.push_back(current);
        current.clear();
      } else {
        current += static_cast<char>(data[i]);
      }
    }
    args.push_back(current);
  }
  if (args.size() > 64) args.resize(64);
  compare(args, true);
  compare(args, false);
  return 0;
}
