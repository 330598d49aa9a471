#include "search/messages.h"

#include <gtest/gtest.h>

#include "tests/support/clerk_text.h"

namespace search {
namespace {

// Every message of the search, with a sample path and query, is Russian.
TEST(MessagesTest, EveryMessageIsRussian) {
  const std::filesystem::path path = u8"C:/Users/Kassa/Абоненты/Blank.txt";
  for (const records::Failure& failure :
       {TelephoneNotNumber("двенадцать"), OutOfMemory(path)}) {
    EXPECT_FALSE(test_support::HasLatinWord(failure.message, path))
        << failure.message;
  }
}

}  // namespace
}  // namespace search
