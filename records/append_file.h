#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "records/failure.h"

namespace records {

// The platform's file operations under the subscriber file: appending a line
// under an exclusive lock, cutting a failed append back off, flushing to the
// disc, and reading the file back. One implementation per platform; tests
// put a fault-injecting one in its place. Every failure carries the system's
// reason in Russian, with its error code.
class FileSystem {
 public:
  // An open file: a descriptor on POSIX, a HANDLE on Windows.
  using Handle = std::intptr_t;

  struct Opened {
    Handle handle;
    bool created;  // the file did not exist and this open made it
  };

  virtual ~FileSystem() = default;

  // Opens the file for reading and appending, creating it empty if missing;
  // an existing file is never truncated.
  virtual Result<Opened> OpenForAppend(const std::filesystem::path& path) = 0;
  // Opens an existing file for reading only.
  virtual Result<Handle> OpenForReading(const std::filesystem::path& path) = 0;
  // Waits for the exclusive lock that every saving copy of the program takes;
  // it does not stop readers. Closing the file releases it.
  virtual std::optional<Failure> Lock(Handle file) = 0;
  virtual Result<std::uint64_t> Size(Handle file) = 0;
  // Reads up to buffer.size() bytes at `offset`; 0 at the end of the file.
  virtual Result<std::size_t> ReadAt(Handle file, std::uint64_t offset,
                                     std::span<char> buffer) = 0;
  // Writes the bytes at the end of the file in one call; the count written
  // may be short.
  virtual Result<std::size_t> Append(Handle file, std::string_view bytes) = 0;
  virtual std::optional<Failure> Truncate(Handle file, std::uint64_t size) = 0;
  // Puts the file's data on stable storage.
  virtual std::optional<Failure> Flush(Handle file) = 0;
  // Puts the folder entry of a newly created file on stable storage.
  virtual std::optional<Failure> FlushFolder(
      const std::filesystem::path& file) = 0;
  virtual void Close(Handle file) = 0;
};

// The path as UTF-8 text, for messages.
inline std::string PathText(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

// The implementation of the platform the program was built for.
FileSystem& PlatformFileSystem();

}  // namespace records
