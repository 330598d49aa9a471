#include "search/search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "card/subscriber_card.h"
#include "records/subscriber_file.h"
#include "tests/support/cp1251_bytes.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/ok.h"
#include "tests/support/temp_folder.h"

namespace search {
namespace {

using records::FileSystem;
using records::kSubscriberFileName;
using records::LockKind;
using records::LockWait;
using records::PlatformFileSystem;
using records::Result;
using records::SaveRecord;

using test_support::Cp1251;
using test_support::Ok;

// `count` lines of a card as a save writes them.
std::string Cards(std::size_t count) {
  std::string lines;
  for (std::size_t i = 0; i < count; ++i) {
    lines += Cp1251(
        "Иванов Иван Отчество Ленина,1 7 1 1,3 0 1,3 0 0 0 1,3 0 1,3 \r\n");
  }
  return lines;
}

class SearchTest : public ::testing::Test {
 protected:
  // Searches for the cards' surname.
  SearchOutcome Search(const Progress& progress = {},
                       const LockWait& wait = {}) {
    return SearchRecords(
        SearchMode::kBySurname, [] { return std::string("Иванов"); }, results_,
        progress, path_, files_, wait);
  }

  test_support::TempFolder folder_;
  const std::filesystem::path path_ = folder_.path() / kSubscriberFileName;
  test_support::FaultyFileSystem files_;
  SearchResults results_;
};

// The search reads under the shared lock: it waits while another copy of the
// program saves, listing nothing when it gives up, and a save waits while it
// reads, but two searches never wait for each other. The other copy holds
// the lock through a handle of its own.
TEST_F(SearchTest, WaitsForASaveAndASaveWaitsForIt) {
  test_support::WriteBytes(path_, Cards(1));
  FileSystem& files = PlatformFileSystem();
  const auto hold = [&](LockKind kind) {
    Result<FileSystem::Handle> other = files.OpenForReading(path_);
    EXPECT_TRUE(other.ok() && files.TryLock(other.value(), kind).value());
    return other.value();
  };
  const FileSystem::Handle saving = hold(LockKind::kExclusive);
  int waits = 0;
  const SearchOutcome outcome = Search({}, [&] {
    if (++waits < 3) return true;
    files.Close(saving);
    return false;
  });
  EXPECT_EQ(waits, 3);
  ASSERT_TRUE(Ok(outcome));
  EXPECT_EQ(outcome.value(), SearchEnd::kCancelled);
  EXPECT_EQ(results_.RowCount(), 0);

  const FileSystem::Handle searching = hold(LockKind::kShared);
  EXPECT_TRUE(Ok(Search({}, [] {
    ADD_FAILURE() << "a search waited for a search";
    return false;
  })));
  EXPECT_EQ(results_.RowCount(), 1);
  card::SubscriberCard card;
  card.Start();
  waits = 0;
  EXPECT_TRUE(Ok(SaveRecord(card, path_, files, [&] {
    ++waits;
    files.Close(searching);
    return true;
  })));
  EXPECT_EQ(waits, 1);
  EXPECT_EQ(files_.OpenFiles(), 0);
}

TEST_F(SearchTest, ReadErrorKeepsTheRowsFoundBeforeIt) {
  test_support::WriteBytes(path_, Cards(10));
  files_.ReadAtMost(100);
  files_.FailOnce(5);
  const SearchOutcome outcome = Search();
  ASSERT_FALSE(outcome.ok());
  EXPECT_EQ(outcome.failure().code, test_support::FaultyFileSystem::kError);
  EXPECT_GT(results_.RowCount(), 0);
  EXPECT_LT(results_.RowCount(), 10);
  EXPECT_EQ(files_.OpenFiles(), 0);
}

// A stop at a report of progress keeps the rows of the lines whose break was
// read, in little more memory than their bytes, and reads no further; a line
// of megabytes is told of while it is read.
TEST_F(SearchTest, StopAtAReportKeepsTheRowsFoundBefore) {
  struct Case {
    const char* what;
    std::string bytes;
    std::size_t reports;
  };
  const Case cases[] = {
      {"many lines", Cards(100'000), 1},
      {"one long line", Cp1251("Иванов") + std::string(6 << 20, 'a'), 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test_support::WriteBytes(path_, c.bytes);
    results_.Clear();
    std::vector<std::uint64_t> reads;
    std::size_t calls = 0;
    const SearchOutcome outcome =
        Search([&](std::uint64_t read, std::uint64_t size) {
          EXPECT_EQ(size, c.bytes.size());
          reads.push_back(read);
          calls = files_.Calls().size();
          return reads.size() < c.reports;
        });
    ASSERT_TRUE(Ok(outcome));
    EXPECT_EQ(outcome.value(), SearchEnd::kCancelled);
    ASSERT_EQ(reads.size(), c.reports);
    EXPECT_GT(reads.front(), 0u);
    EXPECT_EQ(
        std::adjacent_find(reads.begin(), reads.end(), std::greater_equal<>()),
        reads.end());
    EXPECT_LT(reads.back(), c.bytes.size());
    EXPECT_EQ(
        results_.RowCount(),
        std::count(c.bytes.begin(), c.bytes.begin() + reads.back(), '\r'));
    EXPECT_LE(results_.MemoryBytes(), sizeof(SearchResults) + 2 * reads.back());
    EXPECT_EQ(files_.Calls().size(), calls);
    EXPECT_EQ(files_.OpenFiles(), 0);
  }
}

}  // namespace
}  // namespace search
