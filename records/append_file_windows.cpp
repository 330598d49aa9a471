#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <string>

#include "records/append_file.h"

namespace records {
namespace {

// Windows byte-range locks are mandatory: a locked byte cannot be read by
// anyone else. The saving copies therefore lock one byte far past any real
// end of the file, which keeps them in turn without stopping a search.
constexpr std::uint64_t kLockOffset = std::uint64_t{1} << 62;

std::string Utf8(const wchar_t* text, int length) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0,
                                       nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(std::max(size, 0)), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, length, utf8.data(), size, nullptr,
                      nullptr);
  return utf8;
}

// The system's own text, in the language of the clerk's Windows.
std::string SystemText(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
          FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  if (length == 0) return "неизвестная ошибка";
  std::string utf8 = Utf8(text, static_cast<int>(length));
  LocalFree(text);
  while (!utf8.empty() && (utf8.back() == '\n' || utf8.back() == '\r' ||
                           utf8.back() == '.' || utf8.back() == ' ')) {
    utf8.pop_back();
  }
  return utf8;
}

// The clerk's reading of the errors a file can meet here; anything else in
// the system's own words.
std::string Reason(DWORD code) {
  std::string reason;
  switch (code) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      reason = "нет места на диске";
      break;
    case ERROR_ACCESS_DENIED:
      reason = "нет доступа (или это папка, а не файл)";
      break;
    case ERROR_WRITE_PROTECT:
      reason = "диск защищён от записи";
      break;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      reason = "файл занят другой программой";
      break;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      reason = "файл или папка не найдены";
      break;
    case ERROR_TOO_MANY_OPEN_FILES:
      reason = "открыто слишком много файлов";
      break;
    default:
      reason = SystemText(code);
  }
  return reason + " (код ошибки " + std::to_string(code) + ")";
}

Failure SystemFailure() { return Failure{Reason(GetLastError())}; }

HANDLE Native(FileSystem::Handle file) {
  // The handle crosses the platform-neutral interface as an integer.
  return reinterpret_cast<HANDLE>(file);  // NOLINT(performance-no-int-to-ptr)
}

FileSystem::Handle Wrap(HANDLE file) {
  return reinterpret_cast<FileSystem::Handle>(file);
}

OVERLAPPED At(std::uint64_t offset) {
  OVERLAPPED overlapped{};
  overlapped.Offset = static_cast<DWORD>(offset);
  overlapped.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return overlapped;
}

// Other copies of the program, and searches, keep the file open meanwhile.
constexpr DWORD kShareAll =
    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

class WindowsFileSystem final : public FileSystem {
 public:
  // Opened for writing rather than for appending only, so that the handle can
  // be cut back and flushed.
  Result<Opened> OpenForAppend(const std::filesystem::path& path) override {
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return SystemFailure();
    const bool created = GetLastError() != ERROR_ALREADY_EXISTS;
    return Opened{Wrap(file), created};
  }

  Result<Handle> OpenForReading(const std::filesystem::path& path) override {
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr,
                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return SystemFailure();
    return Wrap(file);
  }

  std::optional<Failure> Lock(Handle file) override {
    OVERLAPPED at = At(kLockOffset);
    if (!LockFileEx(Native(file), LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at)) {
      return SystemFailure();
    }
    return std::nullopt;
  }

  Result<std::uint64_t> Size(Handle file) override {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(Native(file), &size)) return SystemFailure();
    return static_cast<std::uint64_t>(size.QuadPart);
  }

  Result<std::size_t> ReadAt(Handle file, std::uint64_t offset,
                             std::span<char> buffer) override {
    OVERLAPPED at = At(offset);
    const DWORD wanted =
        static_cast<DWORD>(std::min<std::size_t>(buffer.size(), 0x40000000));
    DWORD count = 0;
    if (!ReadFile(Native(file), buffer.data(), wanted, &count, &at)) {
      if (GetLastError() == ERROR_HANDLE_EOF) return std::size_t{0};
      return SystemFailure();
    }
    return static_cast<std::size_t>(count);
  }

  // Under the lock the end of the file is the size the save has read.
  Result<std::size_t> Append(Handle file, std::string_view bytes) override {
    const LARGE_INTEGER none{};
    if (!SetFilePointerEx(Native(file), none, nullptr, FILE_END)) {
      return SystemFailure();
    }
    const DWORD wanted =
        static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 0x40000000));
    DWORD count = 0;
    if (!WriteFile(Native(file), bytes.data(), wanted, &count, nullptr)) {
      return SystemFailure();
    }
    return static_cast<std::size_t>(count);
  }

  std::optional<Failure> Truncate(Handle file, std::uint64_t size) override {
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(size);
    if (!SetFilePointerEx(Native(file), end, nullptr, FILE_BEGIN) ||
        !SetEndOfFile(Native(file))) {
      return SystemFailure();
    }
    return std::nullopt;
  }

  std::optional<Failure> Flush(Handle file) override {
    if (!FlushFileBuffers(Native(file))) return SystemFailure();
    return std::nullopt;
  }

  // NTFS journals the folder entry of a new file itself; there is nothing to
  // flush.
  std::optional<Failure> FlushFolder(const std::filesystem::path&) override {
    return std::nullopt;
  }

  // The lock is given back before the close, as the system asks: a lock left
  // to the close may outlive it for a while. Unlocking a file that was never
  // locked fails harmlessly.
  void Close(Handle file) override {
    OVERLAPPED at = At(kLockOffset);
    UnlockFileEx(Native(file), 0, 1, 0, &at);
    CloseHandle(Native(file));
  }
};

}  // namespace

FileSystem& PlatformFileSystem() {
  static WindowsFileSystem files;
  return files;
}

}  // namespace records
