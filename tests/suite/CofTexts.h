// The two conversion descriptions as the conversion application writes them (its own
// templates, placeholders and all), for tests that fill them in the same way.
#pragma once

#include "bitmorph/templates/CofTemplates.h"

#include <string>

namespace vantrel::suite::testing {

/// The active-parallel description: CR LF line ends, eight blanks per level.
inline const std::string ACTIVE_PARALLEL_COF{bitmorph::templates::activeParallelTemplate()};

/// The loader description: CR LF line ends, one tab per level, no final line end.
inline const std::string KLD_COF{bitmorph::templates::kldTemplate()};

/// text with every occurrence of token replaced by value, character for character.
inline std::string replaceAll(std::string text, const std::string &token, const std::string &value) {
  for (std::size_t at = text.find(token); at != std::string::npos; at = text.find(token, at + value.size())) {
    text.replace(at, token.size(), value);
  }
  return text;
}

/// The active-parallel description for sof and rbf.
inline std::string activeParallelCof(const std::string &sof, const std::string &rbf) {
  return replaceAll(replaceAll(ACTIVE_PARALLEL_COF, "SOFINPUTFILENAME", sof), "RBFOUTPUTFILENAME", rbf);
}

/// The loader description, filled in the order the conversion application fills it.
inline std::string kldCof(const std::string &sof, const std::string &pof, const std::string &start,
                          const std::string &optionStart, const std::string &mode) {
  std::string t = replaceAll(KLD_COF, "SOFINPUTFILENAME", sof);
  t = replaceAll(t, "POFOUTPUTFILENAME", pof);
  t = replaceAll(t, "FPGASTARTADDRESS", start);
  t = replaceAll(t, "OPTIONSTARTADDRESS", optionStart);
  return replaceAll(t, "PROGRAMMINGMODE", mode);
}

} // namespace vantrel::suite::testing
