// Fuzz target: a whole S-record file read into images, checked against the record rules
// applied line by line to a plain model; then written out and read back.
//
// Input format: the file's text exactly as it would be on disk (any line ends).
#include "FuzzCheck.h"
#include "ImageModel.h"
#include "ScratchFile.h"
#include "SrecordReference.h"
#include "memory/MemoryMessages.h"
#include "memory/RWMemoryException.h"
#include "memory/SrecordMemory.h"
#include "platform/file.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using fuzzing::check;
using fuzzing::compareLayout;
using fuzzing::ImageModel;
using vantrel::memory::RWMemoryException;
using vantrel::memory::SrecordMemory;
namespace msg = vantrel::memory::messages;

/// What reading should leave behind: image bytes and segments, header, start, and whether
/// a malformed line stopped the read.
struct Outcome {
  ImageModel image;
  std::optional<std::string> header;
  std::int64_t start = -1;
  bool malformed = false;
};

/// Lines end at LF, CR or CR LF; a last line without an end still counts.
std::vector<std::string_view> splitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t begin = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' || text[i] == '\r') {
      lines.push_back(text.substr(begin, i - begin));
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      begin = i + 1;
    }
  }
  if (begin < text.size()) lines.push_back(text.substr(begin));
  return lines;
}

Outcome expectedRead(std::string_view text, std::int64_t base, std::int64_t end, std::int64_t offset) {
  Outcome out{ImageModel(base, end), std::nullopt, -1, false};
  for (std::string_view line : splitLines(text)) {
    const auto rec = fuzzing::reference(line);
    if (!rec) {
      out.malformed = true;
      break;
    }
    if (rec->type == '0')
      out.header = fuzzing::latin1(rec->data);
    else if (rec->type >= '1' && rec->type <= '3')
      out.image.add(static_cast<std::int64_t>(rec->address) + offset, rec->data);
    else if (rec->type >= '7')
      out.start = rec->address;
  }
  return out;
}

void compare(const SrecordMemory &mem, const Outcome &want) {
  compareLayout(mem, want.image);
  check(mem.getHeader() == want.header, "header");
  check(mem.getStart() == want.start, "start address", mem.getStart(), want.start);
  check(mem.hasStart() == (want.start >= 0), "hasStart");
}

/// Reads text into a fresh image by readText, checking the outcome and the error.
void readAndCompare(std::string_view text, std::int64_t base, std::int64_t end, std::int64_t offset,
                    SrecordMemory &mem) {
  const Outcome want = expectedRead(text, base, end, offset);
  bool malformed = false;
  try {
    mem.readText(text, offset);
  } catch (const RWMemoryException &e) {
    check(e.getMessage() == msg::MALFORMED_RECORD, "read error message");
    malformed = true;
  }
  check(malformed == want.malformed, "malformed line detection");
  compare(mem, want);
}

/// A header as it reads back after writing: characters outside ASCII become "?".
std::string asciiOnly(const std::string &utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if ((c & 0xC0) == 0xC0) {
      out += '?'; // a lead byte; the continuation bytes that follow add nothing
    }
  }
  return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char *>(data), size);

  // The window an S-record file is read into without one, then a small window with an
  // offset, where most records are clipped or dropped.
  SrecordMemory wide(0, 0x7FFFFFFF, "wide");
  readAndCompare(text, 0, 0x7FFFFFFF, 0, wide);
  SrecordMemory narrow(0x100, 0x1FF, "narrow");
  readAndCompare(text, 0x100, 0x1FF, 0x10, narrow);

  const Outcome want = expectedRead(text, 0, 0x7FFFFFFF, 0);
  // The same text read from a file gives the same image. The file reader sets up a
  // multi-megabyte block for any file, so only one input in four takes this path.
  const std::string input = fuzzing::scratchPath("input.srec");
  if (std::hash<std::string_view>{}(text) % 4 == 0) {
    check(vantrel::platform::writeWholeFile(input, data, size), "scratch file written");
    SrecordMemory fromFile(0, 0x7FFFFFFF, "file");
    bool malformed = false;
    try {
      fromFile.read(input);
    } catch (const RWMemoryException &e) {
      check(e.getMessage() == msg::MALFORMED_RECORD, "file read error message");
      malformed = true;
    }
    check(malformed == want.malformed, "file: malformed line detection");
    compare(fromFile, want);
    vantrel::platform::removeFile(input);
  }

  // Written out and read back, the image keeps its bytes and header (in ASCII); the start
  // address is not written.
  const std::string output = fuzzing::scratchPath("output.srec");
  check(wide.write(output), "write");
  const auto written = vantrel::platform::readWholeFile(output);
  check(written.has_value(), "written file is there");
  SrecordMemory back(0, 0x7FFFFFFF, "back");
  try {
    back.readText(std::string_view(reinterpret_cast<const char *>(written->data()), written->size()));
  } catch (const RWMemoryException &) {
    fuzzing::mismatch("written file does not read back");
  }
  fuzzing::compareBytes(back, want.image);
  const auto header = wide.getHeader();
  check(back.getHeader() == (header ? std::optional(asciiOnly(*header)) : std::nullopt), "header read back");
  check(!back.hasStart(), "no start address written");
  vantrel::platform::removeFile(output);
  return 0;
}
