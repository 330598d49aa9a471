#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "records/failure.h"
#include "records/file_system.h"

namespace records {

// Reads a subscriber file line by line, in its own bytes (Windows-1251),
// through a large buffer. A line ends at CR LF or at a lone CR; a lone LF is
// an ordinary character. The last line needs no break, a final break starts
// no further line, and an empty file has no lines. Any bytes are accepted.
class LineReader {
 public:
  // Opens the file for reading; a missing or unreadable file is a failure
  // with a Russian message naming the file and the system's reason.
  static Result<LineReader> Open(const std::filesystem::path& path,
                                 FileSystem& files = PlatformFileSystem());

  LineReader(LineReader&&) noexcept;
  LineReader& operator=(LineReader&&) noexcept;
  ~LineReader();  // closes the file

  // The next line without its break, valid until the next call; false at
  // the end of the file. A read error is a failure.
  Result<bool> Next(std::string_view& line);

  // Whether the end of the file has been reached: no line is left, so that
  // Next would report the end. The reader looks ahead to know it.
  bool AtEnd() const;

  // Closes the file now; later calls of Next report the end.
  void Close();

 private:
  struct State;
  explicit LineReader(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};

}  // namespace records
