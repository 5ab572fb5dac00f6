// Streaming reader of S-record text into an image: files read in blocks, lines parsed in
// parallel, records applied in file order.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vantrel::memory {

class SrecordMemory;

/// Reads S-record text into an image. Lines end at LF, CR or CR LF and are taken exactly
/// as read. Header records set the image's header, start records its start address, data
/// records are added at their address plus the offset (what falls outside the window is
/// dropped) and count records are ignored; the records are applied in file order, so a
/// later record replaces an earlier one.
class SrecordReader {
public:
  /// Text is parsed in blocks of about this many bytes.
  static constexpr std::size_t BLOCK_SIZE = std::size_t{2} << 20;

  /// A reader into image, placing data offset higher than stated (offset >= 0).
  SrecordReader(SrecordMemory &image, std::int64_t offset) : image_(image), offset_(offset) {}

  /// Reads the file. RWMemoryException "File not found: <path>" when it cannot be opened
  /// or read; "Malformed memory record found." at the first malformed line, after the
  /// records before it were applied.
  void readFile(const std::string &path);
  /// Reads text held in memory by the same rules.
  void readText(std::string_view text);

private:
  struct ParsedBlock;
  static void parseBlock(std::string_view text, bool atEnd, ParsedBlock &block);
  void apply(const ParsedBlock &block);

  SrecordMemory &image_;
  std::int64_t offset_;
};

} // namespace vantrel::memory
