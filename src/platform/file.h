// Files for every OS: whole-file and streamed reads, buffered writes that report every
// error, atomic replacement, status, removal and the test seam that injects write failures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::platform {

/// What the OS reports about one file (statFile).
struct FileStatus {
  std::uint64_t size = 0;
  /// Last modification in nanoseconds since 1970-01-01 UTC, for telling two states of a
  /// file apart (it wraps around for times past 2262).
  std::int64_t modifiedNanos = 0;
  /// Last modification in whole milliseconds since 1970-01-01 UTC, rounded down, right for
  /// every time a file system holds.
  std::int64_t modifiedMillis = 0;
  std::int64_t changedNanos = 0; ///< status change (POSIX ctime); creation time on Windows
  std::uint64_t device = 0;      ///< device / volume serial number
  std::uint64_t fileId = 0;      ///< inode / file index
  bool isDirectory = false;
};

/// Status of the file at path; nothing when it does not exist or cannot be examined.
std::optional<FileStatus> statFile(const std::string &path);

/// True when something (file or directory) exists at path.
bool fileExists(const std::string &path);

/// True when a file (not a folder) exists at path now and either none existed when before
/// was taken (before is nothing) or it differs from before in size, modification time,
/// change time or identity: the file was created or rewritten since.
bool changedSince(const std::string &path, const std::optional<FileStatus> &before);

/// Deletes a regular file; false when it could not be deleted or did not exist. Anything
/// else at path (a folder, a symbolic link, a FIFO, a device, a socket) is never removed:
/// no program writes one by writing a file, so it is the user's.
bool removeFile(const std::string &path);

/// What a path leads to, its symbolic links followed.
enum class FileKind { Missing, Regular, Folder, Fifo, CharacterDevice, BlockDevice, Socket, Other };

/// The kind of what path leads to (links followed); Missing when nothing is there or it
/// cannot be examined. On Windows NUL and CON are character devices, a named pipe a FIFO.
FileKind fileKind(const std::string &path);

/// The kind in words for a message: "a folder", "a FIFO", ... (PlatformMessages.h).
const char *describeKind(FileKind kind);

/// How a file written at a path reaches it (writeTarget).
struct WriteTarget {
  enum class Way {
    Replace, ///< a complete new file is renamed onto path (missing or a regular file)
    Through, ///< a FIFO or a character device: written in place, never replaced or removed
    Refused  ///< no file can be written there; why says so
  };
  Way way = Way::Refused;
  /// Replace: the name the new file takes: the final target of a symbolic link (so the
  /// link keeps pointing where it did), else the path as given. Through and Refused: the
  /// path as given.
  std::string path;
  /// Refused: "it is a folder" (IT_IS + describeKind), or the OS's reason that the folder
  /// to hold the file is missing or no folder.
  std::string why;
};

/// Where a file written at path goes: the rule of every writer that must not destroy what
/// is at a name. A missing name or a regular file is replaced whole (through a symbolic
/// link, its target); a FIFO or character device is written through; a folder, a socket, a
/// block device or anything else is refused, and so is a name whose folder does not exist.
WriteTarget writeTarget(const std::string &path);

/// The name path gives a file, spelled one way for every spelling: its folder's canonical
/// path (links, "." and ".." resolved; on Windows the long form, in upper case since names
/// that differ in case name one file) and the last component. A key to compare and order
/// names by, not a name to open. Nothing when the folder does not exist.
std::optional<std::string> canonicalName(const std::string &path);

/// True when a and b name one file: the same text, the same canonical name (whether or not
/// the file exists), or two existing files (not folders) with the same identity.
bool sameFile(const std::string &a, const std::string &b);

/// Renames from to to, replacing an existing to but never a read-only one; false on
/// failure. A refusal that may pass (another program holding to on Windows) is retried
/// with growing pauses for up to REPLACE_PATIENCE_MILLIS.
bool renameFile(const std::string &from, const std::string &to);

/// Room a buffer needs beyond its bytes to be laid by lineUpOffset.
inline constexpr std::size_t LINE_UP = 64;
/// Where in storage to lay the bytes that lie at byte at of a file (to be written there or
/// read from there), so that they share their place within a cache line with the file: the
/// OS copies between a buffer and a file's pages several times faster when the two line up.
inline std::size_t lineUpOffset(const void *storage, std::uint64_t at) {
  return static_cast<std::size_t>((at - reinterpret_cast<std::uintptr_t>(storage)) % LINE_UP);
}

/// Why an atomic writer (OutputFile) would refuse to replace the file at path before it
/// writes anything: the OS's reason with READ_ONLY_FILE after it when it is read-only, as
/// failureReason() would tell. Nothing when nothing stands in the way that can be seen now.
std::optional<std::string> replacementRefusal(const std::string &path);

/// Moves the file at path aside, to a name of its own in the same folder that no file had
/// (path + "." + process id + "-" + n + ".earlier"), so that it can be put back whole with
/// renameFile: the same file, its contents and its times. A move another program holds up
/// is retried as renameFile does. The name it got, or nothing with the OS's reason in why.
std::optional<std::string> setFileAside(const std::string &path, std::string &why);

/// How long a replacement that another program holds up is retried before it fails: a
/// scanner, indexer or sync client lets go well within it; a viewer that keeps the file
/// open does not.
inline constexpr std::int64_t REPLACE_PATIENCE_MILLIS = 2000;

/// Last modification time in milliseconds since 1970-01-01 UTC; 0 when the file is missing.
std::int64_t modifiedMillis(const std::string &path);

/// The whole file as bytes; nothing when it cannot be opened or read.
std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string &path);

/// Sequential reader of one file, unbuffered: each read is one OS call.
class InputFile {
public:
  InputFile();
  ~InputFile();
  InputFile(const InputFile &) = delete;
  InputFile &operator=(const InputFile &) = delete;

  /// Opens an existing file for reading; false when it cannot be opened.
  bool open(const std::string &path);
  /// Reads up to n bytes; the count read (0 at end of file), or -1 on an error.
  std::int64_t read(void *buffer, std::size_t n);
  /// Size of the open file in bytes, or -1.
  std::int64_t size() const;
  void close();
  bool isOpen() const;
  /// Why the last open or read failed, in the system's words; "" before any failure.
  const std::string &failure() const;

private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

/// Test seam around the writers: a hook installed here is asked before every OS write, close
/// and replacement, and a false answer makes that call fail as a full disk, a failed close
/// or a refused replacement would.
class IoFaultHook {
public:
  virtual ~IoFaultHook() = default;
  /// Asked before writing n bytes to the file opened as path.
  virtual bool allowWrite(const std::string &path, std::size_t n) {
    (void)path;
    (void)n;
    return true;
  }
  /// Asked before closing the file opened as path.
  virtual bool allowClose(const std::string &path) {
    (void)path;
    return true;
  }
  /// Asked before each attempt to move a finished atomic writer's file onto path; a false
  /// answer makes that attempt fail as the OS refuses to replace a file (access denied).
  virtual bool allowReplace(const std::string &path) {
    (void)path;
    return true;
  }
};

/// Installs (or, with nullptr, removes) the fault hook for the whole process.
void setIoFaultHook(IoFaultHook *hook);

/// Buffered writer that detects every error: a failed write, a full disk or a failed close
/// all make close() (and commit()) return false. Writes reach the OS in large blocks.
///
/// Atomic mode follows writeTarget: a FIFO or character device is written through in place
/// (commit only closes it), a folder or other special file is refused at open (with the
/// reason), and otherwise the writer writes to a temporary name in the folder of the name
/// it replaces (a symbolic link's target),
/// destination + "." + process id + "-" + n + ".part"; commit() closes it and renames it
/// into place only when everything was written (see renameFile for a destination that is
/// held or read-only). A writer destroyed or closed without a successful commit removes
/// its temporary file, so no half-written file ever carries the destination's name; the
/// temporary name is registered for removal on an interruption (interrupt.h) while it
/// exists, and the writer holds it so that another process can tell it is live
/// (removeStaleTemporaries).
class OutputFile {
public:
  enum class Mode { Truncate, Append, Atomic };
  static constexpr std::size_t BUFFER_SIZE = 1 << 20;
  /// Pieces at least this large go to the OS as they are, after what is buffered.
  static constexpr std::size_t DIRECT_SIZE = 1 << 16;

  OutputFile();
  ~OutputFile();
  OutputFile(const OutputFile &) = delete;
  OutputFile &operator=(const OutputFile &) = delete;

  /// Creates (or truncates, or appends to) the file; false when it cannot be opened.
  bool open(const std::string &path, Mode mode = Mode::Truncate);
  /// Buffers n bytes, or writes them at once when they are DIRECT_SIZE or more; false once
  /// any error has happened.
  bool write(const void *data, std::size_t n);
  bool write(const std::string &text) { return write(text.data(), text.size()); }
  /// Flushes and closes; false when anything failed since open. In atomic mode a close
  /// without commit discards the temporary file.
  bool close();
  /// Atomic mode: flush, close and rename into place; false (and no file) on any error.
  /// Other modes: the same as close().
  bool commit();
  /// True while no error has been seen.
  bool good() const { return good_; }
  /// Why the first failure since open happened, as the OS describes it ("Access is
  /// denied."), with READ_ONLY_FILE after it when the destination is read-only; empty when
  /// nothing failed or the failure was no OS error (such as a commit without open).
  const std::string &failureReason() const { return failure_; }
  bool isOpen() const;

private:
  bool flushBuffer();
  bool writeThrough(const void *data, std::size_t n);
  bool closeThrough();
  bool fail(int error);
  bool replaceDestination();
  /// Removes the atomic writer's temporary file and marks the writer failed.
  void discardTemporary();
  struct Impl;
  std::unique_ptr<Impl> impl_;
  std::string path_;   // the name written: the caller's, or in atomic mode a link's target
  std::string osPath_; // the name opened (temporary name in atomic mode)
  Mode mode_ = Mode::Truncate;
  bool through_ = false; // atomic mode on a FIFO or device: written in place
  std::vector<char> buffer_;
  bool good_ = false;
  std::string failure_;
};

/// Removes the temporary files that atomic writers of destination left behind when they
/// could not clean up (killed, power lost): exactly the names destination + "." + pid +
/// "-" + n + ".part" (decimal digits) whose process no longer exists and which no writer
/// holds. Nothing else is touched. Returns the names removed.
std::vector<std::string> removeStaleTemporaries(const std::string &destination);

/// Writes bytes to a file in one go (Truncate mode); false on any error.
bool writeWholeFile(const std::string &path, const void *data, std::size_t n);

/// The platform's line separator: "\r\n" on Windows, "\n" elsewhere.
const char *lineSeparator();

/// The current process id (used for temporary names).
std::uint32_t currentProcessId();

} // namespace vantrel::platform
