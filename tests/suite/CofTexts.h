// The two conversion descriptions as the conversion application writes them, with their
// placeholders, for tests that fill them in the same way.
#pragma once

#include <string>

namespace vantrel::suite::testing {

/// The active-parallel description: CR LF line ends, eight blanks per level.
inline const std::string ACTIVE_PARALLEL_COF =
    "<?xml version=\"1.0\" encoding=\"US-ASCII\" standalone=\"yes\"?>\r\n"
    "<cof>\r\n"
    "        <eprom_name>CFI_256MB</eprom_name>\r\n"
    "        <output_filename>RBFOUTPUTFILENAME</output_filename>\r\n"
    "        <n_pages>1</n_pages>\r\n"
    "        <width>1</width>\r\n"
    "        <mode>8</mode>\r\n"
    "        <sof_data>\r\n"
    "                <page_flags>1</page_flags>\r\n"
    "                <bit0>\r\n"
    "                        <sof_filename>SOFINPUTFILENAME</sof_filename>\r\n"
    "                </bit0>\r\n"
    "        </sof_data>\r\n"
    "        <version>4</version>\r\n"
    "        <options>\r\n"
    "        </options>\r\n"
    "</cof>\r\n";

/// The loader description: CR LF line ends, one tab per level, no final line end.
inline const std::string KLD_COF =
    "<?xml version=\"1.0\" encoding=\"US-ASCII\" standalone=\"yes\"?>\r\n"
    "<cof>\r\n"
    "\t<eprom_name>CFI_1GB</eprom_name>\r\n"
    "\t<output_filename>POFOUTPUTFILENAME</output_filename>\r\n"
    "\t<n_pages>1</n_pages>\r\n"
    "\t<width>1</width>\r\n"
    "\t<mode>PROGRAMMINGMODE</mode>\r\n"
    "\t<sof_data>\r\n"
    "\t\t<start_address>FPGASTARTADDRESS</start_address>\r\n"
    "\t\t<user_name>Page_0</user_name>\r\n"
    "\t\t<page_flags>1</page_flags>\r\n"
    "\t\t<bit0>\r\n"
    "\t\t\t<sof_filename>SOFINPUTFILENAME</sof_filename>\r\n"
    "\t\t</bit0>\r\n"
    "\t</sof_data>\r\n"
    "\t<version>4</version>\r\n"
    "\t<options>\r\n"
    "\t\t<map_file>1</map_file>\r\n"
    "\t\t<option_start_address>OPTIONSTARTADDRESS</option_start_address>\r\n"
    "\t</options>\r\n"
    "</cof>";

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
