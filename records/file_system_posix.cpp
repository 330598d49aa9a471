#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "records/file_system.h"
#include "records/messages.h"

namespace records {
namespace {

// A file that vanishes between the two opens of OpenForAppend sends it round
// again, but only so often: a dangling link vanishes every time.
constexpr int kOpenTries = 5;

SystemReason ReasonOf(int code) {
  switch (code) {
    case ENOENT:
    case ENOTDIR:
      return SystemReason::kNotFound;
    case EACCES:
    case EPERM:
      return SystemReason::kAccessDenied;
    case EROFS:
      return SystemReason::kReadOnly;
    case ENOSPC:
      return SystemReason::kDiscFull;
    case EDQUOT:
      return SystemReason::kQuota;
    case EISDIR:
      return SystemReason::kIsFolder;
    case ELOOP:
      return SystemReason::kLinkLoop;
    case ENAMETOOLONG:
      return SystemReason::kNameTooLong;
    case EBUSY:
    case ETXTBSY:
    case EWOULDBLOCK:
      return SystemReason::kBusy;
    case EIO:
      return SystemReason::kIoError;
    case EMFILE:
    case ENFILE:
      return SystemReason::kTooManyFiles;
    case EFBIG:
      return SystemReason::kTooLarge;
    default:
      return SystemReason::kOther;
  }
}

Failure LastFailure() { return SystemFailure(errno, ReasonOf(errno)); }

int Descriptor(FileSystem::Handle file) { return static_cast<int>(file); }

// Keeps `fd` if it is a regular file; closes it otherwise.
Result<void> KeepRegularFile(int fd) {
  struct stat status {};
  if (fstat(fd, &status) != 0) {
    const Failure failure = LastFailure();
    close(fd);
    return failure;
  }
  if (!S_ISREG(status.st_mode)) {
    close(fd);
    return FileFailure(FileError::kNotRegularFile);
  }
  return {};
}

// Opens without waiting on a pipe or a device, then refuses anything but a
// regular file.
Result<int> OpenRegular(const std::filesystem::path& path, int flags,
                        mode_t mode = 0) {
  const int fd = open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, mode);
  if (fd < 0) return LastFailure();
  if (Result<void> kept = KeepRegularFile(fd); !kept) return kept.failure();
  return fd;
}

class PosixFileSystem final : public FileSystem {
 public:
  Result<Opened> OpenForAppend(const std::filesystem::path& path) override {
    // O_EXCL first, so that the save knows whether it made the file.
    for (int tries = 0; tries < kOpenTries; ++tries) {
      Result<int> made =
          OpenRegular(path, O_RDWR | O_APPEND | O_CREAT | O_EXCL, 0666);
      if (made) return Opened{made.value(), true, true};
      if (made.failure().code != std::errc::file_exists) return made.failure();

      Result<int> found = OpenRegular(path, O_RDWR | O_APPEND);
      if (found) return Opened{found.value(), false, true};
      // A file that lets us append but not read is still saved into.
      if (found.failure().code == std::errc::permission_denied) {
        Result<int> write_only = OpenRegular(path, O_WRONLY | O_APPEND);
        if (write_only) return Opened{write_only.value(), false, false};
        return write_only.failure();
      }
      if (found.failure().code != std::errc::no_such_file_or_directory) {
        return found.failure();
      }
    }
    return FileFailure(FileError::kKeepsChanging);
  }

  Result<Handle> OpenForReading(const std::filesystem::path& path) override {
    Result<int> fd = OpenRegular(path, O_RDONLY);
    if (!fd) return fd.failure();
    return Handle{fd.value()};
  }

  Result<bool> TryLock(Handle file, LockKind kind) override {
    const int operation = kind == LockKind::kShared ? LOCK_SH : LOCK_EX;
    while (flock(Descriptor(file), operation | LOCK_NB) != 0) {
      if (errno == EWOULDBLOCK) return false;
      if (errno != EINTR) return LastFailure();
    }
    return true;
  }

  Result<bool> IsFileAt(Handle file,
                        const std::filesystem::path& path) override {
    struct stat opened {};
    if (fstat(Descriptor(file), &opened) != 0) return LastFailure();
    struct stat named {};
    if (stat(path.c_str(), &named) != 0) {
      if (errno == ENOENT) return false;
      return LastFailure();
    }
    return opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
  }

  Result<std::uint64_t> Size(Handle file) override {
    struct stat status {};
    if (fstat(Descriptor(file), &status) != 0) return LastFailure();
    return static_cast<std::uint64_t>(status.st_size);
  }

  Result<std::size_t> ReadAt(Handle file, std::uint64_t offset,
                             std::span<char> buffer) override {
    for (;;) {
      const ssize_t count = pread(Descriptor(file), buffer.data(),
                                  buffer.size(), static_cast<off_t>(offset));
      if (count >= 0) return static_cast<std::size_t>(count);
      if (errno != EINTR) return LastFailure();
    }
  }

  Result<std::size_t> Append(Handle file, std::string_view bytes) override {
    // O_APPEND puts the bytes at the true end of the file in one step.
    for (;;) {
      const ssize_t count = write(Descriptor(file), bytes.data(), bytes.size());
      if (count >= 0) return static_cast<std::size_t>(count);
      if (errno != EINTR) return LastFailure();
    }
  }

  Result<void> Truncate(Handle file, std::uint64_t size) override {
    if (ftruncate(Descriptor(file), static_cast<off_t>(size)) != 0) {
      return LastFailure();
    }
    return {};
  }

  Result<void> Flush(Handle file) override {
    if (fsync(Descriptor(file)) != 0) return LastFailure();
    return {};
  }

  Result<void> FlushFolder(const std::filesystem::path& file) override {
    std::filesystem::path folder = file.parent_path();
    if (folder.empty()) folder = ".";
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return LastFailure();
    Result<void> flushed;
    if (fsync(fd) != 0) flushed = LastFailure();
    close(fd);
    return flushed;
  }

  // A close that fails loses nothing here: every save has flushed before.
  void Close(Handle file) override { close(Descriptor(file)); }
};

}  // namespace

FileSystem& PlatformFileSystem() {
  static PosixFileSystem files;
  return files;
}

}  // namespace records
