#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "records/append_file.h"

namespace records {
namespace {

// The clerk's reading of the errors a file can meet here; anything else in
// the system's own words.
std::string Reason(int code) {
  const char* reason = nullptr;
  switch (code) {
    case ENOSPC:
      reason = "нет места на диске";
      break;
    case EDQUOT:
      reason = "превышена дисковая квота";
      break;
    case EACCES:
    case EPERM:
      reason = "нет доступа";
      break;
    case EROFS:
      reason = "диск открыт только для чтения";
      break;
    case EISDIR:
      reason = "это папка, а не файл";
      break;
    case ENOENT:
      reason = "файл или папка не найдены";
      break;
    case ENOTDIR:
      reason = "часть пути не является папкой";
      break;
    case EIO:
      reason = "ошибка ввода-вывода";
      break;
    case EMFILE:
    case ENFILE:
      reason = "открыто слишком много файлов";
      break;
    case EFBIG:
      reason = "файл слишком велик";
      break;
    case EBUSY:
    case ETXTBSY:
      reason = "файл занят";
      break;
    default:
      reason = std::strerror(code);
  }
  return std::string(reason) + " (код ошибки " + std::to_string(code) + ")";
}

Failure SystemFailure() { return Failure{Reason(errno)}; }

int Descriptor(FileSystem::Handle file) { return static_cast<int>(file); }

class PosixFileSystem final : public FileSystem {
 public:
  Result<Opened> OpenForAppend(const std::filesystem::path& path) override {
    // O_EXCL first, so that the save knows whether it made the file; a file
    // removed between the two opens sends it round again.
    for (;;) {
      int fd = open(path.c_str(),
                    O_RDWR | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd >= 0) return Opened{fd, true};
      if (errno != EEXIST) return SystemFailure();
      fd = open(path.c_str(), O_RDWR | O_APPEND | O_CLOEXEC);
      if (fd >= 0) return Opened{fd, false};
      if (errno != ENOENT) return SystemFailure();
    }
  }

  Result<Handle> OpenForReading(const std::filesystem::path& path) override {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return SystemFailure();
    return Handle{fd};
  }

  std::optional<Failure> Lock(Handle file) override {
    while (flock(Descriptor(file), LOCK_EX) != 0) {
      if (errno != EINTR) return SystemFailure();
    }
    return std::nullopt;
  }

  Result<std::uint64_t> Size(Handle file) override {
    struct stat status {};
    if (fstat(Descriptor(file), &status) != 0) return SystemFailure();
    return static_cast<std::uint64_t>(status.st_size);
  }

  Result<std::size_t> ReadAt(Handle file, std::uint64_t offset,
                             std::span<char> buffer) override {
    for (;;) {
      const ssize_t count = pread(Descriptor(file), buffer.data(),
                                  buffer.size(), static_cast<off_t>(offset));
      if (count >= 0) return static_cast<std::size_t>(count);
      if (errno != EINTR) return SystemFailure();
    }
  }

  Result<std::size_t> Append(Handle file, std::string_view bytes) override {
    // O_APPEND puts the bytes at the true end of the file in one step.
    for (;;) {
      const ssize_t count = write(Descriptor(file), bytes.data(), bytes.size());
      if (count >= 0) return static_cast<std::size_t>(count);
      if (errno != EINTR) return SystemFailure();
    }
  }

  std::optional<Failure> Truncate(Handle file, std::uint64_t size) override {
    if (ftruncate(Descriptor(file), static_cast<off_t>(size)) != 0) {
      return SystemFailure();
    }
    return std::nullopt;
  }

  std::optional<Failure> Flush(Handle file) override {
    if (fsync(Descriptor(file)) != 0) return SystemFailure();
    return std::nullopt;
  }

  std::optional<Failure> FlushFolder(
      const std::filesystem::path& file) override {
    std::filesystem::path folder = file.parent_path();
    if (folder.empty()) folder = ".";
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return SystemFailure();
    std::optional<Failure> failure;
    if (fsync(fd) != 0) failure = SystemFailure();
    close(fd);
    return failure;
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
