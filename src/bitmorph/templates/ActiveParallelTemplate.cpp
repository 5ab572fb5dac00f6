// The active-parallel conversion description: CR LF line ends, eight blanks per level.
#include "bitmorph/templates/CofTemplates.h"

namespace vantrel::bitmorph::templates {

namespace {
constexpr char TEXT[] = "<?xml version=\"1.0\" encoding=\"US-ASCII\" standalone=\"yes\"?>\r\n"
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
} // namespace

std::string_view activeParallelTemplate() {
  return {TEXT, sizeof(TEXT) - 1};
}

} // namespace vantrel::bitmorph::templates
