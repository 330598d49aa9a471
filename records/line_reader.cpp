#include "records/line_reader.h"

#include <array>
#include <cstring>
#include <span>
#include <utility>
#include <vector>

#include "records/line_breaks.h"
#include "records/line_encoding.h"
#include "records/messages.h"

namespace records {
namespace {

// The buffer is large enough that reading costs few system calls, and small
// enough that a block stays in the processor's cache while it is searched.
constexpr std::size_t kBufferSize = std::size_t{256} << 10;

}  // namespace

// The buffer holds the bytes read and not given out yet at [begin, end):
// the start of a line whose break has not been read.
struct LineReader::State {
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
  Result<void> Read() {
    if (end == buffer.size()) buffer.resize(2 * buffer.size());
    Result<std::size_t> count =
        files->ReadAt(handle, offset, std::span<char>(buffer).subspan(end));
    if (!count) {
      Close();
      return OnFile(Step::kRead, path, count.failure());
    }
    offset += count.value();
    end += count.value();
    file_ended = count.value() == 0;
    if (after_cr && begin < end) {
      if (buffer[begin] == kLf) ++begin;
      after_cr = false;
    }
    return {};
  }
};

LineReader::LineReader(std::unique_ptr<State> state)
    : state_(std::move(state)) {}
LineReader::LineReader(LineReader&& other) noexcept
    : state_(std::move(other.state_)),
      lines_(std::exchange(other.lines_, {})) {}
LineReader& LineReader::operator=(LineReader&& other) noexcept {
  Close();
  state_ = std::move(other.state_);
  lines_ = std::exchange(other.lines_, {});
  return *this;
}
LineReader::~LineReader() { Close(); }

Result<LineReader> LineReader::Open(const std::filesystem::path& path,
                                    FileSystem& files) {
  Result<FileSystem::Handle> handle = files.OpenForReading(path);
  if (!handle) {
    return OnFile(Step::kOpen, path, handle.failure());
  }
  auto state = std::make_unique<State>();
  state->files = &files;
  state->handle = handle.value();
  state->path = path;
  LineReader reader(std::move(state));

  std::array<char, kUtf8Mark.size()> head{};
  Result<std::size_t> read = ReadFull(files, handle.value(), 0, head);
  if (!read) return OnFile(Step::kRead, path, read.failure());
  switch (MarkOf(std::string_view(head.data(), read.value()))) {
    case FileMark::kUtf16:
      return Utf16Failure(path);
    case FileMark::kUtf8:
      reader.state_->offset = kUtf8Mark.size();
      break;
    case FileMark::kNone:
      break;
  }
  return reader;
}

Result<bool> LineReader::ReadBlock(const Reading& reading) {
  State& s = *state_;
  // The line begun in the last block moves to the front; it holds no CR.
  if (s.begin < s.end) {
    std::memmove(s.buffer.data(), s.buffer.data() + s.begin, s.end - s.begin);
  }
  s.end -= s.begin;
  s.begin = 0;
  for (;;) {
    if (s.file_ended) {
      // The last line, which has no break.
      lines_ = std::string_view(s.buffer.data() + s.begin, s.end - s.begin);
      s.begin = s.end;
      break;
    }
    if (reading && !reading(s.offset)) {
      Close();
      return FileFailure(FileError::kCancelled);
    }
    const std::size_t searched = s.end;
    if (Result<void> read = s.Read(); !read) return read.failure();
    const std::string_view bytes(s.buffer.data(), s.end);
    if (bytes.find(kCr, std::max(searched, s.begin)) ==
        std::string_view::npos) {
      continue;
    }
    // The block ends with the last whole break read.
    std::size_t block_end = bytes.rfind(kCr) + 1;
    if (block_end == s.end) {
      s.after_cr = true;
    } else if (bytes[block_end] == kLf) {
      ++block_end;
    }
    lines_ = bytes.substr(s.begin, block_end - s.begin);
    s.begin = block_end;
    break;
  }
  return !lines_.empty();
}

Result<std::uint64_t> LineReader::FileSize() const {
  Result<std::uint64_t> size = state_->files->Size(state_->handle);
  if (!size) {
    return OnFile(Step::kRead, state_->path, size.failure());
  }
  return size;
}

Result<void> LineReader::ShareLock(const LockWait& wait) {
  return TakeLock(*state_->files, state_->handle, LockKind::kShared,
                  state_->path, wait);
}

void LineReader::Close() {
  lines_ = {};
  if (state_) state_->Close();
}

}  // namespace records
