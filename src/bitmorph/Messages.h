// The conversion application's fixed texts: driver checks, flow failures, loader progress,
// the external tools' names and fixed arguments, and the names of the run's images.
#pragma once

namespace vantrel::bitmorph::messages {

// Start-up and help.
inline constexpr const char *APP_NAME = "bitmorph";
inline constexpr const char *HELP_HEADER =
    "The bitmorph utility takes an FPGA configuration file in SOF format and translates it to "
    "a FLASH file that can be programmed into the flash memory connected to an Vantrel "
    "FPGA.\n";
inline constexpr const char *HELP_FOOTER = "";

// Progress lines logged at fine level.
inline constexpr const char *STARTING = "Starting";
inline constexpr const char *DONE = "Done";
inline constexpr const char *KLD_DONE = "done";
inline constexpr const char *ARGS_ECHO = "args =";

// Argument processing.
inline constexpr const char *UNRECOGNIZED_ARGUMENT = "Warning: Unrecognized argument ";
inline constexpr const char *NO_INPUT = "Please specify an input SOF file (--input).";
inline constexpr const char *INPUT_NOT_SOF = "Input file, not found, or is not a valid SOF file.";
inline constexpr const char *UNRECOGNIZED_FAMILY = "Unrecognized device family in SOF.";
inline constexpr const char *NO_OUTPUT = "Please specify an output FLASH file (--output).";
inline constexpr const char *SPROM_FAMILY =
    "SPROM mode is supported for Ravelle families, Tessary II, Tessary III, Tessary IV, "
    "Tessary V devices, Mirren, Mirren II and Mirren V only.";
inline constexpr const char *NO_OFFSET =
    "Please supply an offset where you would like your SOF located (--offset).";
inline constexpr const char *COMPRESSION_FAMILY =
    "Compression is supported for Mirren GX, Mirren II GX, Mirren V, Ravelle II, Ravelle III, "
    "Ravelle IV, Ravelle V, Tessary II, Tessary III, and Tessary IV devices only.";
inline constexpr const char *KLD_NO_OPTIONBIT =
    "Please specify the option bit address (--optionbit) when in KLD mode";
inline constexpr const char *KLD_NO_PROGRAMMINGMODE =
    "Please specify the programming mode (--programmingmode) when in KLD mode. Options are "
    "FPP, PS";
inline constexpr const char *KLD_BAD_PROGRAMMINGMODE =
    "Please specify a correct programming mode. Modes supported are FPP, and PS";
inline constexpr const char *OPTIONBIT_WITHOUT_KLD =
    "Option Bit Address (--optionbit) is only available for KLD mode (--kld)";
inline constexpr const char *KLD_BAD_OPTIONBIT = "Please supply an Option bit address (--optionbit).";
inline constexpr const char *KLD_WITH_ACTIVEPARALLEL = "Active parallel mode cannot be used with KLD mode";
/// An output name that would overwrite the input or a file the run writes and deletes; the
/// clashing name follows.
inline constexpr const char *OUTPUT_CLASHES =
    "The output FLASH file must not be the input SOF file or an intermediate file of the "
    "run: ";
/// An input name that a file of the run would overwrite; the clashing name follows.
inline constexpr const char *INPUT_CLASHES =
    "The input SOF file must not be an intermediate file of the run: ";

/// A log file (--log) that would overwrite a design or a file of the run; the name follows.
inline constexpr const char *LOG_CLASHES =
    "The log file (--log) must not be a SOF file, the output or a file the run writes: ";
/// A name the run writes and removes that leads to something else than a regular file:
/// SPECIAL_RUN_FILE + the name + SPECIAL_RUN_FILE_KIND + what it is.
inline constexpr const char *SPECIAL_RUN_FILE = "A file the run writes and removes must be a regular file: ";
inline constexpr const char *SPECIAL_RUN_FILE_KIND = " is ";
/// A file of the run whose name is a Windows device: DEVICE_NAME + the name + DEVICE_NAME_HINT.
inline constexpr const char *DEVICE_NAME =
    "The name is a device of Windows, with any extension, so the run cannot keep its files beside it: ";
inline constexpr const char *DEVICE_NAME_HINT =
    ". Name the output (and --options) as files instead, for example --output=top.flash";

/// An options file (--options) named like a lock file of the run; the name follows.
inline constexpr const char *OPTIONS_CLASHES = "The options file must not be a lock file of the run: ";

/// Logged at info level, once, by a run that waits for another run on the same base name
/// (they would write the same intermediates); the lock file's name follows.
inline constexpr const char *RUN_WAITING = "Waiting for another run using the same intermediate files: ";

/// A lock a run cannot take (it then writes nothing): LOCK_FAILED + the lock file +
/// LOCK_FAILED_REASON + why.
inline constexpr const char *LOCK_FAILED = "Cannot take the lock file ";
inline constexpr const char *LOCK_FAILED_REASON = ": ";

// Driver outcomes.
inline constexpr const char *FLOW_FAILED = "Error creating intermediate files, exiting";
inline constexpr const char *RETRIEVE_FAILED = "Error retrieving data from ";
inline constexpr const char *READ_ERROR = "Read error: ";
inline constexpr const char *GENERATE_FAILED = "Error generating Flash file, exiting";
inline constexpr const char *WRITE_FAILED = "Error writing Flash file, exiting";
/// An error the program did not expect, printed on standard error with its own text.
inline constexpr const char *INTERNAL_ERROR = "Internal error: ";
/// The text of an internal error that carries none.
inline constexpr const char *UNKNOWN_ERROR = "unknown exception";
/// How the binary reader words a missing file; used for an output this run did not produce.
inline constexpr const char *FILE_PREFIX = "File: ";
inline constexpr const char *NOT_FOUND_SUFFIX = " not found, exiting";

// Images of the output stage and the loader flow.
inline constexpr const char *BINARY_IMAGE_NAME = "Address Space";
inline constexpr const char *FLASH_IMAGE_NAME = "SOF Flash";
inline constexpr const char *LOADER_READ_IMAGE_NAME = "name";
inline constexpr const char *LOADER_CUT_IMAGE_NAME = "myname";

// The external tools and their fixed arguments.
inline constexpr const char *CONVERTER = "prexa_cpf";
inline constexpr const char *CONVERTER_NO_BANNER = "--no_banner";
inline constexpr const char *CONVERTER_CONVERT = "--convert";
/// Followed by the options file's name in the same argument.
inline constexpr const char *CONVERTER_OPTION = "--option=";
inline constexpr const char *DEVICE_SPROM128 = "--device=SPROM128";
inline constexpr const char *DEVICE_QPROM256 = "--device=QPROM256";
inline constexpr const char *DEVICE_QPROM128 = "--device=QPROM128";
/// The loader flow's converter calls: "-c" and, with compression, "--option" and the file.
inline constexpr const char *CONVERTER_COF = "-c";
inline constexpr const char *CONVERTER_OPTION_FILE = "--option";
inline constexpr const char *OBJECT_COPY = "korvo-elf-objcopy";
inline constexpr const char *OBJECT_COPY_OUTPUT = "-O";
inline constexpr const char *OBJECT_COPY_SREC = "srec";

// How a tool run failed, each line starting with the tool's name: not found, or the
// process layer's reason it could not be started; a crash says how the tool ended
// (platform::describeEnding). With --debug the tool's standard error follows, one line each.
inline constexpr const char *TOOL_NOT_FOUND = ": not found on the search path";
inline constexpr const char *TOOL_SEPARATOR = ": ";
inline constexpr const char *TOOL_STANDARD_ERROR = " standard error: ";

// Conversion flows.
inline constexpr const char *OPTIONS_FILE_FAILED = "failed open options file: ";
inline constexpr const char *OPTIONS_FILE_FAILED_SUFFIX = ", exiting";
inline constexpr const char *LAUNCH_FAILED = "failed while launching conversion utilities.";
inline constexpr const char *OPTION_COMPRESSION = "BITSTREAM_COMPRESSION=ON";
inline constexpr const char *OPTION_MEMORY_MAP = "MEMORY_MAP_FILE=ON";

// Flash-loader flow.
inline constexpr const char *KLD_POF_FAILED = "Failed converting SOF to POF";
inline constexpr const char *KLD_NO_HEXFILE = "Failed to create hexfile";
/// The object-copy tool failed (its cause line comes first).
inline constexpr const char *KLD_SREC_FAILED = "Failed converting hexfile to SREC";
/// An earlier result that could not be put back after a failed run: KLD_EARLIER_KEPT + the
/// result's name + KLD_EARLIER_KEPT_AS + the name it is kept under.
inline constexpr const char *KLD_EARLIER_KEPT = "The earlier ";
inline constexpr const char *KLD_EARLIER_KEPT_AS = " could not be put back; it is kept as ";
inline constexpr const char *KLD_EXTRACT_OPTION_BITS = "Extracting Option bits SREC";
inline constexpr const char *KLD_EXTRACT_IMAGE = "Extracting FPGA Image SREC";
inline constexpr const char *KLD_DELETING = "Deleting intermediate files";
inline constexpr const char *KLD_SREC_NOT_FOUND = "File not found: ";
inline constexpr const char *KLD_EMPTY_DATA = "Cannot add an empty data array";
inline constexpr const char *KLD_OPTIONS_NOT_WRITTEN = "Unable to write options file ";
inline constexpr const char *MAP_UNREADABLE = "Unable to read memory map ";
inline constexpr const char *KLD_WRITE_FAILED = "Unable to write S-record file ";
inline constexpr const char *KLD_RANGE_EMPTY = "Empty address range in memory map: ";
/// A map range that S-records (32-bit addresses) cannot hold; the range follows.
inline constexpr const char *KLD_RANGE_TOO_LARGE = "Address range in memory map beyond 32-bit addresses: ";
/// Printed on standard error before the text of an S-record file that cannot be read.
inline constexpr const char *KLD_READ_ERROR_TRACE = "RWMemoryException: ";
/// The trace lines printed with --debug: the step of the loader flow that failed.
inline constexpr const char *KLD_TRACE_KLDGEN = "  at KLDFlashGenerator.kldgen";
inline constexpr const char *KLD_TRACE_GENERATE_POF = "  at KLDFlashGenerator.generatePofFromCof";
inline constexpr const char *KLD_TRACE_CONVERT_HEX = "  at KLDFlashGenerator.convertHexToSREC";
inline constexpr const char *KLD_TRACE_READ_MAP = "  at KLDFlashGenerator.readMap";
inline constexpr const char *KLD_TRACE_EXTRACT = "  at KLDFlashGenerator.extractSREC";

// Memory-map readers.
inline constexpr const char *MAP_LINE_MISSING = "Memory map has no line ";
inline constexpr const char *MAP_FIELD_MISSING_LINE = "Memory map line ";
inline constexpr const char *MAP_FIELD_MISSING_FIELD = " has no field ";
inline constexpr const char *MAP_NOT_A_NUMBER = "Memory map value is not a number: ";

// Device-family detection.
inline constexpr const char *FAMILY_NO_MATCH = "foo:";

} // namespace vantrel::bitmorph::messages
