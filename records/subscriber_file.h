#pragma once

#include <filesystem>
#include <string>

#include "card/subscriber_card.h"
#include "card/subscriber_record.h"
#include "records/failure.h"
#include "records/file_lock.h"
#include "records/file_system.h"
#include "records/line_encoding.h"

namespace records {

// The subscriber file, in the working directory; the program's entry passes
// it to the windows, which pass it on.
inline constexpr const char* kSubscriberFileName = "Blank.txt";

// The bytes of one saved line: each field in `encoding` followed by one
// space, then CR LF; or the first field that cannot be written, named by
// its caption in the message: one holding a CR, one holding a character
// that Windows-1251 lacks (in that encoding), or broken UTF-8.
Result<std::string> FormatLine(const card::SubscriberRecord& record,
                               LineEncoding encoding = LineEncoding::kCp1251);

// Appends the card as one line to the file and resets the card for the next
// subscriber. The line is written whole, under an exclusive lock that other
// copies of the program respect, and flushed to the disc before the card is
// reset; on any failure the file is cut back to its length before the save,
// the card is left as it was and the failure comes back (given up at the
// wait: FileError::kCancelled, nothing written). A last line without its
// break (left by hand editing, or torn by a kill) is ended with CR LF first,
// so that the new line stands on its own. The line keeps the file in one
// encoding: UTF-8 when the file starts with the UTF-8 mark, or when the last
// line within its last 64 KB that holds a byte from 0x80 up is UTF-8 (see
// EncodingOf); otherwise, new and empty files included, Windows-1251, which
// cannot hold every character. A file in UTF-16 is refused untouched
// (FileError::kUtf16).
Result<void> SaveRecord(card::SubscriberCard& card,
                        const std::filesystem::path& path,
                        FileSystem& files = PlatformFileSystem(),
                        const LockWait& wait = {});

}  // namespace records
