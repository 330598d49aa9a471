#include "records/subscriber_file.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <span>
#include <string_view>
#include <thread>
#include <variant>

#include "records/cp1251.h"
#include "records/split_line.h"
#include "records/system_reason.h"

namespace records {
namespace {

std::string CodeText(char32_t character) {
  std::array<char, 16> text{};
  std::snprintf(text.data(), text.size(), "U+%04X",
                static_cast<unsigned>(character));
  return text.data();
}

// The whole UTF-8 sequence that starts at `offset`.
std::string_view CharacterAt(std::string_view text, std::size_t offset) {
  std::size_t end = offset + 1;
  while (end < text.size() &&
         (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
    ++end;
  }
  return text.substr(offset, end - offset);
}

std::string UnrepresentableMessage(int index, std::string_view text,
                                   const Unrepresentable& bad) {
  // Control characters and broken text are named by their code alone.
  const bool visible = bad.character >= 0xA0 && bad.character != 0xFFFD;
  std::string character =
      visible ? "«" + std::string(CharacterAt(text, bad.offset)) + "» (" +
                    CodeText(bad.character) + ")"
              : CodeText(bad.character);
  return "В поле «" + std::string(card::kFields[index].caption) +
         "» есть знак " + character +
         ", которого нет в кодировке файла (Windows-1251).";
}

bool EndsWithLineBreak(std::string_view tail) {
  return tail.ends_with('\r') || tail.ends_with("\r\n");
}

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

// Waits between two tries of the lock when the caller gives no wait.
bool SleepBetweenTries() {
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  return true;
}

// Appends the line whole and flushed to the file that `file` holds under
// its lock, or leaves the file at its old length.
std::optional<Failure> AppendLocked(FileSystem& files,
                                    const FileSystem::Opened& opened,
                                    const std::filesystem::path& path,
                                    std::string_view line) {
  const std::string name = PathText(path);
  const FileSystem::Handle file = opened.handle;
  // Under the lock no other save moves the end of the file.
  Result<std::uint64_t> size = files.Size(file);
  if (!size) {
    return OnFile("Не удалось узнать размер файла", path, size.failure());
  }
  const std::uint64_t old_size = size.value();

  std::string bytes;
  // A file that cannot be read is appended to without this look.
  if (old_size > 0 && opened.readable) {
    std::array<char, 2> tail{};
    const auto wanted =
        static_cast<std::size_t>(std::min<std::uint64_t>(old_size, 2));
    Result<std::size_t> read =
        files.ReadAt(file, old_size - wanted, std::span(tail.data(), wanted));
    if (!read) {
      return OnFile("Не удалось прочитать конец файла", path, read.failure());
    }
    if (read.value() != wanted) {
      return OnFile("Не удалось прочитать конец файла", path,
                    FileFailure(FileError::kShrank));
    }
    // A last line left without its break would swallow the new card.
    if (!EndsWithLineBreak(std::string_view(tail.data(), wanted))) {
      bytes = "\r\n";
    }
  }
  bytes += line;

  const auto cut_back = [&](Failure failure) {
    if (std::optional<Failure> cut = files.Truncate(file, old_size)) {
      Result<std::uint64_t> now = files.Size(file);
      if (!now || now.value() != old_size) {
        failure.message += " Вернуть файл к прежней длине не удалось (" +
                           cut->message +
                           "): в его конце может остаться эта строка или её "
                           "часть; следующая запись начнётся с новой строки.";
        failure.part_line_may_remain = true;
      }
    }
    return failure;
  };

  Result<std::size_t> written = files.Append(file, bytes);
  if (!written) {
    return cut_back(
        OnFile("Не удалось записать строку в файл", path, written.failure()));
  }
  if (written.value() != bytes.size()) {
    return cut_back(Failure{
        "Строка записалась в файл «" + name + "» не целиком (" +
            std::to_string(written.value()) + " байт из " +
            std::to_string(bytes.size()) + "); возможно, на диске нет места.",
        FileError::kShortWrite});
  }
  // A failed flush may have lost the data even if a later one succeeds, so
  // the line does not count as saved.
  if (std::optional<Failure> failure = files.Flush(file)) {
    return cut_back(OnFile("Не удалось сохранить на диске файл", path,
                           std::move(*failure)));
  }
  if (opened.created) {
    if (std::optional<Failure> failure = files.FlushFolder(path)) {
      return cut_back(OnFile("Не удалось сохранить на диске папку нового файла",
                             path, std::move(*failure)));
    }
  }
  return std::nullopt;
}

// Opens the file, takes its lock, waiting while another copy holds it, and
// appends the line. A file renamed, deleted or replaced while the save
// waited is let go, and the save starts over on the file now at `path`.
std::optional<Failure> AppendLine(const std::filesystem::path& path,
                                  std::string_view line, FileSystem& files,
                                  const LockWait& wait) {
  const std::string name = PathText(path);
  for (int round = 0; round < kRounds; ++round) {
    Result<FileSystem::Opened> opened = files.OpenForAppend(path);
    if (!opened) {
      return OnFile("Не удалось открыть для записи файл", path,
                    opened.failure());
    }
    const ClosingHandle closing(files, opened.value().handle);
    for (;;) {
      Result<bool> locked = files.TryLock(opened.value().handle);
      if (!locked) {
        return OnFile("Не удалось получить исключительный доступ к файлу", path,
                      locked.failure());
      }
      if (locked.value()) break;
      if (!(wait ? wait() : SleepBetweenTries())) {
        return Failure{"Запись отменена: файл «" + name +
                           "» занят другой копией программы.",
                       FileError::kCancelled};
      }
    }
    Result<bool> same = files.IsFileAt(opened.value().handle, path);
    if (!same) {
      return OnFile("Не удалось проверить файл", path, same.failure());
    }
    if (same.value()) return AppendLocked(files, opened.value(), path, line);
  }
  return OnFile("Не удалось открыть для записи файл", path,
                FileFailure(FileError::kKeepsChanging));
}

}  // namespace

Result<std::string> FormatLine(const card::SubscriberRecord& record) {
  std::string line;
  for (int index = 0; index < card::kFieldCount; ++index) {
    // A CR would end the line early and split the card in two; an LF is an
    // ordinary character of a line.
    if (record[index].find('\r') != std::string::npos) {
      return Failure{"В поле «" + std::string(card::kFields[index].caption) +
                     "» есть знак возврата каретки (U+000D), который разорвал "
                     "бы строку файла."};
    }
    std::variant<std::string, Unrepresentable> encoded =
        EncodeCp1251(record[index]);
    if (const auto* bad = std::get_if<Unrepresentable>(&encoded)) {
      return Failure{UnrepresentableMessage(index, record[index], *bad)};
    }
    line += std::get<std::string>(encoded);
    line += kFieldSeparator;
  }
  line += "\r\n";
  return line;
}

std::optional<Failure> SaveRecord(card::SubscriberCard& card,
                                  const std::filesystem::path& path,
                                  FileSystem& files, const LockWait& wait) {
  // The snapshot is encoded before the file is touched.
  Result<std::string> line = FormatLine(card.Snapshot());
  if (!line) return line.failure();
  if (std::optional<Failure> failure =
          AppendLine(path, line.value(), files, wait)) {
    return failure;
  }
  card.ResetForNextEntry();
  return std::nullopt;
}

}  // namespace records
