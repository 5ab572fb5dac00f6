// S-record file writer: segments cut into jobs, jobs formatted in parallel, text written
// in order through one buffered, atomic output file.
#include "memory/SrecordWriter.h"

#include "memory/SegmentedMemory.h"
#include "memory/Srec.h"
#include "memory/SrecordLine.h"
#include "platform/file.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <future>
#include <memory>
#include <vector>

namespace vantrel::memory {

namespace {

/// Data bytes formatted per job (about 1.2 MB of text for 32-byte records): a piece large
/// enough to go to the OS in one call, small enough that the text in flight stays a few
/// megabytes.
constexpr std::size_t JOB_BYTES = std::size_t{1} << 19;
/// Jobs formatted ahead of the one being written.
constexpr std::size_t MAX_PENDING = 3;
/// Images smaller than this are formatted on the calling thread.
constexpr std::int64_t PARALLEL_THRESHOLD = std::int64_t{1} << 20;

/// A run of records: bytes [from, from + count) of one segment whose first byte is at
/// address start.
struct Job {
  const Segment *segment;
  std::int64_t start;
  std::int64_t from;
  std::size_t count;
};

/// Text of one job: storage that is never filled before it is written, reused job after
/// job, so that its pages are touched once.
struct Text {
  std::unique_ptr<char[]> chars;
  std::size_t room = 0;
  std::size_t size = 0;
};

/// Formats the job's records into text, reusing text's storage.
Text formatJob(const Job &job, std::size_t recordLength, const std::string &separator, Text text) {
  const std::size_t records = (job.count + recordLength - 1) / recordLength;
  const std::size_t lineMax = 4 + 2 * (4 + recordLength + 1) + separator.size();
  if (text.room < records * lineMax) {
    text.room = records * lineMax;
    text.chars.reset(new char[text.room]);
  }
  char *out = text.chars.get();
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
  text.size = static_cast<std::size_t>(out - text.chars.get());
  return text;
}

} // namespace

bool writeSrecordFile(const SegmentedMemory &image, const std::optional<std::string> &header,
                      const std::string &path, std::size_t recordLength, std::string *failure) {
  if (failure) failure->clear();
  // Plan the jobs first: every record address must fit the 4-byte field, or the file
  // would place data at wrapped addresses.
  std::vector<Job> jobs;
  for (SegmentKey key : image.iterator()) {
    const Segment *segment = image.segment(key);
    const std::int64_t start = image.base() + key.value;
    if (start + segment->length() - 1 > MAX_RECORD_ADDRESS) return false;
    // Jobs hold whole records, so the record grid starts at each segment's start.
    const std::size_t jobBytes = std::max<std::size_t>(JOB_BYTES / recordLength, 1) * recordLength;
    for (std::int64_t from = 0; from < segment->length(); from += static_cast<std::int64_t>(jobBytes))
      jobs.push_back(Job{segment, start, from,
                         static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(jobBytes),
                                                                         segment->length() - from))});
  }
  const std::string separator = platform::lineSeparator();
  std::string headerLine;
  if (header) headerLine = Srec::createHeader(*header).toString() + separator;

  platform::OutputFile out;
  const auto failed = [&] {
    if (failure) *failure = out.failureReason();
    return false;
  };
  if (!out.open(path, platform::OutputFile::Mode::Atomic)) return failed();
  out.write(headerLine);
  if (image.total() < PARALLEL_THRESHOLD) {
    Text text;
    for (const Job &job : jobs) {
      text = formatJob(job, recordLength, separator, std::move(text));
      out.write(text.chars.get(), text.size);
    }
  } else {
    // Text buffers go round between the workers and the writer, so that their pages are
    // touched once rather than once per job; the text in flight stays a few megabytes,
    // however large the image.
    std::vector<Text> spare;
    std::deque<std::future<Text>> pending;
    std::size_t next = 0;
    while (next < jobs.size() || !pending.empty()) {
      while (next < jobs.size() && pending.size() < MAX_PENDING) {
        const Job job = jobs[next++];
        Text buffer;
        if (!spare.empty()) {
          buffer = std::move(spare.back());
          spare.pop_back();
        }
        pending.push_back(std::async(std::launch::async,
                                     [job, recordLength, &separator, buffer = std::move(buffer)]() mutable {
                                       return formatJob(job, recordLength, separator, std::move(buffer));
                                     }));
      }
      Text text = pending.front().get();
      pending.pop_front();
      // Written as one piece: a piece this large goes to the OS without a further copy.
      if (!out.write(text.chars.get(), text.size))
        break; // the error is remembered by the file; commit reports it
      spare.push_back(std::move(text));
    }
  }
  return out.commit() || failed();
}

} // namespace vantrel::memory
