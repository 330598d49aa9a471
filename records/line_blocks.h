#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "records/failure.h"
#include "records/file_lock.h"
#include "records/file_system.h"

namespace records {

// Reads a subscriber file in large blocks of whole lines, in its own bytes
// (each line Windows-1251 or UTF-8, see LineEncoding), so that the search
// can look for a query across a whole block at once. A line ends at CR LF or
// at a lone CR (see line_breaks.h). A UTF-8 mark at the start of the file is
// no part of the first line.
//
// A block starts where a line starts and ends with a line's whole break,
// or at the end of the file; a line longer than the buffer makes the buffer
// grow until the line fits. Any bytes are accepted.
class LineBlocks {
 public:
  // Opens the file for reading and reads its first bytes; a missing or
  // unreadable file is a failure with a Russian message naming the file and
  // the system's reason, and so is a file in UTF-16 (FileError::kUtf16).
  static Result<LineBlocks> Open(const std::filesystem::path& path,
                                 FileSystem& files);

  LineBlocks(LineBlocks&&) noexcept;
  LineBlocks& operator=(LineBlocks&&) noexcept;
  ~LineBlocks();  // closes the file

  // Told how far the file has been read while one line longer than the
  // buffer is read; false stops the reading there.
  using Reading = std::function<bool(std::uint64_t bytes_read)>;

  // The next block, valid until the next call; empty at the end of the
  // file. A read error is a failure, and closes the file; so is a stop by
  // `reading` (FileError::kCancelled).
  Result<std::string_view> Next(const Reading& reading = {});

  // Whether bytes already read wait for the next block, so that another
  // line is sure to come.
  bool Buffered() const;
  // How many bytes of the file have been read.
  std::uint64_t BytesRead() const;
  // The size of the file now; only while it is open.
  Result<std::uint64_t> FileSize() const;

  // Takes the shared lock of the copies of the program, so that no save
  // writes a line while this reads; waits while a save holds it (see
  // TakeLock).
  std::optional<Failure> ShareLock(const LockWait& wait);

  // Closes the file now; later calls of Next report the end.
  void Close();

 private:
  struct State;
  explicit LineBlocks(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};

}  // namespace records
