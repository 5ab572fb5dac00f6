// The OS-independent half of the file layer: readers and buffered writers built on the raw
// calls of file_posix.cpp / file_win32.cpp, atomic replacement and the fault seam.
#include "platform/file.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "platform/fileHandle.h"

namespace vantrel::platform {

using detail::INVALID_NATIVE_HANDLE;
using detail::NativeHandle;

namespace {
std::atomic<IoFaultHook *> faultHook{nullptr};

IoFaultHook *hook() {
  return faultHook.load(std::memory_order_acquire);
}

std::atomic<std::uint32_t> tempCounter{0};
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
    // The temporary file sits in the destination's folder so that the final rename never
    // crosses a file system; its name never looks like a finished result.
    for (int attempt = 0; attempt < 100 && impl_->handle == INVALID_NATIVE_HANDLE; ++attempt) {
      osPath_ = path + "." + std::to_string(currentProcessId()) + "-" +
                std::to_string(tempCounter.fetch_add(1)) + ".part";
      impl_->handle = detail::createExclusive(osPath_);
      if (impl_->handle == INVALID_NATIVE_HANDLE && !fileExists(osPath_))
        break; // not a name clash: the folder is not writable
    }
  } else {
    osPath_ = path;
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
  if (good_ && !renameFile(osPath_, path_)) good_ = false;
  if (!good_) removeFile(osPath_);
  return good_;
}

bool writeWholeFile(const std::string &path, const void *data, std::size_t n) {
  OutputFile out;
  if (!out.open(path)) return false;
  out.write(data, n);
  return out.close();
}

} // namespace vantrel::platform
