// The flash-loader conversion description: CR LF line ends, one tab per level, and no line
// end after the closing "</cof>".
#include "bitmorph/templates/CofTemplates.h"

namespace vantrel::bitmorph::templates {

namespace {
constexpr char TEXT[] = "<?xml version=\"1.0\" encoding=\"US-ASCII\" standalone=\"yes\"?>\r\n"
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
} // namespace

std::string_view kldTemplate() {
  return {TEXT, sizeof(TEXT) - 1};
}

} // namespace vantrel::bitmorph::templates
