// Template filling for the active-parallel and flash-loader conversion descriptions.
#include "bitmorph/BitmorphCofMaker.h"

#include "bitmorph/templates/CofTemplates.h"
#include "utilities/ZemFile.h"

namespace vantrel::bitmorph {

BitmorphCofMaker::BitmorphCofMaker(const std::optional<std::string> &sof,
                                   const std::optional<std::string> &rbf,
                                   const std::optional<std::string> &cof) {
  if (!sof || !rbf || !cof) return;
  sofFileName = *sof;
  rbfFileName = *rbf;
  cofFileName = *cof;
  go();
}

BitmorphCofMaker::BitmorphCofMaker(const std::string &cof, const std::string &sof, const std::string &pof,
                                   const std::string &start, const std::string &optionStart,
                                   const std::string &mode) {
  cofFileName = cof;
  sofFileName = sof;
  kldgo(pof, start, optionStart, mode);
}

void BitmorphCofMaker::go() {
  readTemplate(templateFileName);
  fill(SOFTOKEN, sofFileName);
  fill(RBFTOKEN, rbfFileName);
  writeCof();
}

void BitmorphCofMaker::kldgo(const std::string &pof, const std::string &start, const std::string &optionStart,
                             const std::string &mode) {
  templateFileName = std::string(templates::KLD_NAME);
  readTemplate(templateFileName);
  fill(SOFINPUTFILENAME, sofFileName);
  fill(POFOUTPUTFILENAME, pof);
  fill(STARTADDRESS, start);
  fill(OPTIONSTARTADDRESS, optionStart);
  fill(PROGRAMMINGMODE, mode);
  writeCof();
}

void BitmorphCofMaker::readTemplate(std::string_view name) {
  const auto text = templates::findTemplate(name);
  cofContent = text ? std::string(*text) : std::string();
}

void BitmorphCofMaker::fill(std::string_view token, std::string_view value) {
  cofContent = replaceAll(cofContent, token, xmlEscape(value));
}

bool BitmorphCofMaker::writeCof() const {
  lastWriteOk = utilities::ZemFile::writeFile(cofFileName, cofContent);
  return lastWriteOk;
}

std::string BitmorphCofMaker::replaceAll(const std::string &text, std::string_view token,
                                         std::string_view value) {
  if (token.empty()) return text;
  std::string result;
  result.reserve(text.size());
  std::size_t from = 0;
  for (std::size_t at = text.find(token); at != std::string::npos; at = text.find(token, from)) {
    result.append(text, from, at - from);
    result.append(value);
    from = at + token.size();
  }
  result.append(text, from, std::string::npos);
  return result;
}

std::string BitmorphCofMaker::xmlEscape(std::string_view value) {
  std::string result;
  result.reserve(value.size());
  for (char c : value) {
    switch (c) {
    case '&':
      result += "&amp;";
      break;
    case '<':
      result += "&lt;";
      break;
    case '>':
      result += "&gt;";
      break;
    case '"':
      result += "&quot;";
      break;
    case '\'':
      result += "&apos;";
      break;
    default:
      result += c;
      break;
    }
  }
  return result;
}

} // namespace vantrel::bitmorph
