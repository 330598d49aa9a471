#pragma once

#include <filesystem>
#include <string_view>
#include <system_error>

#include "records/failure.h"

namespace records {

// What a system error means to the clerk; each platform sorts its own codes
// into these.
enum class SystemReason {
  kNotFound,
  kAccessDenied,
  kReadOnly,
  kDiscFull,
  kQuota,
  kIsFolder,
  kLinkLoop,
  kNameTooLong,
  kBusy,
  kIoError,
  kTooManyFiles,
  kTooLarge,
  kOther,
};

// The platform's error `code` in Russian, with the code itself:
// "нет места на диске (код ошибки 28)". Never the C library's English text.
Failure SystemFailure(int code, SystemReason reason);

// The message of a failure of ours (FileError), without the system's code.
Failure FileFailure(FileError error);

// The failure of `what` on the file at `path`, for the reason given, with
// the reason's code and flag: "Не удалось открыть файл «Blank.txt»: …".
Failure OnFile(std::string_view what, const std::filesystem::path& path,
               Failure reason);

}  // namespace records
