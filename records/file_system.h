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

// Performs the platform's file operations on the subscriber file: appending
// a line under a lock, cutting a failed append back off, flushing to the
// disc, and reading the file back. Each platform has one implementation;
// tests put a faulty one in its place. Every failure carries the system's
// reason in Russian with its error code (see messages.h).
class FileSystem {
 public:
  // Names an open file: a descriptor on POSIX, a HANDLE on Windows.
  using Handle = std::intptr_t;

  struct Opened {
    Handle handle;
    bool created;   // the file did not exist and this open made it
    bool readable;  // false where the file lets us append but not read
  };

  virtual ~FileSystem() = default;

  // Opens the file for appending, and for reading where that is allowed,
  // creating it empty if missing and never truncating it. It refuses
  // anything but a regular file, and gives up after a few tries on a file
  // that vanishes or is replaced at every try.
  virtual Result<Opened> OpenForAppend(const std::filesystem::path& path) = 0;
  // Opens an existing regular file for reading only; never waits on a pipe
  // or a device, which are refused.
  virtual Result<Handle> OpenForReading(const std::filesystem::path& path) = 0;
  // Takes the lock that every copy of the program takes, without waiting;
  // false while another copy holds it in a way that excludes `kind`. Saves
  // take it exclusive and searches shared, so that no search reads a line
  // being written and no search waits for another. Closing releases it.
  virtual Result<bool> TryLock(Handle file, LockKind kind) = 0;
  // Tells whether the open file is still the file at `path`: not renamed
  // away, deleted or replaced since it was opened.
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
// many reads as the system needs, and returns the count read.
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

// Gives the path as UTF-8 text, for messages.
inline std::string PathText(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

// Returns the implementation of the platform the program was built for.
FileSystem& PlatformFileSystem();

}  // namespace records
