// Streaming reader of S-record text into images: files read in blocks, lines parsed in
// parallel straight into the blocks that keep the data, records applied in file order.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel::memory {

class SrecordMemory;

/// Reads S-record text into one or more images. Lines end at LF, CR or CR LF and are taken
/// exactly as read. Header records set each image's header, start records its start
/// address, data records are added at their address plus the offset (what falls outside an
/// image's window is dropped) and count records are ignored; the records are applied in
/// file order, so a later record replaces an earlier one. Reading a file into several
/// images gives each the same bytes as reading it into each alone.
///
/// Data bytes are decoded once, into blocks that the images then hold without a copy.
class SrecordReader {
public:
  /// Text is read and parsed in blocks of about this many bytes: one of them in flight per
  /// processor keeps them all busy and holds little beside the image.
  static constexpr std::size_t BLOCK_SIZE = std::size_t{1} << 20;

  /// A reader into image, placing data offset higher than stated (offset >= 0).
  SrecordReader(SrecordMemory &image, std::int64_t offset) : images_{&image}, offset_(offset) {}
  /// A reader into every one of images (none of them null), at offset 0.
  explicit SrecordReader(std::vector<SrecordMemory *> images) : images_(std::move(images)), offset_(0) {}

  /// Reads the file. RWMemoryException "File not found: <path>" when it cannot be opened
  /// or read; "Malformed memory record found." at the first malformed line, after the
  /// records before it were applied.
  void readFile(const std::string &path);
  /// Reads text held in memory by the same rules.
  void readText(std::string_view text);

private:
  struct ParsedBlock;
  class DataArena;
  static void parseBlock(std::string_view text, bool atEnd, DataArena &arena, ParsedBlock &block);
  void apply(const ParsedBlock &block);
  void addRun(const ParsedBlock &block, std::int64_t addr, std::uint32_t pos, std::size_t n, bool whole);

  std::vector<SrecordMemory *> images_;
  std::int64_t offset_;
};

} // namespace vantrel::memory
