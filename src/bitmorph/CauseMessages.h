// The lines that say why: options a run sets aside, and the cause of a failure, logged
// before the conversion's own message so that a user can act without --debug.
#pragma once

namespace vantrel::bitmorph::messages {

// Options set aside, one line each on standard output beside the unrecognised-argument
// warning. Each starts with "Warning: " and names the option.
inline constexpr const char *WARNING = "Warning: ";
/// A left-over word that is neither the input SOF nor the output file; the word follows.
inline constexpr const char *UNUSED_ARGUMENT =
    "Warning: Unused argument (neither the input SOF nor the output file) ";
inline constexpr const char *OFFSET_IN_SERIAL_MODE =
    "--offset is not used in serial mode: the design is placed at 0";
/// The serial modes given, then this and the one the run uses.
inline constexpr const char *SERIAL_MODES_GIVEN = " given together: the run uses ";
inline constexpr const char *PROGRAMMINGMODE_WITHOUT_KLD =
    "--programmingmode is only used with --kld: ignored";
inline constexpr const char *TIMESTAMP_WITH_KLD =
    "--timestamp is not used with --kld: the loader flow's S0 records hold the files' names";
/// An option given more than once with different values: option + GIVEN_TWICE + the value
/// used + GIVEN_TWICE_IGNORED + the others.
inline constexpr const char *GIVEN_TWICE = " given more than once: the first value counts, ";
inline constexpr const char *GIVEN_TWICE_IGNORED = "; ignored: ";
/// An option the flow the run takes does not read: option + NOT_READ_BY + the flow.
inline constexpr const char *NOT_READ_BY = " is not used by the ";
inline constexpr const char *SERIAL_FLOW = "serial flow (";
inline constexpr const char *SERIAL_FLOW_END = " wins)";
inline constexpr const char *LOADER_FLOW = "loader flow (--kld)";
inline constexpr const char *PARALLEL_FLOW_WITHOUT_COMPRESS = "parallel flow without --compress";
inline constexpr const char *SERIAL_ALWAYS_COMPRESSED =
    "--compress changes nothing in serial mode: serial images are always compressed";
/// The loader flow writes base.flash whatever --output named: --output= + name + this + files.
inline constexpr const char *LOADER_OUTPUT = ": the loader flow writes ";
inline constexpr const char *LOADER_OUTPUT_AND = " and ";

// The input SOF: "Input file " + name + what is wrong.
inline constexpr const char *INPUT_FILE = "Input file ";
inline constexpr const char *SOF_NOT_FOUND = ": not found";
inline constexpr const char *SOF_IS_FOLDER = ": is a folder, not a SOF file";
inline constexpr const char *SOF_CANNOT_OPEN = ": cannot be opened: ";
/// A read that failed part-way: + byte offset + SOF_READ_FAILED_REASON + the reason.
inline constexpr const char *SOF_READ_FAILED = ": cannot be read at byte ";
inline constexpr const char *SOF_READ_FAILED_REASON = ": ";
inline constexpr const char *SOF_NOT_A_SOF = ": not a SOF file: ";
inline constexpr const char *SOF_BAD_SIGNATURE = "it does not begin with the signature SOF";
/// "it ends at byte " + offset + where.
inline constexpr const char *SOF_ENDS_AT = "it ends at byte ";
inline constexpr const char *SOF_IN_HEADER = ", inside its header";
inline constexpr const char *SOF_NO_PART_NAME = " without a part-name record";
/// "its part-name record at byte " + offset + SOF_NAME_CLAIMS + length + SOF_NAME_BYTES.
inline constexpr const char *SOF_NAME_RECORD_AT = "its part-name record at byte ";
inline constexpr const char *SOF_NAME_CLAIMS = " claims ";
inline constexpr const char *SOF_NAME_BYTES = " bytes";
inline constexpr const char *SOF_NAME_PAST_END = ", past the end of the file at byte ";

// A family that refuses the mode: "The design in " + input + " is for part " + part + ", a
// " + family + " device, " + what it lacks.
inline constexpr const char *DESIGN_IN = "The design in ";
inline constexpr const char *DESIGN_PART = " is for part ";
inline constexpr const char *DESIGN_FAMILY = ", a ";
inline constexpr const char *DESIGN_DEVICE = " device, ";
inline constexpr const char *FAMILY_NO_SERIAL = "which has no serial configuration flash mode";
inline constexpr const char *FAMILY_NO_COMPRESSION = "which does not take compressed images";

// The flash image: "The image of " + size + " bytes placed at " + offset + where it ends.
inline constexpr const char *IMAGE_OF = "The image of ";
inline constexpr const char *IMAGE_BYTES = " bytes";
inline constexpr const char *PLACED_AT = " placed at ";
inline constexpr const char *WOULD_END_AT = " would end at ";
inline constexpr const char *PAST_WINDOW = ", past the flash window ";
inline constexpr const char *OUTSIDE_WINDOW = " would start outside the flash window ";
inline constexpr const char *WINDOW_TO = " to ";
/// A serial design size larger than the image: SERIAL_SIZE + size + SERIAL_SIZE_LARGER +
/// the image's size + IMAGE_BYTES.
inline constexpr const char *SERIAL_SIZE = "The serial design size of ";
inline constexpr const char *SERIAL_SIZE_LARGER = " bytes is larger than the converter's image of ";
inline constexpr const char *SERIAL_SIZE_UNKNOWN =
    "The serial design size is unknown: the image's header states none, or the converter's memory "
    "map has no Page_0 line giving it";

} // namespace vantrel::bitmorph::messages
