// Fuzz target: the stand-in converter's conversion-description (COF) reader and the XML
// reader under it; and the driver's filled-in templates, which that reader must take back
// with the same file names.
//
// Input format: the COF text exactly as it would be on disk. Its first line (without the
// line end) also serves as the SOF path filled into both templates.
#include "CofFile.h"
#include "FuzzCheck.h"
#include "ScratchFile.h"
#include "XmlDocument.h"
#include "bitmorph/BitmorphCofMaker.h"
#include "platform/file.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace {

using fuzzing::check;
using vantrel::bitmorph::BitmorphCofMaker;
using vantrel::suite::parseCof;
using vantrel::suite::parseXml;
using vantrel::suite::XmlElement;

std::string escaped(std::string_view s, bool attribute) {
  std::string out;
  for (char c : s) {
    switch (c) {
    case '&':
      out += "&amp;";
      break;
    case '<':
      out += "&lt;";
      break;
    case '>':
      out += "&gt;";
      break;
    case '"':
      out += attribute ? "&quot;" : "\"";
      break;
    default:
      out += c;
    }
  }
  return out;
}

/// The element as XML text: attributes, then its character data, then its children.
void serialize(const XmlElement &e, std::string &out) {
  out += "<" + e.name;
  for (const auto &a : e.attributes)
    out += " " + a.first + "=\"" + escaped(a.second, true) + "\"";
  out += ">" + escaped(e.text, false);
  for (const XmlElement &c : e.children)
    serialize(c, out);
  out += "</" + e.name + ">";
}

bool sameTree(const XmlElement &a, const XmlElement &b) {
  if (a.name != b.name || a.attributes != b.attributes || a.text != b.text ||
      a.children.size() != b.children.size())
    return false;
  for (std::size_t i = 0; i < a.children.size(); ++i)
    if (!sameTree(a.children[i], b.children[i])) return false;
  return true;
}

std::string trimmed(std::string_view s) {
  const auto b = s.find_first_not_of(" \t\r\n");
  if (b == std::string_view::npos) return {};
  const auto e = s.find_last_not_of(" \t\r\n");
  return std::string(s.substr(b, e - b + 1));
}

bool holdsToken(std::string_view s) {
  for (std::string_view token : {BitmorphCofMaker::SOFTOKEN, BitmorphCofMaker::RBFTOKEN,
                                 BitmorphCofMaker::POFOUTPUTFILENAME, BitmorphCofMaker::STARTADDRESS,
                                 BitmorphCofMaker::OPTIONSTARTADDRESS, BitmorphCofMaker::PROGRAMMINGMODE})
    if (s.find(token) != std::string_view::npos) return true;
  return false;
}

/// Both templates filled with sof as the SOF path: the reader finds that path again.
void checkTemplates(const std::string &sof) {
  const std::string cof = fuzzing::scratchPath("description.cof");
  // A path that itself holds a later token is changed by the later replacement: the
  // replacements run one after another over the whole text.
  const bool comparable = !trimmed(sof).empty() && !holdsToken(sof);

  const BitmorphCofMaker parallel(sof, std::string("top.rbf"), cof);
  const auto ap = parseCof(parallel.getCofContent());
  if (comparable) {
    check(ap.ok(), "filled active-parallel template is read");
    check(ap.value().sofFile == trimmed(sof), "active-parallel SOF path");
    check(ap.value().outputFile == "top.rbf", "active-parallel output path");
    check(ap.value().modeCode == 8, "active-parallel mode");
  }

  const BitmorphCofMaker loader(cof, sof, "top.pof", "0x20000", "0x18000", "6");
  const auto kld = parseCof(loader.getCofContent());
  if (comparable) {
    check(kld.ok(), "filled loader template is read");
    check(kld.value().sofFile == trimmed(sof), "loader SOF path");
    check(kld.value().outputFile == "top.pof", "loader output path");
    check(kld.value().startAddress == 0x20000 && kld.value().optionStart == 0x18000u, "loader addresses");
    check(kld.value().memoryMap && kld.value().modeCode == 6, "loader map and mode");
  }
  vantrel::platform::removeFile(cof);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char *>(data), size);

  const auto xml = parseXml(text);
  if (xml.ok()) {
    // What was read, written back as plain XML, reads back the same.
    std::string again;
    serialize(xml.value(), again);
    const auto reparsed = parseXml(again);
    check(reparsed.ok(), "serialized document reads back");
    check(sameTree(xml.value(), reparsed.value()), "serialized document is the same tree");
  } else {
    check(xml.error().rfind("line ", 0) == 0, "XML error names its line");
  }

  const auto cof = parseCof(text);
  if (cof.ok()) {
    check(xml.ok() && xml.value().name == "cof", "a description is a cof document");
    const auto &c = cof.value();
    check(vantrel::suite::parallelFlashCapacity(c.flashDevice) == c.flashCapacity, "flash capacity");
    check(c.modeCode == 0 || c.modeCode == 6 || c.modeCode == 8, "mode code");
    check(!c.sofFile.empty() && !c.outputFile.empty(), "file names present");
    check(!c.pageName.empty() && c.pageName.find_first_of(" \t\r\n") == std::string::npos,
          "page name is one word");
  } else {
    check(!cof.error().empty(), "a refusal has a message");
  }

  const std::string_view firstLine = text.substr(0, std::min(text.find_first_of("\r\n"), std::size_t{200}));
  checkTemplates(std::string(firstLine));
  return 0;
}
