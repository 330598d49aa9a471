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

// Names the subscriber file, in the working directory; the program's entry
// passes it to the windows, which pass it on.
inline constexpr const char* kSubscriberFileName = "Blank.txt";

// Formats the card as one saved line: each field in `encoding` followed by
// one space, then CR LF. It refuses the first field that holds a CR, broken
// UTF-8, or (in Windows-1251) a character the code page lacks.
Result<std::string> FormatLine(const card::SubscriberRecord& record,
                               LineEncoding encoding = LineEncoding::kCp1251);

// Appends the card as one line to the file and resets the card. The line
// goes in whole, under the lock that other copies take, and is on the disc
// before the card is reset; a failure leaves the card as it was and the file
// at its old length (docs/saving.md). A last line left without its break is
// ended first. The line takes the file's encoding, and a file in UTF-16 is
// refused untouched (docs/notepad.md).
Result<void> SaveRecord(card::SubscriberCard& card,
                        const std::filesystem::path& path,
                        FileSystem& files = PlatformFileSystem(),
                        const LockWait& wait = {});

}  // namespace records
