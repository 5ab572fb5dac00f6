// S-record file writer: segments cut into jobs, each job formatted by one of a few threads
// and written by the same thread in its turn, through one atomic output file.
#include "memory/SrecordWriter.h"

#include "memory/SegmentedMemory.h"
#include "memory/Srec.h"
#include "memory/SrecordLine.h"
#include "platform/file.h"

#include "memory/Turns.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace vantrel::memory {

namespace {

/// Data bytes formatted per job (about 300 KB of text for 32-byte records): a piece large
/// enough to go to the OS in one call, small enough that its text is still in the
/// processor's cache when the OS copies it.
constexpr std::size_t JOB_BYTES = std::size_t{1} << 17;

/// A run of records: bytes [from, from + count) of one segment whose first byte is at
/// address start; its text begins at byte at of the file.
struct Job {
  const Segment *segment;
  std::int64_t start;
  std::int64_t from;
  std::size_t count;
  std::uint64_t at;
};

/// Text of one job, from text() on: storage that is never filled before it is written,
/// reused job after job, so that its pages are touched once.
struct Text {
  std::unique_ptr<char[]> chars;
  std::size_t room = 0;
  std::size_t start = 0;
  std::size_t size = 0;
  const char *text() const { return chars.get() + start; }
};

/// Characters of the record lines for count data bytes.
std::uint64_t textLength(std::size_t count, std::size_t recordLength, std::size_t separator) {
  const auto line = [&](std::size_t n) { return std::uint64_t{14 + 2 * n + separator}; };
  const std::size_t rest = count % recordLength;
  return (count / recordLength) * line(recordLength) + (rest ? line(rest) : 0);
}

/// Formats the job's records into text, reusing text's storage.
Text formatJob(const Job &job, std::size_t recordLength, const std::string &separator, Text text) {
  const std::size_t records = (job.count + recordLength - 1) / recordLength;
  const std::size_t lineMax = 4 + 2 * (4 + recordLength + 1) + separator.size();
  if (text.room < records * lineMax + platform::LINE_UP) {
    text.room = records * lineMax + platform::LINE_UP;
    text.chars.reset(new char[text.room]);
  }
  // Laid out as it lies in the file, so that the OS copies it at full speed.
  text.start = platform::lineUpOffset(text.chars.get(), job.at);
  char *out = text.chars.get() + text.start;
  // Records are cut from the segment's chunks in place; a record that straddles two
  // chunks is gathered into a small buffer first.
  std::vector<std::uint8_t> pending;
  pending.reserve(recordLength);
  std::int64_t address = job.start + job.from;
  auto flushRecord = [&](const std::uint8_t *data, std::size_t n) {
    out += formatRecord(out, '3', 4, static_cast<std::uint32_t>(address), data, n);
    std::memcpy(out, separator.data(), separator.size());
    out += separator.size();
    address += static_cast<std::int64_t>(n);
  };
  job.segment->visit(job.from, job.count, [&](const std::uint8_t *p, std::size_t k) {
    if (!pending.empty()) {
      const std::size_t take = std::min(recordLength - pending.size(), k);
      pending.insert(pending.end(), p, p + take);
      p += take;
      k -= take;
      if (pending.size() == recordLength) {
        flushRecord(pending.data(), pending.size());
        pending.clear();
      }
    }
    while (k >= recordLength) {
      flushRecord(p, recordLength);
      p += recordLength;
      k -= recordLength;
    }
    pending.insert(pending.end(), p, p + k);
  });
  if (!pending.empty()) flushRecord(pending.data(), pending.size());
  text.size = static_cast<std::size_t>(out - text.text());
  return text;
}

} // namespace

bool writeSrecordFile(const SegmentedMemory &image, const std::optional<std::string> &header,
                      const std::string &path, std::size_t recordLength, std::string *failure) {
  if (failure) failure->clear();
  const std::string separator = platform::lineSeparator();
  std::string headerLine;
  if (header) headerLine = Srec::createHeader(*header).toString() + separator;
  // Plan the jobs first: every record address must fit the 4-byte field, or the file
  // would place data at wrapped addresses.
  std::vector<Job> jobs;
  std::uint64_t at = headerLine.size();
  for (SegmentKey key : image.iterator()) {
    const Segment *segment = image.segment(key);
    const std::int64_t start = image.base() + key.value;
    if (start + segment->length() - 1 > MAX_RECORD_ADDRESS) return false;
    // Jobs hold whole records, so the record grid starts at each segment's start.
    const std::size_t jobBytes = std::max<std::size_t>(JOB_BYTES / recordLength, 1) * recordLength;
    for (std::int64_t from = 0; from < segment->length(); from += static_cast<std::int64_t>(jobBytes)) {
      const auto count = static_cast<std::size_t>(
          std::min<std::int64_t>(static_cast<std::int64_t>(jobBytes), segment->length() - from));
      jobs.push_back(Job{segment, start, from, count, at});
      at += textLength(count, recordLength, separator.size());
    }
  }

  platform::OutputFile out;
  const auto failed = [&] {
    if (failure) *failure = out.failureReason();
    return false;
  };
  if (!out.open(path, platform::OutputFile::Mode::Atomic)) return failed();
  out.write(headerLine);
  // Each thread keeps its own text storage, touched once and reused job after job; the
  // text in flight is one job per thread, however large the image.
  Turns turns;
  turns.run(Turns::threadsFor(jobs.size()), [&] {
    Text text;
    for (std::size_t job = turns.take(); job < jobs.size(); job = turns.take()) {
      text = formatJob(jobs[job], recordLength, separator, std::move(text));
      if (!turns.await(job)) return;
      if (!out.write(text.text(), text.size)) {
        turns.stop(); // the error is remembered by the file; commit reports it
        return;
      }
      turns.pass();
    }
  });
  return out.commit() || failed();
}

} // namespace vantrel::memory
