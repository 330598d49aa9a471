#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "records/failure.h"
#include "records/file_system.h"
#include "records/line_blocks.h"

namespace records {

// Reads a subscriber file line by line, in its own bytes, from the blocks of
// whole lines of LineBlocks: the lines of line_breaks.h, without their
// breaks; an empty file has none.
class LineReader {
 public:
  // Opens the file as LineBlocks::Open does.
  static Result<LineReader> Open(const std::filesystem::path& path,
                                 FileSystem& files = PlatformFileSystem());

  // The next line without its break, valid until the next call; false at
  // the end of the file. A read error is a failure.
  Result<bool> Next(std::string_view& line);

  // Whether the end of the file has been reached: no line is left, so that
  // Next would report the end. The reader looks ahead to know it.
  bool AtEnd() const;

  // Closes the file now; later calls of Next report the end.
  void Close();

 private:
  explicit LineReader(LineBlocks blocks) : blocks_(std::move(blocks)) {}

  bool BlockDone() const { return next_ == block_.size(); }
  std::optional<Failure> NextBlock();
  // Looks ahead past the line just taken, which is copied first when the
  // next block would overwrite it.
  std::optional<Failure> LookAhead(std::string_view& line);

  // Lines are taken from the current block at `next_`. After every call the
  // reader has looked ahead: another line is left in the block or read
  // ahead by the blocks, or the blocks are at their end.
  LineBlocks blocks_;
  std::string_view block_;
  std::size_t next_ = 0;
  std::string last_line_;  // the block's last line, while the next is read
};

}  // namespace records
