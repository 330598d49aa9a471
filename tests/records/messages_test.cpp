#include "records/messages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "card/subscriber_record.h"
#include "tests/support/clerk_text.h"

namespace records {
namespace {

// Every message of the library, with a sample path, field and character,
// is Russian: no English reaches the clerk.
TEST(MessagesTest, EveryMessageIsRussian) {
  const std::filesystem::path path = u8"C:/Users/Kassa/Абоненты/Blank.txt";
  std::vector<Failure> messages = {
      WaitCancelled(path), Utf16Failure(path),
      CutBackFailed(OnFile(Step::kWrite, path, FileFailure(FileError::kShrank)),
                    SystemFailure(5, SystemReason::kIoError)),
      NotInCodePage("Ж😀", {.offset = 2, .character = U'😀'})};
  for (int i = 0; i <= static_cast<int>(SystemReason::kLast); ++i) {
    messages.push_back(SystemFailure(28, static_cast<SystemReason>(i)));
  }
  for (int i = 1; i <= static_cast<int>(FileError::kLast); ++i) {
    messages.push_back(FileFailure(static_cast<FileError>(i)));
  }
  for (int i = 0; i <= static_cast<int>(Step::kLast); ++i) {
    messages.push_back(OnFile(static_cast<Step>(i), path,
                              SystemFailure(13, SystemReason::kAccessDenied)));
  }
  for (int field = 0; field < card::kFieldCount; ++field) {
    messages.push_back(CarriageReturnIn({field, 1, U'\r'}));
    messages.push_back(BrokenUtf8In({field, 1, U'\uFFFD'}));
    messages.push_back(NotInCodePage("Ж\u0085", {field, 2, U'\u0085'}));
  }
  for (const Failure& failure : messages) {
    EXPECT_FALSE(failure.message.empty());
    EXPECT_FALSE(test_support::HasLatinWord(failure.message, path))
        << failure.message;
  }
}

}  // namespace
}  // namespace records
