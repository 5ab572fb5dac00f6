// File reading and the all-or-nothing output set, on the platform layer's file calls.
#include "FileIo.h"

#include "Messages.h"
#include "platform/file.h"
#include "platform/interrupt.h"
#include "platform/pages.h"

namespace vantrel::suite {

std::optional<std::string> readFileBytes(const std::string &path) {
  // A folder gives nothing too: the platform's reader opens files only.
  auto bytes = platform::readWholeFile(path);
  if (!bytes) return std::nullopt;
  return std::string(bytes->begin(), bytes->end());
}

Result<std::string> readInputFile(const std::string &path) {
  auto bytes = readFileBytes(path);
  if (!bytes) return Result<std::string>::failure(msg::CANNOT_READ + path);
  return Result<std::string>::success(std::move(*bytes));
}

Result<InputBytes> readInputBytes(const std::string &path) {
  // A design is read once, front to back, while the converter runs: its pages are the
  // ones the OS already holds. The file may then be removed or replaced only once the
  // conversion ends, where the OS holds a mapped file (Windows), which is the way of a
  // program reading its input anyway.
  std::string why;
  if (std::shared_ptr<platform::MappedFile> view = platform::MappedFile::open(path, why)) {
    const std::string_view bytes(reinterpret_cast<const char *>(view->data()), view->size());
    return Result<InputBytes>::success({std::move(view), bytes});
  }
  auto copy = readFileBytes(path);
  if (!copy) return Result<InputBytes>::failure(msg::CANNOT_READ + path);
  auto held = std::make_shared<const std::string>(std::move(*copy));
  const std::string_view bytes(*held);
  return Result<InputBytes>::success({std::move(held), bytes});
}

void removeQuietly(const std::string &path) {
  platform::removeFile(path);
}

void OutputSet::addBinary(const std::string &path, std::vector<std::uint8_t> bytes) {
  entries_.push_back(Entry{path, std::string(), std::move(bytes), std::string_view()});
}

void OutputSet::addBinary(const std::string &path, std::vector<std::uint8_t> head, std::string_view tail) {
  entries_.push_back(Entry{path, std::string(), std::move(head), tail});
}

void OutputSet::addText(const std::string &path, std::string text) {
  // Written as a text-mode C stream writes: "\n" becomes the platform's line separator.
  const std::string separator = platform::lineSeparator();
  std::string bytes;
  bytes.reserve(text.size());
  for (char c : text) {
    if (c == '\n')
      bytes += separator;
    else
      bytes += c;
  }
  entries_.push_back(Entry{path, std::move(bytes), {}, std::string_view()});
}

namespace {
std::string temporaryName(const std::string &path) {
  return path + ".partial~";
}

bool renameOver(const std::string &from, const std::string &to) {
  if (platform::renameFile(from, to)) return true;
  // Some file systems refuse to rename over an existing file: remove it and try again.
  // A folder in the way stays.
  const auto status = platform::statFile(to);
  if (status && status->isDirectory) return false;
  platform::removeFile(to);
  return platform::renameFile(from, to);
}
} // namespace

bool OutputSet::writeEntry(const std::string &path, const Entry &e) {
  // The pieces in order; large ones go to the OS as they are.
  platform::OutputFile out;
  if (!out.open(path)) return false;
  out.write(e.text);
  out.write(e.binary.data(), e.binary.size());
  out.write(e.tail.data(), e.tail.size());
  return out.close();
}

Status OutputSet::commit() {
  // Every temporary name is registered before its file is made: a tool stopped while it
  // writes removes them before it ends (the finished outputs stay).
  for (const Entry &e : entries_)
    platform::removeFileOnInterrupt(temporaryName(e.path));
  const auto unregister = [&] {
    for (const Entry &e : entries_)
      platform::dontRemoveFileOnInterrupt(temporaryName(e.path));
  };
  std::size_t written = 0;
  for (; written < entries_.size(); ++written) {
    const Entry &e = entries_[written];
    if (!writeEntry(temporaryName(e.path), e)) break;
  }
  std::size_t renamed = 0;
  if (written == entries_.size()) {
    for (; renamed < entries_.size(); ++renamed) {
      if (!renameOver(temporaryName(entries_[renamed].path), entries_[renamed].path)) break;
    }
    if (renamed == entries_.size()) {
      unregister();
      return Status::success();
    }
  }
  const std::string failed = entries_[written < entries_.size() ? written : renamed].path;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    removeQuietly(temporaryName(entries_[i].path));
    if (i < renamed) removeQuietly(entries_[i].path);
  }
  unregister();
  return Status::failure(msg::CANNOT_WRITE + failed);
}

} // namespace vantrel::suite
