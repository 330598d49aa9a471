#include "records/line_reader.h"

#include <cstring>
#include <vector>

#include "records/system_reason.h"

namespace records {
namespace {

// Large enough that reading costs few system calls, small enough to stay in
// the processor's cache while the lines are cut.
constexpr std::size_t kBufferSize = std::size_t{256} << 10;

}  // namespace

// The unread bytes are buffer[begin, end). After every call the reader has
// looked ahead: either an unread byte is in the buffer, or the file is at its
// end (begin == end then means no line is left).
struct LineReader::State {
  FileSystem* files;
  FileSystem::Handle handle;
  std::filesystem::path path;  // for messages
  bool open = true;
  std::uint64_t offset = 0;  // of the byte after the buffer's data
  std::vector<char> buffer = std::vector<char>(kBufferSize);
  std::size_t begin = 0;
  std::size_t end = 0;
  bool file_ended = false;
  bool after_cr = false;  // a line just ended at CR: an LF next belongs to it
  std::string long_line;  // a line that the buffer does not hold whole

  void Close() {
    if (!open) return;
    files->Close(handle);
    open = false;
    begin = end = 0;
    file_ended = true;
  }

  // Replaces the buffer's data with the next bytes of the file. A failed
  // read closes the file: nothing after it is trusted.
  std::optional<Failure> Refill() {
    Result<std::size_t> count = files->ReadAt(handle, offset, buffer);
    if (!count) {
      Close();
      return OnFile("Не удалось прочитать файл", path, count.failure());
    }
    offset += count.value();
    begin = 0;
    end = count.value();
    file_ended = end == 0;
    return std::nullopt;
  }

  // Looks ahead past the line just taken (which may view the buffer, and is
  // moved to long_line before the buffer is refilled).
  std::optional<Failure> LookAhead(std::string_view& line) {
    for (;;) {
      if (after_cr && begin < end) {
        if (buffer[begin] == '\n') ++begin;
        after_cr = false;
      }
      if (begin < end || file_ended) return std::nullopt;
      if (line.data() != long_line.data()) {
        long_line.assign(line);
        line = long_line;
      }
      if (std::optional<Failure> failure = Refill()) return failure;
    }
  }

  // Takes the line that starts at `begin`, which holds an unread byte.
  std::optional<Failure> TakeLine(std::string_view& line) {
    const char* start = buffer.data() + begin;
    if (const void* cr = std::memchr(start, '\r', end - begin)) {
      const char* stop = static_cast<const char*>(cr);
      line = std::string_view(start, static_cast<std::size_t>(stop - start));
      begin += line.size() + 1;
      after_cr = true;
      return std::nullopt;
    }
    long_line.assign(start, end - begin);
    for (;;) {
      if (std::optional<Failure> failure = Refill()) return failure;
      if (file_ended) break;
      start = buffer.data();
      if (const void* cr = std::memchr(start, '\r', end)) {
        const auto length =
            static_cast<std::size_t>(static_cast<const char*>(cr) - start);
        long_line.append(start, length);
        begin = length + 1;
        after_cr = true;
        break;
      }
      long_line.append(start, end);
    }
    line = long_line;
    return std::nullopt;
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
  Result<FileSystem::Handle> handle = files.OpenForReading(path);
  if (!handle) {
    return OnFile("Не удалось открыть файл", path, handle.failure());
  }
  auto state = std::make_unique<State>();
  state->files = &files;
  state->handle = handle.value();
  state->path = path;
  LineReader reader(std::move(state));
  std::string_view none;
  if (std::optional<Failure> failure = reader.state_->LookAhead(none)) {
    return *failure;
  }
  return reader;
}

Result<bool> LineReader::Next(std::string_view& line) {
  if (AtEnd()) return false;
  if (std::optional<Failure> failure = state_->TakeLine(line)) {
    return *failure;
  }
  if (std::optional<Failure> failure = state_->LookAhead(line)) {
    return *failure;
  }
  return true;
}

bool LineReader::AtEnd() const {
  return !state_ || state_->begin == state_->end;
}

void LineReader::Close() {
  if (state_) state_->Close();
}

}  // namespace records
