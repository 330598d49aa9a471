#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string_view>
#include <utility>

#include "records/failure.h"
#include "records/file_lock.h"
#include "records/file_system.h"
#include "records/line_breaks.h"

namespace records {

// Reads a subscriber file line by line, in its own bytes (each line
// Windows-1251 or UTF-8, see LineEncoding): the lines of line_breaks.h,
// without their breaks; an empty file has none. A UTF-8 mark at the start
// of the file is no part of the first line. Any bytes are accepted, and a
// line of any length: the buffer grows until the line fits.
class LineReader {
 public:
  // Opens the file for reading and reads its first bytes; a missing or
  // unreadable file is a failure with a Russian message naming the file and
  // the system's reason, and so is a file in UTF-16 (FileError::kUtf16).
  static Result<LineReader> Open(const std::filesystem::path& path,
                                 FileSystem& files = PlatformFileSystem());

  LineReader(LineReader&&) noexcept;
  LineReader& operator=(LineReader&&) noexcept;
  ~LineReader();  // closes the file

  // Is told, before each further read of the file, how far it has been
  // read: every line whose break lies within those bytes has been given
  // out. Returning false stops the reading there.
  using Reading = std::function<bool(std::uint64_t bytes_read)>;

  // Gives the next line without its break, valid until the next call, or
  // false at the end of the file. A read error, or a stop by `reading`
  // (FileError::kCancelled), is a failure and closes the file.
  Result<bool> Next(std::string_view& line, const Reading& reading = {}) {
    Result<bool> more = HaveLines(reading);
    if (more && more.value()) TakeLine(line);
    return more;
  }

  // Gives all the lines read whole and not given out yet, at least one,
  // each with its break but the file's last (LineAt cuts them), valid until
  // the next call; otherwise as Next. The search looks through a block of
  // lines at a time.
  Result<bool> NextLines(std::string_view& lines, const Reading& reading = {}) {
    Result<bool> more = HaveLines(reading);
    if (more && more.value()) lines = std::exchange(lines_, {});
    return more;
  }

  // Returns the size of the file now, while it is open.
  Result<std::uint64_t> FileSize() const;

  // Takes the shared lock of the copies of the program, so that no save
  // writes a line while this reads; waits while a save holds it (see
  // TakeLock).
  Result<void> ShareLock(const LockWait& wait);

 private:
  struct State;
  explicit LineReader(std::unique_ptr<State> state);

  // Closes the file now; later calls of Next report the end.
  void Close();

  // Gives out the first line of `lines_`.
  void TakeLine(std::string_view& line) {
    const LineBounds bounds = LineAt(lines_, 0);
    line = lines_.substr(0, bounds.end);
    lines_.remove_prefix(bounds.next);
  }
  // Makes `lines_` hold lines, reading the next block where none is left;
  // false at the end of the file.
  Result<bool> HaveLines(const Reading& reading) {
    if (!lines_.empty()) return true;
    return ReadBlock(reading);
  }
  // Reads the next block of whole lines into `lines_`, or tells the end.
  Result<bool> ReadBlock(const Reading& reading);

  std::unique_ptr<State> state_;
  // Holds the lines read whole and not given out yet, each with its break
  // but the file's last.
  std::string_view lines_;
};

}  // namespace records
