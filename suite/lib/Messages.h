// The fixed message texts of the suite tools, kept together so tests use the same constants.
#pragma once

namespace vantrel::suite::msg {

// Reading a SOF.
inline constexpr char SOF_NO_SIGNATURE[] = "not a SOF file (no SOF signature)";
inline constexpr char SOF_ENDS_EARLY[] = "the SOF file ends early";
inline constexpr char SOF_BAD_LENGTH[] = "a record of the SOF file has an invalid length";
inline constexpr char SOF_NO_PART_NAME[] = "the SOF file names no part";
inline constexpr char SOF_NO_CONFIG_DATA[] = "the SOF file holds no configuration data";
inline constexpr char SOF_BAD_CHECKSUM[] = "the configuration data of the SOF file fail their checksum";
inline constexpr char UNKNOWN_PART[] = "unknown device part: ";

// Files.
inline constexpr char CANNOT_READ[] = "cannot read ";
inline constexpr char CANNOT_WRITE[] = "cannot write ";

// Options files.
inline constexpr char OPTIONS_BAD_LINE[] = "is not SETTING=ON or SETTING=OFF";
inline constexpr char OPTIONS_UNKNOWN[] = "sets an unknown option: ";

// Conversion description (COF) files.
inline constexpr char COF_MALFORMED[] = "the conversion description is not well-formed XML: ";
inline constexpr char COF_NOT_COF[] = "the conversion description's root element is not cof";
inline constexpr char COF_MISSING[] = "the conversion description lacks the element ";
inline constexpr char COF_BAD_NUMBER[] = "the conversion description holds no valid number in ";
inline constexpr char COF_BAD_OUTPUT[] =
    "the conversion description's output file must end in .rbf or .pof: ";
inline constexpr char COF_PAGES[] = "the conversion description must describe exactly one page";
inline constexpr char COF_WIDTH[] = "the conversion description must give a data width of 1";
inline constexpr char COF_BAD_FLASH[] = "unknown flash device in the conversion description: ";
inline constexpr char COF_BAD_MODE[] =
    "unsupported programming mode in the conversion description (0, 6 or 8 expected): ";
inline constexpr char COF_BAD_PAGE_NAME[] = "the page name in the conversion description must be one word: ";

// Placing images.
inline constexpr char DOES_NOT_FIT[] = "does not fit in the ";
inline constexpr char OPTION_BITS_OVERLAP[] = "the option bits overlap the design: ";
inline constexpr char SERIAL_REFUSED[] =
    "serial configuration devices are not supported for the device family of part ";

// Programming object files.
inline constexpr char POF_NOT_POF[] = "not a programming object file";
inline constexpr char POF_ENDS_EARLY[] = "the programming object file ends early";
inline constexpr char POF_DAMAGED[] = "the programming object file is damaged (checksum mismatch)";
inline constexpr char POF_MISSING[] = "the programming object file lacks its record ";
inline constexpr char POF_NOT_SERIAL[] =
    "the programming object file holds no serial configuration image (make it with --device)";

// Configuration images.
inline constexpr char IMAGE_NO_SYNC[] = "not a configuration image (no 0xFF preamble and 0x6A sync byte)";
inline constexpr char IMAGE_TRUNCATED[] = "the configuration image is truncated";
inline constexpr char IMAGE_BAD_VERSION[] = "unknown configuration image version";
inline constexpr char IMAGE_BAD_LENGTH[] = "the configuration image states a wrong length";
inline constexpr char IMAGE_BAD_PAYLOAD[] = "the compressed configuration data are damaged";
inline constexpr char IMAGE_BAD_CHECKSUM[] = "the configuration data fail their checksum";
inline constexpr char IMAGE_TOO_LARGE[] = "the configuration data are too large (512 MiB at most)";

// Hex records.
inline constexpr char HEX_NO_COLON[] = "record does not start with ':'";
inline constexpr char HEX_NOT_HEX[] = "record holds a character that is not a hexadecimal digit";
inline constexpr char HEX_ODD[] = "record has an odd number of hexadecimal digits";
inline constexpr char HEX_SHORT[] = "record is too short";
inline constexpr char HEX_COUNT[] = "record length does not match its byte count";
inline constexpr char HEX_CHECKSUM[] = "checksum mismatch";
inline constexpr char HEX_TYPE[] = "unknown record type ";
inline constexpr char HEX_TYPE_LENGTH[] = "wrong byte count for a record of type ";
inline constexpr char HEX_AFTER_EOF[] = "data after the end-of-file record";
inline constexpr char HEX_NO_EOF[] = "no end-of-file record";
inline constexpr char HEX_OVERLAP[] = "data given twice for address ";
inline constexpr char HEX_PAST_END[] = "data run past the end of the 32-bit address space";

// Command lines.
inline constexpr char UNKNOWN_DEVICE[] = "unknown configuration device: ";
inline constexpr char OBJCOPY_FORMAT[] = "unsupported output format (only srec is written): ";
inline constexpr char OBJCOPY_INPUT_FORMAT[] = "unsupported input format (only ihex is read): ";
inline constexpr char CONVERTER_BANNER[] = "Programming-file converter (bitmorph suite stand-in)";
inline constexpr char CONVERSION_DONE[] = "Conversion done";

// The SOF writer.
inline constexpr char SOFGEN_UNKNOWN_ARG[] = "unknown argument: ";
inline constexpr char SOFGEN_NO_PART[] = "a part name is needed (--part)";
inline constexpr char SOFGEN_NO_OUTPUT[] = "an output file is needed (--output)";
inline constexpr char SOFGEN_BAD_ORDER[] = "the byte order must be big or little: ";
inline constexpr char SOFGEN_DATA_AND_SIZE[] = "--data cannot be combined with --size or --seed";
inline constexpr char SOFGEN_BAD_SEED[] = "the seed is not a number: ";
inline constexpr char SOFGEN_BAD_SIZE[] = "the size must be a number from 1 to 67108864: ";
inline constexpr char SOFGEN_EMPTY_DATA[] = "the configuration data file is empty";

} // namespace vantrel::suite::msg
