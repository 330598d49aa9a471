#pragma once

#include <filesystem>
#include <functional>

#include "records/failure.h"
#include "records/file_system.h"

namespace records {

// Lets a few tens of milliseconds pass between two tries of the lock while
// another copy of the program holds it, the window answering the clerk
// meanwhile; it returns false to give up. Without one the caller sleeps.
using LockWait = std::function<bool()>;

// Takes the lock of `kind` on the open file at `path`, trying again after
// each wait while another copy holds it; given up at the wait, the failure
// is FileError::kCancelled.
Result<void> TakeLock(FileSystem& files, FileSystem::Handle file, LockKind kind,
                      const std::filesystem::path& path, const LockWait& wait);

}  // namespace records
