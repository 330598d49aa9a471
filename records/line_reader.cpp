#include "records/line_reader.h"

#include <string>

#include "records/line_blocks.h"
#include "records/line_breaks.h"

namespace records {

// Lines are taken from the current block at `next`. After every call the
// reader has looked ahead: another line is left in the block or read ahead
// by the blocks, or the blocks are at their end.
struct LineReader::State {
  explicit State(LineBlocks opened) : blocks(std::move(opened)) {}

  LineBlocks blocks;
  std::string_view block;
  std::size_t next = 0;
  std::string last_line;  // the block's last line, while the next is read

  bool BlockDone() const { return next == block.size(); }

  std::optional<Failure> NextBlock() {
    Result<std::string_view> read = blocks.Next();
    if (!read) return read.failure();
    block = read.value();
    next = 0;
    return std::nullopt;
  }

  // Looks ahead past the line just taken, which is copied first when the
  // next block would overwrite it.
  std::optional<Failure> LookAhead(std::string_view& line) {
    if (!BlockDone() || blocks.Buffered()) return std::nullopt;
    last_line.assign(line);
    line = last_line;
    return NextBlock();
  }
};

LineReader::LineReader(std::unique_ptr<State> state)
    : state_(std::move(state)) {}
LineReader::LineReader(LineReader&&) noexcept = default;
LineReader& LineReader::operator=(LineReader&& other) noexcept {
  Close();
  state_ = std::move(other.state_);
  return *this;
}
LineReader::~LineReader() { Close(); }

Result<LineReader> LineReader::Open(const std::filesystem::path& path,
                                    FileSystem& files) {
  Result<LineBlocks> blocks = LineBlocks::Open(path, files);
  if (!blocks) return blocks.failure();
  LineReader reader(std::make_unique<State>(std::move(blocks.value())));
  std::string_view none;
  if (std::optional<Failure> failure = reader.state_->LookAhead(none)) {
    return *failure;
  }
  return reader;
}

Result<bool> LineReader::Next(std::string_view& line) {
  if (AtEnd()) return false;
  State& s = *state_;
  if (s.BlockDone()) {
    if (std::optional<Failure> failure = s.NextBlock()) return *failure;
  }
  const LineBounds bounds = LineAt(s.block, s.next);
  line = s.block.substr(s.next, bounds.end - s.next);
  s.next = bounds.next;
  if (std::optional<Failure> failure = s.LookAhead(line)) return *failure;
  return true;
}

bool LineReader::AtEnd() const {
  return !state_ || (state_->BlockDone() && !state_->blocks.Buffered());
}

void LineReader::Close() {
  if (!state_) return;
  state_->blocks.Close();
  state_->block = {};
  state_->next = 0;
}

}  // namespace records
