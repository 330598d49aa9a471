#include "records/line_reader.h"

#include "records/line_breaks.h"

namespace records {

Result<LineReader> LineReader::Open(const std::filesystem::path& path,
                                    FileSystem& files) {
  Result<LineBlocks> blocks = LineBlocks::Open(path, files);
  if (!blocks) return blocks.failure();
  LineReader reader(std::move(blocks.value()));
  std::string_view none;
  if (std::optional<Failure> failure = reader.LookAhead(none)) {
    return *failure;
  }
  return reader;
}

std::optional<Failure> LineReader::NextBlock() {
  Result<std::string_view> read = blocks_.Next();
  if (!read) return read.failure();
  block_ = read.value();
  next_ = 0;
  return std::nullopt;
}

std::optional<Failure> LineReader::LookAhead(std::string_view& line) {
  if (!BlockDone() || blocks_.Buffered()) return std::nullopt;
  last_line_.assign(line);
  line = last_line_;
  return NextBlock();
}

Result<bool> LineReader::Next(std::string_view& line) {
  if (AtEnd()) return false;
  if (BlockDone()) {
    if (std::optional<Failure> failure = NextBlock()) return *failure;
  }
  const LineBounds bounds = LineAt(block_, next_);
  line = block_.substr(next_, bounds.end - next_);
  next_ = bounds.next;
  if (std::optional<Failure> failure = LookAhead(line)) return *failure;
  return true;
}

bool LineReader::AtEnd() const { return BlockDone() && !blocks_.Buffered(); }

void LineReader::Close() {
  blocks_.Close();
  block_ = {};
  next_ = 0;
}

}  // namespace records
