// The OS-independent half of the file layer: readers and buffered writers built on the raw
// calls of file_posix.cpp / file_win32.cpp, atomic replacement, the removal of stale
// temporary files and the fault seam.
#include "platform/file.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "platform/fileHandle.h"
#include "platform/interrupt.h"
#include "platform/interruptRegistry.h"
#include "platform/path.h"
#include "platform/process.h"

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

} // namespace

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
  auto status = statFile(path);
  if (!status) return 0;
  // Floor division keeps times before 1970 in the right millisecond.
  const std::int64_t ns = status->modifiedNanos;
  return ns >= 0 ? ns / 1000000 : -((-ns + 999999) / 1000000);
}

// ---- InputFile ----

struct InputFile::Impl {
  NativeHandle handle = INVALID_NATIVE_HANDLE;
};

InputFile::InputFile() : impl_(std::make_unique<Impl>()) {}
InputFile::~InputFile() {
  close();
}

bool InputFile::open(const std::string &path) {
  close();
  impl_->handle = detail::openForRead(path);
  return impl_->handle != INVALID_NATIVE_HANDLE;
}

std::int64_t InputFile::read(void *buffer, std::size_t n) {
  if (impl_->handle == INVALID_NATIVE_HANDLE) return -1;
  return detail::readSome(impl_->handle, buffer, n);
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
  if (mode == Mode::Atomic) {
    // What a killed writer of this destination left is gone before this one adds its own.
    removeStaleTemporaries(path);
    // The temporary file sits in the destination's folder so that the final rename never
    // crosses a file system; its name never looks like a finished result. It is
    // registered and created under the registry's lock, so an interruption either finds
    // it registered or stops its creation.
    auto registryLock = detail::lockInterruptRegistry();
    for (int attempt = 0; attempt < 100 && impl_->handle == INVALID_NATIVE_HANDLE; ++attempt) {
      osPath_ = temporaryName(path, currentProcessId(), tempCounter.fetch_add(1));
      removeFileOnInterrupt(osPath_);
      impl_->handle = detail::createExclusive(osPath_);
      if (impl_->handle != INVALID_NATIVE_HANDLE) break;
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
  }
  if (impl_->handle == INVALID_NATIVE_HANDLE) return false;
  buffer_.clear();
  buffer_.reserve(BUFFER_SIZE);
  good_ = true;
  return true;
}

bool OutputFile::flushBuffer() {
  if (buffer_.empty()) return good_;
  if (good_) {
    IoFaultHook *h = hook();
    if ((h && !h->allowWrite(path_, buffer_.size())) ||
        !detail::writeAll(impl_->handle, buffer_.data(), buffer_.size()))
      good_ = false;
  }
  buffer_.clear();
  return good_;
}

bool OutputFile::write(const void *data, std::size_t n) {
  if (!isOpen() || !good_) return false;
  if (buffer_.size() + n <= BUFFER_SIZE) {
    buffer_.insert(buffer_.end(), static_cast<const char *>(data), static_cast<const char *>(data) + n);
    return true;
  }
  if (!flushBuffer()) return false;
  if (n >= BUFFER_SIZE) {
    // Large blocks go straight to the OS without a copy.
    IoFaultHook *h = hook();
    if ((h && !h->allowWrite(path_, n)) || !detail::writeAll(impl_->handle, data, n)) good_ = false;
    return good_;
  }
  buffer_.insert(buffer_.end(), static_cast<const char *>(data), static_cast<const char *>(data) + n);
  return true;
}

bool OutputFile::close() {
  if (!isOpen()) return false;
  flushBuffer();
  IoFaultHook *h = hook();
  const bool closeAllowed = !h || h->allowClose(path_);
  const bool closed = detail::closeHandle(impl_->handle);
  impl_->handle = INVALID_NATIVE_HANDLE;
  if (!closeAllowed || !closed) good_ = false;
  if (mode_ == Mode::Atomic) {
    // Closing an atomic writer without commit abandons the result.
    removeFile(osPath_);
    dontRemoveFileOnInterrupt(osPath_);
    good_ = false;
  }
  std::vector<char>().swap(buffer_);
  return good_;
}

bool OutputFile::commit() {
  if (mode_ != Mode::Atomic) return close();
  if (!isOpen()) return false;
  flushBuffer();
  IoFaultHook *h = hook();
  const bool closeAllowed = !h || h->allowClose(path_);
  const bool closed = detail::closeHandle(impl_->handle);
  impl_->handle = INVALID_NATIVE_HANDLE;
  std::vector<char>().swap(buffer_);
  if (!closeAllowed || !closed) good_ = false;
  {
    // Once an interruption's clean-up has begun, the destination keeps what it held.
    auto registryLock = detail::lockInterruptRegistry();
    if (good_ && !renameFile(osPath_, path_)) good_ = false;
    if (!good_) removeFile(osPath_);
    dontRemoveFileOnInterrupt(osPath_);
  }
  return good_;
}

bool writeWholeFile(const std::string &path, const void *data, std::size_t n) {
  OutputFile out;
  if (!out.open(path)) return false;
  out.write(data, n);
  return out.close();
}

} // namespace vantrel::platform
