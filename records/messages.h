#pragma once

#include <filesystem>
#include <string_view>

#include "records/failure.h"

namespace records {

// Every sentence about the subscriber file that the clerk reads is written
// once, in messages.cpp; the rest of the program names it here.

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
  kLast = kOther,
};

// Gives the reason in Russian with the system's code, never the C
// library's English text.
Failure SystemFailure(int code, SystemReason reason);

// Gives the reason of a failure of our own, without a code.
Failure FileFailure(FileError error);

// Names what the program was doing with the file when it failed.
enum class Step {
  kOpen,
  kOpenForAppend,
  kRead,
  kSize,
  kCheck,
  kWrite,
  kFlush,
  kFlushFolder,
  kLockExclusive,
  kLockShared,
  kLast = kLockShared,
};

// Joins the step, the file's name and the reason into one sentence,
// keeping the reason's code and flag.
Failure OnFile(Step step, const std::filesystem::path& path, Failure reason);

// The clerk stopped the wait while another copy of the program held the
// file (FileError::kCancelled).
Failure WaitCancelled(const std::filesystem::path& path);

// The file is in UTF-16 (FileError::kUtf16); the message tells how to save
// it again in Notepad.
Failure Utf16Failure(const std::filesystem::path& path);

// Adds to a failed save that its line could not be cut back off, for the
// reason `cut`, and sets part_line_may_remain.
Failure CutBackFailed(Failure failure, const Failure& cut);

// Refuse a card's field that the line cannot hold, naming it by its
// caption: one holding a CR, which would end the line early; broken UTF-8,
// for a UTF-8 file; and `text`, holding a character that Windows-1251
// lacks, for a Windows-1251 file (the field is -1 where `text` is no field).
Failure CarriageReturnIn(const RefusedCharacter& refused);
Failure BrokenUtf8In(const RefusedCharacter& refused);
Failure NotInCodePage(std::string_view text, const RefusedCharacter& refused);

}  // namespace records
