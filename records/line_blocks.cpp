#include "records/line_blocks.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "records/byte_words.h"
#include "records/line_breaks.h"
#include "records/line_encoding.h"
#include "records/system_reason.h"

namespace records {
namespace {

// Large enough that reading costs few system calls, small enough that a
// block stays in the processor's cache while it is searched.
constexpr std::size_t kBufferSize = std::size_t{256} << 10;

// Where the last CR of `bytes` stands; npos if none. Eight bytes at a time,
// since a long line holds none for megabytes.
std::size_t LastCr(std::string_view bytes) {
  std::size_t end = bytes.size();
  for (; end >= sizeof(ByteWord); end -= sizeof(ByteWord)) {
    const std::size_t word = end - sizeof(ByteWord);
    const ByteWord crs = BytesEqual(LoadWord(bytes.data() + word), kCr);
    if (crs != 0) return word + LastMarked(crs);
  }
  return bytes.substr(0, end).rfind(kCr);
}

}  // namespace

// The buffer holds the bytes read and not yet handed out at [begin, end):
// the start of a line whose break has not been read yet.
struct LineBlocks::State {
  FileSystem* files;
  FileSystem::Handle handle;
  std::filesystem::path path;  // for messages
  bool open = true;
  bool file_ended = false;
  // The last block ended with a CR read as the buffer's last byte: an LF
  // read next belongs to its break.
  bool after_cr = false;
  std::uint64_t offset = 0;  // of the byte after the buffer's data
  std::vector<char> buffer = std::vector<char>(kBufferSize);
  std::size_t begin = 0;
  std::size_t end = 0;

  void Close() {
    if (!open) return;
    files->Close(handle);
    open = false;
    file_ended = true;
    begin = end = 0;
  }

  // Reads on after the buffer's data, growing a full buffer. A failed read
  // closes the file: nothing after it is trusted.
  std::optional<Failure> Read() {
    if (end == buffer.size()) buffer.resize(2 * buffer.size());
    Result<std::size_t> count =
        files->ReadAt(handle, offset, std::span<char>(buffer).subspan(end));
    if (!count) {
      Close();
      return OnFile("Не удалось прочитать файл", path, count.failure());
    }
    offset += count.value();
    end += count.value();
    file_ended = count.value() == 0;
    if (after_cr && begin < end) {
      if (buffer[begin] == kLf) ++begin;
      after_cr = false;
    }
    return std::nullopt;
  }
};

LineBlocks::LineBlocks(std::unique_ptr<State> state)
    : state_(std::move(state)) {}
LineBlocks::LineBlocks(LineBlocks&&) noexcept = default;
LineBlocks& LineBlocks::operator=(LineBlocks&& other) noexcept {
  Close();
  state_ = std::move(other.state_);
  return *this;
}
LineBlocks::~LineBlocks() { Close(); }

Result<LineBlocks> LineBlocks::Open(const std::filesystem::path& path,
                                    FileSystem& files) {
  Result<FileSystem::Handle> handle = files.OpenForReading(path);
  if (!handle) {
    return OnFile("Не удалось открыть файл", path, handle.failure());
  }
  auto state = std::make_unique<State>();
  state->files = &files;
  state->handle = handle.value();
  state->path = path;
  LineBlocks blocks(std::move(state));

  std::array<char, kUtf8Mark.size()> head{};
  Result<std::size_t> read = ReadFull(files, handle.value(), 0, head);
  if (!read) return OnFile("Не удалось прочитать файл", path, read.failure());
  switch (MarkOf(std::string_view(head.data(), read.value()))) {
    case FileMark::kUtf16:
      return Utf16Failure(path);
    case FileMark::kUtf8:
      blocks.state_->offset = kUtf8Mark.size();
      break;
    case FileMark::kNone:
      break;
  }
  return blocks;
}

Result<std::string_view> LineBlocks::Next(const Reading& reading) {
  State& s = *state_;
  // The line begun in the last block moves to the front.
  std::memmove(s.buffer.data(), s.buffer.data() + s.begin, s.end - s.begin);
  s.end -= s.begin;
  s.begin = 0;
  std::size_t unsearched = s.end;  // the bytes before hold no CR
  for (;;) {
    if (s.file_ended) {
      const std::string_view last(s.buffer.data() + s.begin, s.end - s.begin);
      s.begin = s.end;
      return last;
    }
    if (std::optional<Failure> failure = s.Read()) return *failure;
    unsearched = std::max(unsearched, s.begin);
    const std::string_view fresh(s.buffer.data() + unsearched,
                                 s.end - unsearched);
    const std::size_t cr = LastCr(fresh);
    if (cr == std::string_view::npos) {
      unsearched = s.end;
      if (reading && !s.file_ended && !reading(s.offset)) {
        s.Close();
        return FileFailure(FileError::kCancelled);
      }
      continue;
    }
    std::size_t block_end = unsearched + cr + 1;
    if (block_end == s.end) {
      s.after_cr = true;
    } else if (s.buffer[block_end] == kLf) {
      ++block_end;
    }
    const std::string_view block(s.buffer.data() + s.begin,
                                 block_end - s.begin);
    s.begin = block_end;
    return block;
  }
}

bool LineBlocks::Buffered() const {
  return state_ && state_->begin < state_->end;
}

std::uint64_t LineBlocks::BytesRead() const { return state_->offset; }

Result<std::uint64_t> LineBlocks::FileSize() const {
  Result<std::uint64_t> size = state_->files->Size(state_->handle);
  if (!size) {
    return OnFile("Не удалось прочитать файл", state_->path, size.failure());
  }
  return size;
}

std::optional<Failure> LineBlocks::ShareLock(const LockWait& wait) {
  return TakeLock(*state_->files, state_->handle, LockKind::kShared,
                  state_->path, wait);
}

void LineBlocks::Close() {
  if (state_) state_->Close();
}

}  // namespace records
