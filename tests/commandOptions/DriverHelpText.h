// The conversion tool's help header and its complete help text, the golden text of the
// help tests; "\n" stands for the platform line separator.
#pragma once

namespace vantrel::commandOptions::test {

/// The help of a tool named "tool" with only the four standard options.
inline const char *const STANDARD_HELP = "usage: tool [--help] [--log=file] [--quiet] [--verbose]\n"
                                         "\n"
                                         "Options may be specified in any order.\n"
                                         "\n"
                                         "    --help         print this message\n"
                                         "    --log=<file>   file for logging progress\n"
                                         "    --quiet        only print errors\n"
                                         "    --verbose      lots of interesting information\n";

inline const char *const DRIVER_HEADER =
    "The bitmorph utility takes an FPGA configuration file in SOF format and translates it to "
    "a FLASH file that can be programmed into the flash memory connected to an Vantrel FPGA.\n";

// The help of the conversion tool; "\n" stands for the platform line separator. The ninth
// line ends with one blank.
inline const char *const DRIVER_HELP =
    "The bitmorph utility takes an FPGA configuration file in SOF format and\n"
    "translates it to a FLASH file that can be programmed into the flash\n"
    "memory connected to an Vantrel FPGA.\n"
    "\n"
    "usage: bitmorph [--programmingmode=programmingmode] [--qprom128]\n"
    "       [--debug] [--optionbit=optionbitaddress] [--save] [--quiet] [--verbose]\n"
    "       [--activeparallel] [--kld] [--timestamp] [--help] [--log=file]\n"
    "       [--input=file] [--offset=addr] [--sprom] [--compress] [--options=file]\n"
    "       [--qprom] [--output=file] \n"
    "\n"
    "Options may be specified in any order.\n"
    "\n"
    "    --activeparallel                      create parallel flash contents\n"
    "                                          for active parallel programming\n"
    "    --compress                            compress the SOF\n"
    "    --debug                               debug mode\n"
    "    --help                                print this message\n"
    "    --input=<file>                        input SOF file to process\n"
    "    --kld                                 Kld mode\n"
    "    --log=<file>                          file for logging progress\n"
    "    --offset=<addr>                       design location within the\n"
    "                                          flash\n"
    "    --optionbit=<optionbitaddress>        Option Bit Address\n"
    "    --options=<file>                      intermediate Options file (for\n"
    "                                          SPROM only)\n"
    "    --output=<file>                       output flash file\n"
    "    --programmingmode=<programmingmode>   Programming mode\n"
    "    --qprom                               QPROM flash mode of size\n"
    "                                          256Mbits\n"
    "    --qprom128                            QPROM flash mode of size\n"
    "                                          128Mbits or less\n"
    "    --quiet                               only print errors\n"
    "    --save                                save intermediate files\n"
    "    --sprom                               SPROM flash mode\n"
    "    --timestamp                           produce a s0 record with\n"
    "                                          timestamp of input file\n"
    "    --verbose                             lots of interesting\n"
    "                                          information\n";

} // namespace vantrel::commandOptions::test
