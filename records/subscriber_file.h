#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "card/subscriber_card.h"
#include "card/subscriber_record.h"
#include "records/append_file.h"
#include "records/failure.h"

namespace records {

// The subscriber file, in the working directory; the program's entry passes
// it to the windows, which pass it on.
inline constexpr const char* kSubscriberFileName = "Blank.txt";

// The bytes of one saved line: each field in Windows-1251 followed by one
// space, then CR LF; or the first field holding a character the code page
// cannot represent, or a CR, named by its caption in the message.
Result<std::string> FormatLine(const card::SubscriberRecord& record);

// Asked between two tries of the lock while another copy of the program
// holds it: lets a few tens of milliseconds pass, the window answering the
// clerk meanwhile, and returns false to give the save up. Without one the
// save sleeps between tries.
using LockWait = std::function<bool()>;

// Appends the card as one line to the file and resets the card for the next
// subscriber. The line is written whole, under an exclusive lock that other
// saving copies of the program respect, and flushed to the disc before the
// card is reset; on any failure the file is cut back to its length before
// the save, the card is left as it was and the failure comes back (given up
// at the wait: FileError::kCancelled, nothing written). A last line without
// its break (left by hand editing, or torn by a kill) is ended with CR LF
// first, so that the new line stands on its own.
std::optional<Failure> SaveRecord(card::SubscriberCard& card,
                                  const std::filesystem::path& path,
                                  FileSystem& files = PlatformFileSystem(),
                                  const LockWait& wait = {});

}  // namespace records
