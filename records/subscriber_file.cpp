#include "records/subscriber_file.h"

#include <algorithm>
#include <span>
#include <string_view>
#include <utility>

#include "records/cp1251.h"
#include "records/line_breaks.h"
#include "records/messages.h"
#include "records/split_line.h"

namespace records {
namespace {

// The save looks this far back from the end of the file for the line that
// tells which encoding the file is kept in.
constexpr std::size_t kTailBytes = std::size_t{64} << 10;

// Reads `buffer.size()` bytes at `offset`; a file that ends before is one
// that shrank under the lock.
Result<void> ReadWhole(FileSystem& files, FileSystem::Handle file,
                       std::uint64_t offset, std::span<char> buffer,
                       const std::filesystem::path& path) {
  Result<std::size_t> read = ReadFull(files, file, offset, buffer);
  if (!read) return OnFile(Step::kRead, path, read.failure());
  if (read.value() != buffer.size()) {
    return OnFile(Step::kRead, path, FileFailure(FileError::kShrank));
  }
  return {};
}

// Returns the encoding of the last line of `tail` that holds a byte from
// 0x80 up, Windows-1251 when no line does. `cut`: the tail starts inside the
// file, maybe inside a character, whose leftover bytes are not judged.
LineEncoding LastLineEncoding(std::string_view tail, bool cut) {
  std::size_t high = tail.size();
  while (high > 0 && static_cast<unsigned char>(tail[high - 1]) < 0x80) --high;
  if (high == 0) return LineEncoding::kCp1251;
  --high;
  std::size_t end = tail.find(kCr, high);
  if (end == std::string_view::npos) end = tail.size();
  const std::size_t cr = tail.rfind(kCr, high);
  const std::size_t start =
      cr == std::string_view::npos ? 0 : AfterBreak(tail, cr);
  std::string_view line = tail.substr(start, end - start);
  if (start == 0 && cut) {
    for (int i = 0; i < 3 && !line.empty() &&
                    (static_cast<unsigned char>(line.front()) & 0xC0) == 0x80;
         ++i) {
      line.remove_prefix(1);
    }
  }
  return EncodingOf(line);
}

// What a save must know of the file before it appends to it.
struct FileEnds {
  // The file is kept in UTF-8 when it starts with the UTF-8 mark or when
  // the last line near its end that is not ASCII alone is UTF-8; otherwise,
  // new and empty files too, in Windows-1251.
  LineEncoding encoding = LineEncoding::kCp1251;
  // A last line left without its break would swallow the new card.
  bool needs_break = false;
};

// Reads the start and the end of a file of `size` bytes; a file in UTF-16
// is refused.
Result<FileEnds> ReadEnds(FileSystem& files, FileSystem::Handle file,
                          std::uint64_t size,
                          const std::filesystem::path& path) {
  FileEnds ends;
  if (size == 0) return ends;
  const auto tail_size =
      static_cast<std::size_t>(std::min<std::uint64_t>(size, kTailBytes));
  std::string tail(tail_size, '\0');
  if (Result<void> read = ReadWhole(files, file, size - tail_size, tail, path);
      !read) {
    return read.failure();
  }
  std::string head = tail.substr(0, kUtf8Mark.size());
  if (size > tail_size) {
    head.assign(kUtf8Mark.size(), '\0');
    if (Result<void> read = ReadWhole(files, file, 0, head, path); !read) {
      return read.failure();
    }
  }
  switch (MarkOf(head)) {
    case FileMark::kUtf16:
      return Utf16Failure(path);
    case FileMark::kUtf8:
      ends.encoding = LineEncoding::kUtf8;
      // The mark alone, as Notepad saves an emptied file: no line yet.
      if (size == kUtf8Mark.size()) return ends;
      break;
    case FileMark::kNone:
      ends.encoding = LastLineEncoding(tail, size > tail_size);
      break;
  }
  ends.needs_break = !EndsWithBreak(tail);
  return ends;
}

// Holds the new line in each encoding that can hold the card; the
// Windows-1251 one is a failure when the card holds a character the code
// page lacks.
struct Lines {
  Result<std::string> cp1251;
  std::string utf8;
};

// Closes the file on every way out of an append.
class ClosingHandle {
 public:
  ClosingHandle(FileSystem& files, FileSystem::Handle handle)
      : files_(files), handle_(handle) {}
  ClosingHandle(const ClosingHandle&) = delete;
  ClosingHandle& operator=(const ClosingHandle&) = delete;
  ~ClosingHandle() { files_.Close(handle_); }

 private:
  FileSystem& files_;
  FileSystem::Handle handle_;
};

// Saves that find the file replaced at every round give up after this many.
constexpr int kRounds = 5;

// Appends the line in the file's encoding, whole and flushed, to the file
// that `file` holds under its lock, or leaves the file at its old length.
Result<void> AppendLocked(FileSystem& files, const FileSystem::Opened& opened,
                          const std::filesystem::path& path,
                          const Lines& lines) {
  const FileSystem::Handle file = opened.handle;
  // Under the lock no other save moves the end of the file.
  Result<std::uint64_t> size = files.Size(file);
  if (!size) {
    return OnFile(Step::kSize, path, size.failure());
  }
  const std::uint64_t old_size = size.value();

  // A file that cannot be read is appended to in Windows-1251, without
  // this look.
  FileEnds ends;
  if (opened.readable) {
    Result<FileEnds> read = ReadEnds(files, file, old_size, path);
    if (!read) return read.failure();
    ends = read.value();
  }
  if (ends.encoding == LineEncoding::kCp1251 && !lines.cp1251) {
    return lines.cp1251.failure();
  }
  std::string bytes(ends.needs_break ? kLineBreak : "");
  bytes +=
      ends.encoding == LineEncoding::kUtf8 ? lines.utf8 : lines.cp1251.value();

  // A failure after the write cuts the file back to its old length.
  const auto cut_back = [&](Step step, const Failure& reason) {
    Failure failure = OnFile(step, path, reason);
    Result<void> cut = files.Truncate(file, old_size);
    if (cut) return failure;
    Result<std::uint64_t> now = files.Size(file);
    if (now && now.value() == old_size) return failure;
    return CutBackFailed(std::move(failure), cut.failure());
  };

  Result<std::size_t> written = files.Append(file, bytes);
  if (!written) return cut_back(Step::kWrite, written.failure());
  if (written.value() != bytes.size()) {
    return cut_back(Step::kWrite, FileFailure(FileError::kShortWrite));
  }
  // A failed flush may have lost the data even if a later one succeeds, so
  // the line does not count as saved.
  if (Result<void> flushed = files.Flush(file); !flushed) {
    return cut_back(Step::kFlush, flushed.failure());
  }
  if (opened.created) {
    if (Result<void> flushed = files.FlushFolder(path); !flushed) {
      return cut_back(Step::kFlushFolder, flushed.failure());
    }
  }
  return {};
}

// Opens the file, takes its lock, waiting while another copy holds it, and
// appends the line. A file renamed, deleted or replaced while the save
// waited is let go, and the save starts over on the file now at `path`.
Result<void> AppendLine(const std::filesystem::path& path, const Lines& lines,
                        FileSystem& files, const LockWait& wait) {
  for (int round = 0; round < kRounds; ++round) {
    Result<FileSystem::Opened> opened = files.OpenForAppend(path);
    if (!opened) return OnFile(Step::kOpenForAppend, path, opened.failure());
    const ClosingHandle closing(files, opened.value().handle);
    Result<void> locked = TakeLock(files, opened.value().handle,
                                   LockKind::kExclusive, path, wait);
    if (!locked) return locked;
    Result<bool> same = files.IsFileAt(opened.value().handle, path);
    if (!same) return OnFile(Step::kCheck, path, same.failure());
    if (same.value()) return AppendLocked(files, opened.value(), path, lines);
  }
  return OnFile(Step::kOpenForAppend, path,
                FileFailure(FileError::kKeepsChanging));
}

// Tells whether a card that Windows-1251 cannot hold may go to the file:
// only if the file is kept in UTF-8. A missing or Windows-1251 file is not
// touched; the file is judged again under the lock.
Result<void> OnlyUtf8CanHold(const std::filesystem::path& path,
                             FileSystem& files, const Failure& refusal) {
  Result<FileSystem::Handle> opened = files.OpenForReading(path);
  if (!opened) return refusal;
  const ClosingHandle closing(files, opened.value());
  Result<std::uint64_t> size = files.Size(opened.value());
  if (!size) return refusal;
  Result<FileEnds> ends = ReadEnds(files, opened.value(), size.value(), path);
  if (!ends) {
    if (ends.failure().code == FileError::kUtf16) return ends.failure();
    return refusal;
  }
  if (ends.value().encoding != LineEncoding::kUtf8) return refusal;
  return {};
}

}  // namespace

Result<std::string> FormatLine(const card::SubscriberRecord& record,
                               LineEncoding encoding) {
  std::string line;
  for (int index = 0; index < card::kFieldCount; ++index) {
    const std::string& text = record[index];
    // A CR would end the line early and split the card in two; an LF is an
    // ordinary character of a line.
    if (const std::size_t cr = text.find(kCr); cr != std::string::npos) {
      return CarriageReturnIn({index, cr, U'\r'});
    }
    if (encoding == LineEncoding::kUtf8) {
      if (const std::size_t bad = MalformedAt(text); bad != std::string::npos) {
        return BrokenUtf8In({index, bad, U'\uFFFD'});
      }
      line += text;
    } else {
      Result<std::string> encoded = EncodeCp1251(text);
      if (!encoded) {
        RefusedCharacter refused = *encoded.failure().refused;
        refused.field = index;
        return NotInCodePage(text, refused);
      }
      line += encoded.value();
    }
    line += kFieldSeparator;
  }
  line += kLineBreak;
  return line;
}

Result<void> SaveRecord(card::SubscriberCard& card,
                        const std::filesystem::path& path, FileSystem& files,
                        const LockWait& wait) {
  // The snapshot is encoded before the file is touched, in both encodings:
  // which one the line takes, the file tells under the lock.
  const card::SubscriberRecord record = card.Snapshot();
  Result<std::string> utf8 = FormatLine(record, LineEncoding::kUtf8);
  if (!utf8) return utf8.failure();
  Lines lines{FormatLine(record, LineEncoding::kCp1251),
              std::move(utf8.value())};
  if (!lines.cp1251) {
    Result<void> held = OnlyUtf8CanHold(path, files, lines.cp1251.failure());
    if (!held) return held;
  }
  Result<void> appended = AppendLine(path, lines, files, wait);
  if (appended) card.ResetForNextEntry();
  return appended;
}

}  // namespace records
