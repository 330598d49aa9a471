#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "records/failure.h"

namespace records {

enum class LockKind { kShared, kExclusive };

// The platform's file operations under the subscriber file: appending a line
// under an exclusive lock, cutting a failed append back off, flushing to the
// disc, and reading the file back. One implementation per platform; tests
// put a fault-injecting one in its place. Every failure carries the system's
// reason in Russian, with its error code (see messages.h).
class FileSystem {
 public:
  // An open file: a descriptor on POSIX, a HANDLE on Windows.
  using Handle = std::intptr_t;

  struct Opened {
    Handle handle;
    bool created;   // the file did not exist and this open made it
    bool readable;  // false where the file lets us append but not read
  };

  virtual ~FileSystem() = default;

  // Opens the file for appending, and for reading where that is allowed,
  // creating it empty if missing; an existing file is never truncated.
  // Anything but a regular file is refused, and a file that vanishes or is
  // replaced at every try fails after a few tries instead of holding the
  // window.
  virtual Result<Opened> OpenForAppend(const std::filesystem::path& path) = 0;
  // Opens an existing regular file for reading only; never waits on a pipe
  // or a device, which are refused.
  virtual Result<Handle> OpenForReading(const std::filesystem::path& path) = 0;
  // Takes the lock that every copy of the program takes, without waiting:
  // false while another copy holds it in a way that excludes `kind`. A save
  // takes it exclusive, a search shared, so that a search never reads a line
  // that a save is writing and two searches never keep each other waiting.
  // It does not stop programs that do not take it. Closing the file
  // releases it.
  virtual Result<bool> TryLock(Handle file, LockKind kind) = 0;
  // Whether the open file is still the file at `path`: not renamed away,
  // deleted or replaced since it was opened.
  virtual Result<bool> IsFileAt(Handle file,
                                const std::filesystem::path& path) = 0;
  virtual Result<std::uint64_t> Size(Handle file) = 0;
  // Reads up to buffer.size() bytes at `offset`; 0 at the end of the file.
  virtual Result<std::size_t> ReadAt(Handle file, std::uint64_t offset,
                                     std::span<char> buffer) = 0;
  // Writes the bytes at the end of the file in one call; the count written
  // may be short.
  virtual Result<std::size_t> Append(Handle file, std::string_view bytes) = 0;
  virtual Result<void> Truncate(Handle file, std::uint64_t size) = 0;
  // Puts the file's data on stable storage.
  virtual Result<void> Flush(Handle file) = 0;
  // Puts the folder entry of a newly created file on stable storage.
  virtual Result<void> FlushFolder(const std::filesystem::path& file) = 0;
  virtual void Close(Handle file) = 0;
};

// Reads at `offset` until `buffer` is full or the file ends, through as
// many reads as the system needs; the count read.
inline Result<std::size_t> ReadFull(FileSystem& files, FileSystem::Handle file,
                                    std::uint64_t offset,
                                    std::span<char> buffer) {
  std::size_t done = 0;
  while (done < buffer.size()) {
    Result<std::size_t> read =
        files.ReadAt(file, offset + done, buffer.subspan(done));
    if (!read) return read.failure();
    if (read.value() == 0) break;
    done += read.value();
  }
  return done;
}

// The path as UTF-8 text, for messages.
inline std::string PathText(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

// The implementation of the platform the program was built for.
FileSystem& PlatformFileSystem();

}  // namespace records
