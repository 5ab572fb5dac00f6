// The OS-independent half of the file layer: readers and buffered writers built on the raw
// calls of file_posix.cpp / file_win32.cpp, atomic replacement, the removal of stale
// temporary files and the fault seam.
#include "platform/file.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "platform/PlatformMessages.h"
#include "platform/fileHandle.h"
#include "platform/interrupt.h"
#include "platform/interruptRegistry.h"
#include "platform/path.h"
#include "platform/process.h"
#include "platform/systemError.h"
#include "platform/time.h"

namespace vantrel::platform {

using detail::INVALID_NATIVE_HANDLE;
using detail::NativeHandle;

namespace {
std::atomic<IoFaultHook *> faultHook{nullptr};

IoFaultHook *hook() {
  return faultHook.load(std::memory_order_acquire);
}

std::atomic<std::uint32_t> tempCounter{0};

const char TEMPORARY_SUFFIX[] = ".part";

/// The temporary name of an atomic writer: destination.<pid>-<n>.part.
std::string temporaryName(const std::string &destination, std::uint64_t pid, std::uint32_t n) {
  return destination + "." + std::to_string(pid) + "-" + std::to_string(n) + TEMPORARY_SUFFIX;
}

/// Reads a run of decimal digits starting at at; nothing when there is none or it is too
/// long to be a process id or a counter.
std::optional<std::uint64_t> digitsAt(const std::string &text, std::size_t &at) {
  const std::size_t start = at;
  std::uint64_t value = 0;
  while (at < text.size() && text[at] >= '0' && text[at] <= '9' && at - start < 10) {
    value = value * 10 + static_cast<std::uint64_t>(text[at] - '0');
    ++at;
  }
  if (at == start || (at < text.size() && text[at] >= '0' && text[at] <= '9')) return std::nullopt;
  return value;
}

/// The process id in the name of a temporary file of the destination file name, when name
/// is exactly such a temporary name (the inverse of temporaryName).
std::optional<std::uint64_t> temporaryOwner(const std::string &name, const std::string &fileName) {
  const std::size_t suffixLength = sizeof TEMPORARY_SUFFIX - 1;
  if (name.size() <= fileName.size() + 1 + suffixLength || name.compare(0, fileName.size(), fileName) != 0 ||
      name[fileName.size()] != '.' ||
      name.compare(name.size() - suffixLength, suffixLength, TEMPORARY_SUFFIX) != 0)
    return std::nullopt;
  const std::string middle =
      name.substr(fileName.size() + 1, name.size() - fileName.size() - 1 - suffixLength);
  std::size_t at = 0;
  const auto pid = digitsAt(middle, at);
  if (!pid || at >= middle.size() || middle[at] != '-') return std::nullopt;
  ++at;
  if (!digitsAt(middle, at) || at != middle.size()) return std::nullopt;
  return pid;
}

/// Longest pause between two attempts at a held-up replacement.
constexpr std::int64_t MAX_REPLACE_PAUSE_MILLIS = 250;

/// Runs attempt (0 or an OS error number) until it succeeds, fails for good or has been
/// refused for REPLACE_PATIENCE_MILLIS, pausing 1, 2, 4, ... ms in between: a file held for
/// a moment is replaced soon after it is let go. Returns the last attempt's result.
template <class Attempt> int replaceRetrying(const std::string &destination, Attempt attempt) {
  std::int64_t waited = 0;
  for (std::int64_t pause = 1;; pause = std::min(pause * 2, MAX_REPLACE_PAUSE_MILLIS)) {
    const int error = attempt();
    // A read-only file stays so: it is never worth waiting for.
    if (error == 0 || !detail::mayPass(error) || waited >= REPLACE_PATIENCE_MILLIS ||
        detail::isReadOnlyFile(destination))
      return error;
    sleepMillis(pause);
    waited += pause;
  }
}

} // namespace

const char *describeKind(FileKind kind) {
  switch (kind) {
  case FileKind::Missing:
    return msg::KIND_MISSING;
  case FileKind::Regular:
    return msg::KIND_REGULAR;
  case FileKind::Folder:
    return msg::KIND_FOLDER;
  case FileKind::Fifo:
    return msg::KIND_FIFO;
  case FileKind::CharacterDevice:
    return msg::KIND_CHARACTER_DEVICE;
  case FileKind::BlockDevice:
    return msg::KIND_BLOCK_DEVICE;
  case FileKind::Socket:
    return msg::KIND_SOCKET;
  case FileKind::Other:
    break;
  }
  return msg::KIND_OTHER;
}

WriteTarget writeTarget(const std::string &path) {
  const FileKind kind = fileKind(path);
  switch (kind) {
  case FileKind::Fifo:
  case FileKind::CharacterDevice:
    return {WriteTarget::Way::Through, path, ""};
  case FileKind::Missing:
  case FileKind::Regular:
    break;
  case FileKind::Folder:
  case FileKind::BlockDevice:
  case FileKind::Socket:
  case FileKind::Other:
    return {WriteTarget::Way::Refused, path, std::string(msg::IT_IS) + describeKind(kind)};
  }
  std::string target;
  if (const int error = detail::linkTarget(path, target))
    return {WriteTarget::Way::Refused, path, detail::describeSystemError(error)};
  // The new file is made beside the name it takes, so that folder must be there.
  if (const int error = detail::folderError(target.substr(0, lastComponentStart(target))))
    return {WriteTarget::Way::Refused, path, detail::describeSystemError(error)};
  return {WriteTarget::Way::Replace, target, ""};
}

bool sameFile(const std::string &a, const std::string &b) {
  if (a == b) return true;
  const auto keyA = canonicalName(a);
  if (keyA && keyA == canonicalName(b)) return true;
  const auto sa = statFile(a);
  const auto sb = statFile(b);
  // A file system that reports no identity (0) cannot tell; the names decided alone then.
  return sa && sb && sa->fileId != 0 && sa->device == sb->device && sa->fileId == sb->fileId &&
         !sa->isDirectory;
}

bool renameFile(const std::string &from, const std::string &to) {
  return replaceRetrying(to, [&] { return detail::replaceFile(from, to); }) == 0;
}

std::optional<std::string> replacementRefusal(const std::string &path) {
  if (!detail::isReadOnlyFile(path)) return std::nullopt;
  return detail::describeSystemError(detail::systemErrorFor(detail::SimulatedError::AccessDenied)) +
         msg::READ_ONLY_FILE;
}

std::optional<std::string> setFileAside(const std::string &path, std::string &why) {
  for (std::uint32_t n = 0;; ++n) {
    const std::string kept =
        path + "." + std::to_string(currentProcessId()) + "-" + std::to_string(n) + ".earlier";
    if (fileExists(kept)) continue; // never another file's name
    const int error = replaceRetrying(kept, [&] { return detail::replaceFile(path, kept); });
    if (error == 0) return kept;
    why = detail::describeSystemError(error);
    return std::nullopt;
  }
}

void setIoFaultHook(IoFaultHook *newHook) {
  faultHook.store(newHook, std::memory_order_release);
}

std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string &path) {
  InputFile in;
  if (!in.open(path)) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  const std::int64_t size = in.size();
  if (size > 0) bytes.reserve(static_cast<std::size_t>(size));
  // Read until the end rather than trusting the size: the file may grow or shrink meanwhile.
  std::size_t held = 0;
  for (;;) {
    if (bytes.size() - held < 65536) bytes.resize(held + std::max<std::size_t>(65536, held / 2));
    const std::int64_t got = in.read(bytes.data() + held, bytes.size() - held);
    if (got < 0) return std::nullopt;
    if (got == 0) break;
    held += static_cast<std::size_t>(got);
  }
  bytes.resize(held);
  return bytes;
}

bool changedSince(const std::string &path, const std::optional<FileStatus> &before) {
  const auto now = statFile(path);
  if (!now || now->isDirectory) return false;
  if (!before) return true;
  return now->size != before->size || now->modifiedNanos != before->modifiedNanos ||
         now->changedNanos != before->changedNanos || now->device != before->device ||
         now->fileId != before->fileId || now->isDirectory != before->isDirectory;
}

std::vector<std::string> removeStaleTemporaries(const std::string &destination) {
  const std::size_t nameStart = lastComponentStart(destination);
  const std::string folder = destination.substr(0, nameStart);
  const std::string fileName = destination.substr(nameStart);
  std::vector<std::string> removed;
  if (fileName.empty()) return removed;
  for (const std::string &name : detail::listFolder(folder)) {
    const auto pid = temporaryOwner(name, fileName);
    // A writer that is alive may still be about to hold its file (between creating and
    // locking it, or between closing and renaming it): only a dead writer's file is stale,
    // and only when no writer holds it (its process id may have been given to another).
    if (!pid || processExists(*pid)) continue;
    if (detail::removeUnheldTemporary(folder + name)) removed.push_back(folder + name);
  }
  return removed;
}

std::int64_t modifiedMillis(const std::string &path) {
  const auto status = statFile(path);
  return status ? status->modifiedMillis : 0;
}

// ---- InputFile ----

struct InputFile::Impl {
  NativeHandle handle = INVALID_NATIVE_HANDLE;
  std::string failure;
};

InputFile::InputFile() : impl_(std::make_unique<Impl>()) {}
InputFile::~InputFile() {
  close();
}

bool InputFile::open(const std::string &path) {
  close();
  impl_->handle = detail::openForRead(path);
  if (impl_->handle != INVALID_NATIVE_HANDLE) return true;
  impl_->failure = detail::describeSystemError(detail::lastSystemError());
  return false;
}

std::int64_t InputFile::read(void *buffer, std::size_t n) {
  if (impl_->handle == INVALID_NATIVE_HANDLE) return -1;
  const std::int64_t count = detail::readSome(impl_->handle, buffer, n);
  if (count < 0) impl_->failure = detail::describeSystemError(detail::lastSystemError());
  return count;
}

std::int64_t InputFile::size() const {
  if (impl_->handle == INVALID_NATIVE_HANDLE) return -1;
  return detail::handleSize(impl_->handle);
}

void InputFile::close() {
  if (impl_->handle != INVALID_NATIVE_HANDLE) {
    detail::closeHandle(impl_->handle);
    impl_->handle = INVALID_NATIVE_HANDLE;
  }
}

bool InputFile::isOpen() const {
  return impl_->handle != INVALID_NATIVE_HANDLE;
}

const std::string &InputFile::failure() const {
  return impl_->failure;
}

// ---- OutputFile ----

struct OutputFile::Impl {
  NativeHandle handle = INVALID_NATIVE_HANDLE;
};

OutputFile::OutputFile() : impl_(std::make_unique<Impl>()) {}

OutputFile::~OutputFile() {
  if (isOpen()) close();
}

bool OutputFile::isOpen() const {
  return impl_->handle != INVALID_NATIVE_HANDLE;
}

bool OutputFile::open(const std::string &path, Mode mode) {
  if (isOpen()) close();
  path_ = path;
  mode_ = mode;
  good_ = false;
  failure_.clear();
  through_ = false;
  int error = 0;
  const WriteTarget target = mode == Mode::Atomic ? writeTarget(path) : WriteTarget{};
  if (mode == Mode::Atomic && target.way == WriteTarget::Way::Refused) {
    failure_ = target.why;
    return false;
  }
  if (mode == Mode::Atomic && target.way == WriteTarget::Way::Through) {
    // A FIFO or a device takes the bytes as they come: it is never renamed over or removed.
    through_ = true;
    osPath_ = path;
    impl_->handle = detail::openThrough(path);
    if (impl_->handle == INVALID_NATIVE_HANDLE) error = detail::lastSystemError();
  } else if (mode == Mode::Atomic) {
    // Through a symbolic link the new file replaces the link's target, beside it, and the
    // link stays.
    path_ = target.path;
    // What a killed writer of this destination left is gone before this one adds its own.
    removeStaleTemporaries(path_);
    // The temporary file sits in the destination's folder so that the final rename never
    // crosses a file system; its name never looks like a finished result. It is
    // registered and created under the registry's lock, so an interruption either finds
    // it registered or stops its creation.
    auto registryLock = detail::lockInterruptRegistry();
    for (int attempt = 0; attempt < 100 && impl_->handle == INVALID_NATIVE_HANDLE; ++attempt) {
      osPath_ = temporaryName(path_, currentProcessId(), tempCounter.fetch_add(1));
      removeFileOnInterrupt(osPath_);
      impl_->handle = detail::createExclusive(osPath_);
      if (impl_->handle != INVALID_NATIVE_HANDLE) break;
      error = detail::lastSystemError();
      // Somebody else's file (or none at all): never one to remove.
      dontRemoveFileOnInterrupt(osPath_);
      if (!fileExists(osPath_)) break; // not a name clash: the folder is not writable
    }
  } else {
    osPath_ = path;
    // Under the registry's lock: a name registered by the caller is not created once an
    // interruption's clean-up has looked at it.
    auto registryLock = detail::lockInterruptRegistry();
    impl_->handle = detail::openForWrite(path, mode == Mode::Append);
    if (impl_->handle == INVALID_NATIVE_HANDLE) error = detail::lastSystemError();
  }
  if (impl_->handle == INVALID_NATIVE_HANDLE) return fail(error);
  buffer_.clear();
  buffer_.reserve(BUFFER_SIZE);
  good_ = true;
  return true;
}

bool OutputFile::fail(int error) {
  // The first failure is the one that explains the others.
  if (failure_.empty() && error != 0) {
    failure_ = detail::describeSystemError(error);
    if (detail::isReadOnlyFile(path_)) failure_ += msg::READ_ONLY_FILE;
  }
  good_ = false;
  return false;
}

/// Writes n bytes to the OS (through the fault hook); false, with the reason, on an error.
bool OutputFile::writeThrough(const void *data, std::size_t n) {
  IoFaultHook *h = hook();
  if (h && !h->allowWrite(path_, n)) return fail(detail::systemErrorFor(detail::SimulatedError::DiskFull));
  if (!detail::writeAll(impl_->handle, data, n)) return fail(detail::lastSystemError());
  return true;
}

bool OutputFile::flushBuffer() {
  if (buffer_.empty()) return good_;
  if (good_) writeThrough(buffer_.data(), buffer_.size());
  buffer_.clear();
  return good_;
}

bool OutputFile::write(const void *data, std::size_t n) {
  if (!isOpen() || !good_) return false;
  if (n < DIRECT_SIZE && buffer_.size() + n <= BUFFER_SIZE) {
    buffer_.insert(buffer_.end(), static_cast<const char *>(data), static_cast<const char *>(data) + n);
    return true;
  }
  if (!flushBuffer()) return false;
  if (n >= DIRECT_SIZE) {
    // Large pieces go straight to the OS without a copy, while the writer's cache still
    // holds them.
    return writeThrough(data, n);
  }
  buffer_.insert(buffer_.end(), static_cast<const char *>(data), static_cast<const char *>(data) + n);
  return true;
}

bool OutputFile::closeThrough() {
  flushBuffer();
  IoFaultHook *h = hook();
  const bool closeAllowed = !h || h->allowClose(path_);
  const bool closed = detail::closeHandle(impl_->handle);
  const int error = closed ? 0 : detail::lastSystemError();
  impl_->handle = INVALID_NATIVE_HANDLE;
  std::vector<char>().swap(buffer_);
  if (!closed) return fail(error);
  if (!closeAllowed) return fail(detail::systemErrorFor(detail::SimulatedError::WriteFailed));
  return good_;
}

void OutputFile::discardTemporary() {
  // Under the registry's lock, so that an interruption's clean-up and this removal do not
  // both work on the name.
  auto registryLock = detail::lockInterruptRegistry();
  removeFile(osPath_);
  dontRemoveFileOnInterrupt(osPath_);
  good_ = false;
}

bool OutputFile::close() {
  if (!isOpen()) return false;
  closeThrough();
  // Closing an atomic writer without commit abandons the result.
  if (mode_ == Mode::Atomic && !through_) discardTemporary();
  return good_;
}

bool OutputFile::replaceDestination() {
  const int error = replaceRetrying(path_, [&] {
    // Once an interruption's clean-up has begun, the destination keeps what it held: each
    // attempt is made under the registry's lock, the pauses between them outside it.
    auto registryLock = detail::lockInterruptRegistry();
    IoFaultHook *h = hook();
    if (h && !h->allowReplace(path_)) return detail::systemErrorFor(detail::SimulatedError::AccessDenied);
    const int attempt = detail::replaceFile(osPath_, path_);
    if (attempt == 0) dontRemoveFileOnInterrupt(osPath_);
    return attempt;
  });
  return error == 0 || fail(error);
}

bool OutputFile::commit() {
  if (mode_ != Mode::Atomic || through_) return close();
  if (!isOpen()) return false;
  if (!closeThrough() || !replaceDestination()) discardTemporary();
  return good_;
}

bool writeWholeFile(const std::string &path, const void *data, std::size_t n) {
  OutputFile out;
  if (!out.open(path)) return false;
  out.write(data, n);
  return out.close();
}

} // namespace vantrel::platform
