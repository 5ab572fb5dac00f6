// Fixed message texts of the memory area, kept together so tests use the same constants.
#pragma once

namespace vantrel::memory::messages {

// Image and segment argument checks (invalid-argument errors).
inline constexpr const char *MEMORY_RANGE_POSITIVE = "Memory range must be positive";
inline constexpr const char *MEMORY_SIZE_POSITIVE = "Memory size must be positive";
inline constexpr const char *CANNOT_ADD_EMPTY = "Cannot add an empty data array";
inline constexpr const char *ADDRESS_POSITIVE = "Address must be positive";
inline constexpr const char *ADDRESS_AND_LENGTH_POSITIVE = "Address and Length must be positive";
inline constexpr const char *LENGTH_POSITIVE = "Length must be positive";
inline constexpr const char *LENGTH_UNSUPPORTED = "Lengths greater than: 2147483647 are unsupported";
inline constexpr const char *SEGMENT_BASE_POSITIVE = "Segments must have a positive base address";
inline constexpr const char *SEGMENT_WITHOUT_DATA = "Can't create a segment without data";
inline constexpr const char *ADDRESS_NOT_NEGATIVE = "Address cannot be negative";
inline constexpr const char *DATA_NOT_NULL = "Data cannot be null";
inline constexpr const char *DATA_DOESNT_OVERLAY = "Data doesn't overlay segment";
/// A fill pattern must hold at least one byte (it is repeated over the range).
inline constexpr const char *PATTERN_EMPTY = "Fill pattern cannot be empty";

// Broken internal invariants (runtime errors).
inline constexpr const char *SEGMENT_KEY_MISMATCH = "Segment Key doesn't match Segment address";
inline constexpr const char *MAPPING_ERROR = "Concatinating memory mapping error";

// S-record codec.
inline constexpr const char *BAD_SREC = "Bad SREC file";
inline constexpr const char *NO_ADDRESS = "Srec does not contain a valid address";
inline constexpr const char *NO_START = "Srec does not contain a valid start address";
inline constexpr const char *NO_COUNT = "Srec does not contain a valid record count";
inline constexpr const char *NO_HEADER = "Srec does not contain a valid header";
inline constexpr const char *NO_DATA = "Srec does not contain valid data";
/// A record's count byte holds at most 255: address, data and checksum together.
inline constexpr const char *RECORD_TOO_LONG = "Record data too long for one record: ";

// Files.
inline constexpr const char *OFFSET_POSITIVE = "Offset must be positive";
inline constexpr const char *MALFORMED_RECORD = "Malformed memory record found.";
inline constexpr const char *FILE_NOT_FOUND = "File not found: ";
inline constexpr const char *PREDEFINED_FLASH = "Can't read into pre-defined flash memory";
/// A file the OS would not let a writer create, write or replace: CANNOT_WRITE_FILE + the
/// file + REASON_SEPARATOR + the OS's reason.
inline constexpr const char *CANNOT_WRITE_FILE = "Cannot write ";
inline constexpr const char *REASON_SEPARATOR = ": ";
/// Operations that need the flash image, called on a wrapper that holds none.
inline constexpr const char *NO_FLASH_IMAGE = "Flash memory holds no image";
inline constexpr const char *BINARY_FILE_PREFIX = "File: ";
inline constexpr const char *BINARY_NOT_FOUND_SUFFIX = " not found, exiting";
inline constexpr const char *BINARY_TOO_LARGE_SUFFIX = " too large, exiting";
inline constexpr const char *BINARY_READ_ERROR_PREFIX = "Error reading file:";
inline constexpr const char *BINARY_READ_ERROR_SUFFIX = ", exiting";
inline constexpr const char *BINARY_ADD_ERROR = "Error adding data to Binary memory, exiting";
inline constexpr const char *OFFSET_EXCEEDS_FILE = "Offset exceeds length of file: ";
inline constexpr const char *OVERLAPPING_SEGMENTS = "Yikes!! Overlapping segments in memory, Stop!";

} // namespace vantrel::memory::messages

namespace vantrel::memory::messages {
/// A record whose type is not one of the eight cannot be formatted.
inline constexpr const char *NO_VALID_TYPE = "Srec does not have a valid record type";
} // namespace vantrel::memory::messages
