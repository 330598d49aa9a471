#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>

#include "records/file_system.h"
#include "records/messages.h"

namespace records {
namespace {

// Windows byte-range locks are mandatory: a locked byte cannot be read by
// anyone else. The copies of the program therefore lock one byte far past
// any real end of the file, which keeps saves and searches in turn without
// stopping any reading.
constexpr std::uint64_t kLockOffset = std::uint64_t{1} << 62;

// ERROR_DISK_QUOTA_EXCEEDED, which mingw-w64's headers lack.
constexpr DWORD kDiskQuotaExceeded = 1295;

SystemReason ReasonOf(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
      return SystemReason::kNotFound;
    case ERROR_ACCESS_DENIED:
      return SystemReason::kAccessDenied;
    case ERROR_WRITE_PROTECT:
      return SystemReason::kReadOnly;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return SystemReason::kDiscFull;
    case kDiskQuotaExceeded:
      return SystemReason::kQuota;
    case ERROR_DIRECTORY:
      return SystemReason::kIsFolder;
    case ERROR_CANT_RESOLVE_FILENAME:
      return SystemReason::kLinkLoop;
    case ERROR_FILENAME_EXCED_RANGE:
      return SystemReason::kNameTooLong;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_BUSY:
      return SystemReason::kBusy;
    case ERROR_IO_DEVICE:
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
      return SystemReason::kIoError;
    case ERROR_TOO_MANY_OPEN_FILES:
      return SystemReason::kTooManyFiles;
    case ERROR_FILE_TOO_LARGE:
      return SystemReason::kTooLarge;
    default:
      return SystemReason::kOther;
  }
}

Failure LastFailure() {
  const DWORD code = GetLastError();
  return SystemFailure(static_cast<int>(code), ReasonOf(code));
}

// Windows refuses to open a folder as a file with "access denied"; the
// clerk is told what the name really is.
Failure OpenFailure(const std::filesystem::path& path) {
  const DWORD code = GetLastError();
  const DWORD attributes = GetFileAttributesW(path.c_str());
  const bool folder = code == ERROR_ACCESS_DENIED &&
                      attributes != INVALID_FILE_ATTRIBUTES &&
                      (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  return SystemFailure(static_cast<int>(code),
                       folder ? SystemReason::kIsFolder : ReasonOf(code));
}

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

// Keeps `file` if it is a file on a disc, not a device or a pipe; closes it
// otherwise.
Result<void> KeepRegularFile(HANDLE file) {
  if (GetFileType(file) == FILE_TYPE_DISK) return {};
  CloseHandle(file);
  return FileFailure(FileError::kNotRegularFile);
}

// The volume and index that name a file for as long as it is open.
std::optional<BY_HANDLE_FILE_INFORMATION> Identity(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION information{};
  if (!GetFileInformationByHandle(file, &information)) return std::nullopt;
  return information;
}

class WindowsFileSystem final : public FileSystem {
 public:
  // Opened for writing rather than for appending only, so that the handle can
  // be cut back and flushed.
  Result<Opened> OpenForAppend(const std::filesystem::path& path) override {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    bool readable = true;
    if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED) {
      // A file that lets us write but not read is still saved into.
      file = CreateFileW(path.c_str(), GENERIC_WRITE, kShareAll, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
      readable = false;
    }
    if (file == INVALID_HANDLE_VALUE) return OpenFailure(path);
    const bool created = GetLastError() != ERROR_ALREADY_EXISTS;
    if (Result<void> kept = KeepRegularFile(file); !kept) return kept.failure();
    return Opened{Wrap(file), created, readable};
  }

  Result<Handle> OpenForReading(const std::filesystem::path& path) override {
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr,
                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return OpenFailure(path);
    if (Result<void> kept = KeepRegularFile(file); !kept) return kept.failure();
    return Wrap(file);
  }

  // Shared and exclusive alike lock the same byte, so that they exclude
  // each other.
  Result<bool> TryLock(Handle file, LockKind kind) override {
    OVERLAPPED at = At(kLockOffset);
    const DWORD exclusive =
        kind == LockKind::kExclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0;
    if (LockFileEx(Native(file), exclusive | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                   &at)) {
      return true;
    }
    if (GetLastError() == ERROR_LOCK_VIOLATION) return false;
    return LastFailure();
  }

  Result<bool> IsFileAt(Handle file,
                        const std::filesystem::path& path) override {
    const std::optional<BY_HANDLE_FILE_INFORMATION> opened =
        Identity(Native(file));
    if (!opened) return LastFailure();
    // A file deleted while still open stays at its name, waiting to go,
    // until its last handle is closed.
    FILE_STANDARD_INFO standard{};
    if (GetFileInformationByHandleEx(Native(file), FileStandardInfo, &standard,
                                     sizeof standard) &&
        standard.DeletePending) {
      return false;
    }
    // No access is asked for: only the file's identity is read.
    const HANDLE named = CreateFileW(path.c_str(), 0, kShareAll, nullptr,
                                     OPEN_EXISTING, 0, nullptr);
    if (named == INVALID_HANDLE_VALUE) {
      const DWORD code = GetLastError();
      // A deleted file that is still open cannot be opened again.
      if (code == ERROR_FILE_NOT_FOUND || code == ERROR_ACCESS_DENIED) {
        return false;
      }
      return LastFailure();
    }
    const std::optional<BY_HANDLE_FILE_INFORMATION> now = Identity(named);
    CloseHandle(named);
    if (!now) return LastFailure();
    return opened->dwVolumeSerialNumber == now->dwVolumeSerialNumber &&
           opened->nFileIndexHigh == now->nFileIndexHigh &&
           opened->nFileIndexLow == now->nFileIndexLow;
  }

  Result<std::uint64_t> Size(Handle file) override {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(Native(file), &size)) return LastFailure();
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
      return LastFailure();
    }
    return static_cast<std::size_t>(count);
  }

  // Under the lock the end of the file is the size the save has read.
  Result<std::size_t> Append(Handle file, std::string_view bytes) override {
    const LARGE_INTEGER none{};
    if (!SetFilePointerEx(Native(file), none, nullptr, FILE_END)) {
      return LastFailure();
    }
    const DWORD wanted =
        static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 0x40000000));
    DWORD count = 0;
    if (!WriteFile(Native(file), bytes.data(), wanted, &count, nullptr)) {
      return LastFailure();
    }
    return static_cast<std::size_t>(count);
  }

  Result<void> Truncate(Handle file, std::uint64_t size) override {
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(size);
    if (!SetFilePointerEx(Native(file), end, nullptr, FILE_BEGIN) ||
        !SetEndOfFile(Native(file))) {
      return LastFailure();
    }
    return {};
  }

  Result<void> Flush(Handle file) override {
    if (!FlushFileBuffers(Native(file))) return LastFailure();
    return {};
  }

  // NTFS journals the folder entry of a new file itself; there is nothing to
  // flush.
  Result<void> FlushFolder(const std::filesystem::path&) override { return {}; }

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
