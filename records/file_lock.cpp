#include "records/file_lock.h"

#include <chrono>
#include <thread>

#include "records/messages.h"

namespace records {
namespace {

// Waits between two tries of the lock when the caller gives no wait.
bool SleepBetweenTries() {
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  return true;
}

}  // namespace

Result<void> TakeLock(FileSystem& files, FileSystem::Handle file, LockKind kind,
                      const std::filesystem::path& path, const LockWait& wait) {
  for (;;) {
    Result<bool> locked = files.TryLock(file, kind);
    if (!locked) {
      return OnFile(kind == LockKind::kExclusive ? Step::kLockExclusive
                                                 : Step::kLockShared,
                    path, locked.failure());
    }
    if (locked.value()) return {};
    if (!(wait ? wait() : SleepBetweenTries())) return WaitCancelled(path);
  }
}

}  // namespace records
