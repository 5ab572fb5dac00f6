// A memory image read from and written to S-record files.
#pragma once

#include "memory/ConcatinatingMemory.h"
#include "memory/RWMemory.h"

#include <string_view>

namespace vantrel::memory {

/// A memory image filled from S-record files and written out as one: an optional S0
/// header, then each segment as consecutive S3 records of SRECORD_LEN bytes.
class SrecordMemory : public ConcatinatingMemory, public RWMemory {
public:
  /// Data bytes per written data record.
  static constexpr std::size_t SRECORD_LEN = 32;

  /// An empty image with window base..end (inclusive), no header, no start address.
  SrecordMemory(std::int64_t base, std::int64_t end, const std::string &name);

  std::optional<std::string> getHeader() const override { return srecHeader_; }
  void setHeader(const std::optional<std::string> &text) override { srecHeader_ = text; }
  std::string getName() const override { return srecName_; }
  std::int64_t getStart() const override { return srecStart_; }
  void setStart(std::int64_t addr) override { srecStart_ = addr; }
  bool hasStart() const override { return srecStart_ >= 0; }

  /// Reads an S-record file (lines end at LF, CR or CR LF) into this image; data records
  /// are added by the image's add rule and data outside the window is dropped. The image
  /// is not cleared first. Fails with RWMemoryException "File not found: <file>" when the
  /// file cannot be opened or read, and "Malformed memory record found." at the first
  /// line that is not a record (the records before it stay in the image).
  SrecordMemory &read(const std::string &file) override { return read(file, 0); }
  /// The same, each data record placed offset higher than its stated address.
  SrecordMemory &read(const std::string &file, std::int64_t offset) override;
  /// Reads S-record text held in memory, by the same rules as a file.
  SrecordMemory &readText(std::string_view text, std::int64_t offset = 0);

  /// Writes the file atomically: false, leaving no file claiming to be the result, when
  /// it cannot be created, written, closed or put in place (an earlier file there stays),
  /// or when data lies above 0xFFFFFFFF (beyond what a record address can hold).
  bool write(const std::string &file) const override;
  /// After a write that failed because the OS refused: CANNOT_WRITE_FILE + the file +
  /// ": " + the OS's reason; nothing after a write that succeeded or failed otherwise.
  std::optional<std::string> getWriteFailure() const { return writeFailure_; }

  /// The name, ": ", then the image text.
  std::string toString() const override;

protected:
  void setName(const std::string &name) { srecName_ = name; }

private:
  std::int64_t srecStart_ = -1;
  std::optional<std::string> srecHeader_;
  std::string srecName_;
  mutable std::optional<std::string> writeFailure_;
};

} // namespace vantrel::memory
