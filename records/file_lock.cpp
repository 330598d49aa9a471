#include "records/file_lock.h"

#include <chrono>
#include <string>
#include <thread>

#include "records/system_reason.h"

namespace records {
namespace {

// Waits between two tries of the lock when the caller gives no wait.
bool SleepBetweenTries() {
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  return true;
}

}  // namespace

std::optional<Failure> TakeLock(FileSystem& files, FileSystem::Handle file,
                                LockKind kind,
                                const std::filesystem::path& path,
                                const LockWait& wait) {
  for (;;) {
    Result<bool> locked = files.TryLock(file, kind);
    if (!locked) {
      return OnFile(kind == LockKind::kExclusive
                        ? "Не удалось получить исключительный доступ к файлу"
                        : "Не удалось получить доступ к файлу для чтения",
                    path, locked.failure());
    }
    if (locked.value()) return std::nullopt;
    if (!(wait ? wait() : SleepBetweenTries())) {
      return Failure{"Ожидание отменено: файл «" + PathText(path) +
                         "» занят другой копией программы.",
                     FileError::kCancelled};
    }
  }
}

}  // namespace records
