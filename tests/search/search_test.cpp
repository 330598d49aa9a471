#include "search/search.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "card/benefit.h"
#include "card/subscriber_card.h"
#include "records/subscriber_file.h"
#include "tests/support/cp1251_bytes.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/temp_folder.h"

namespace search {
namespace {

using records::FileError;
using records::FileSystem;
using records::kSubscriberFileName;
using records::LockKind;
using records::LockWait;
using records::PlatformFileSystem;
using records::Result;
using records::SaveRecord;

using Stop = SearchOutcome::Stop;
using test_support::Cp1251;

// A line as a save writes it: each field followed by one space.
std::string Saved(std::initializer_list<std::string_view> fields) {
  std::string line;
  for (std::string_view field : fields) {
    line += field;
    line += ' ';
  }
  return line;
}

// A saved card with the given names, telephone and account, and the
// billing cells of an untouched card.
std::string Card(std::string_view surname, std::string_view first_name,
                 std::string_view telephone, std::string_view account) {
  return Saved({surname, first_name, "Отчество", "Ленина,1", telephone, account,
                "1,3", "0", "1,3", "0", "0", "0", "1,3", "0", "1,3"});
}

std::vector<std::string> Column(const SearchResults& results, int column) {
  std::vector<std::string> texts;
  for (int row = 0; row < results.RowCount(); ++row)
    texts.push_back(results.Text(column, row));
  return texts;
}

class SearchTest : public ::testing::Test {
 protected:
  // Writes the UTF-8 lines in Windows-1251, each ended by CR LF.
  void WriteLines(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) bytes += Cp1251(line) + "\r\n";
    test_support::WriteBytes(path_, bytes);
  }

  // Searches with a prompt that answers `query`, counting its calls.
  SearchOutcome Search(SearchMode mode, const std::string& query) {
    return SearchRecords(
        mode,
        [this, query] {
          ++prompt_calls_;
          return query;
        },
        results_, {}, path_, files_);
  }

  test_support::TempFolder folder_;
  const std::filesystem::path path_ = folder_.path() / kSubscriberFileName;
  test_support::FaultyFileSystem files_;
  SearchResults results_;
  int prompt_calls_ = 0;
};

// Accounts 1 to 7 tell the cards apart; the empty line and the one-piece
// line in the middle must not stop any search.
const std::vector<std::string> kCards = {
    Card("Иванов", "Иван", "7", "1"),
    Card("", "Пётр", "07", "2"),
    Card("иванов", "Иван", "7,0", "3"),
    Card("Иванов", "Олег", "", "4"),
    "",
    "Иванов",
    Card("Сидоров", "Иван", "22-33", "5"),
    Card("Петров", "Анна", "8", "6"),
    Card("Петров", "Анна", "8", "7"),
};

TEST_F(SearchTest, FindsTheCardsWhosePieceEqualsTheQuery) {
  struct Case {
    SearchMode mode;
    std::string query;
    std::vector<std::string> accounts;
  };
  const Case cases[] = {
      {SearchMode::kBySurname, "Иванов", {"1", "4", ""}},
      {SearchMode::kBySurname, "", {"2"}},
      {SearchMode::kBySurname, "ИВАНОВ", {}},
      {SearchMode::kBySurname, "иванов", {"3"}},
      {SearchMode::kBySurname, "Иванов Иван", {}},
      {SearchMode::kBySurname, "Иванов ", {}},
      {SearchMode::kBySurname, "Сидоров", {"5"}},
      {SearchMode::kBySurname, "Петров", {"6", "7"}},
      {SearchMode::kBySurname, "日本", {}},
      {SearchMode::kByFirstName, "Иван", {"1", "3", "5"}},
      {SearchMode::kByFirstName, "", {}},
      {SearchMode::kByFirstName, "Иван Иванов", {}},
      {SearchMode::kByTelephone, "7", {"1", "2", "3"}},
      {SearchMode::kByTelephone, " 7 ", {"1", "2", "3"}},
      {SearchMode::kByTelephone, "07", {"1", "2", "3"}},
      {SearchMode::kByTelephone, "7,0", {"1", "2", "3"}},
      {SearchMode::kByTelephone, "8", {"6", "7"}},
      {SearchMode::kByTelephone, "22", {}},
      {SearchMode::kByTelephone, "2233", {}},
      {SearchMode::kByTelephone, "0", {}},
  };
  WriteLines(kCards);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.query);
    results_.Clear();
    const SearchOutcome outcome = Search(c.mode, c.query);
    EXPECT_EQ(outcome.stop, Stop::kEndOfFile);
    EXPECT_FALSE(outcome.failure);
    EXPECT_EQ(outcome.rows_added, static_cast<int>(c.accounts.size()));
    EXPECT_EQ(Column(results_, card::field::AccountNumber), c.accounts);
  }
}

// Lines that a text editor saved in UTF-8, with or without the mark at the
// start of the file, are found beside the program's Windows-1251 lines and
// listed as they read.
TEST_F(SearchTest, FindsUtf8LinesBesideWindows1251Ones) {
  const std::string lines = Cp1251(Card("Иванов", "Иван", "7", "1")) + "\r\n" +
                            Card("Иванов", "Ёжик", "07", "2") + "\r\n" +
                            Card("Ли😀", "Иван", "", "3") + "\r\n" +
                            Cp1251(Card("Иванов", "Олег", "7", "4")) + "\r\n" +
                            Card("Ivanov", "Oleg", "7", "5") + "\r\n" +
                            Card("Petrov", "Пётр", "", "6");
  struct Case {
    SearchMode mode;
    std::string query;
    std::vector<std::string> accounts;
    std::vector<std::string> first_names;
  };
  const Case cases[] = {
      {SearchMode::kBySurname,
       "Иванов",
       {"1", "2", "4"},
       {"Иван", "Ёжик", "Олег"}},
      {SearchMode::kByFirstName, "Иван", {"1", "3"}, {"Иван", "Иван"}},
      {SearchMode::kBySurname, "Ли😀", {"3"}, {"Иван"}},
      {SearchMode::kByFirstName, "Oleg", {"5"}, {"Oleg"}},
      {SearchMode::kBySurname, "Petrov", {"6"}, {"Пётр"}},
      {SearchMode::kByTelephone,
       "7",
       {"1", "2", "4", "5"},
       {"Иван", "Ёжик", "Олег", "Oleg"}},
  };
  for (const bool mark : {false, true}) {
    test_support::WriteBytes(path_, (mark ? "\xEF\xBB\xBF" : "") + lines);
    for (const Case& c : cases) {
      SCOPED_TRACE(c.query + (mark ? ", with the mark" : ""));
      results_.Clear();
      EXPECT_EQ(Search(c.mode, c.query).rows_added,
                static_cast<int>(c.accounts.size()));
      EXPECT_EQ(Column(results_, card::field::AccountNumber), c.accounts);
      EXPECT_EQ(Column(results_, card::field::FirstName), c.first_names);
    }
  }
}

// A file in UTF-16 is refused before the clerk is asked anything.
TEST_F(SearchTest, RefusesAUtf16File) {
  for (const std::string mark : {"\xFF\xFE", "\xFE\xFF"}) {
    test_support::WriteBytes(path_, mark + "\x18\x04\x32\x04");
    const SearchOutcome outcome = Search(SearchMode::kBySurname, "Иванов");
    EXPECT_EQ(outcome.stop, Stop::kFailed);
    ASSERT_TRUE(outcome.failure);
    EXPECT_EQ(outcome.failure->code, FileError::kUtf16);
    EXPECT_NE(outcome.failure->message.find("Блокнот"), std::string::npos);
  }
  EXPECT_EQ(prompt_calls_, 0);
  EXPECT_EQ(files_.OpenFiles(), 0);
}

// The search reads under the shared lock: it waits while another copy of the
// program saves, and a save waits while it reads, but two searches never
// wait for each other. The other copy holds the lock through a handle of its
// own.
TEST_F(SearchTest, WaitsForASaveAndASaveWaitsForIt) {
  WriteLines({Card("Иванов", "Иван", "7", "1")});
  FileSystem& files = PlatformFileSystem();
  const auto hold = [&](LockKind kind) {
    Result<FileSystem::Handle> other = files.OpenForReading(path_);
    EXPECT_TRUE(other.ok() && files.TryLock(other.value(), kind).value());
    return other.value();
  };
  const auto search = [&](const LockWait& wait) {
    return SearchRecords(
        SearchMode::kBySurname, [] { return std::string("Иванов"); }, results_,
        {}, path_, files_, wait);
  };
  for (const bool give_up : {false, true}) {
    SCOPED_TRACE(give_up ? "given up" : "waited for");
    results_.Clear();
    const FileSystem::Handle saving = hold(LockKind::kExclusive);
    int waits = 0;
    const SearchOutcome outcome = search([&] {
      if (++waits < 3) return true;
      files.Close(saving);
      return !give_up;
    });
    EXPECT_EQ(waits, 3);
    EXPECT_EQ(outcome.stop, give_up ? Stop::kCancelled : Stop::kEndOfFile);
    EXPECT_FALSE(outcome.failure);
    EXPECT_EQ(results_.RowCount(), give_up ? 0 : 1);
  }

  const FileSystem::Handle searching = hold(LockKind::kShared);
  results_.Clear();
  EXPECT_EQ(search([] {
              ADD_FAILURE() << "a search waited for a search";
              return false;
            }).rows_added,
            1);
  card::SubscriberCard card;
  card.Start();
  int waits = 0;
  EXPECT_EQ(SaveRecord(card, path_, files,
                       [&] {
                         ++waits;
                         files.Close(searching);
                         return true;
                       }),
            std::nullopt);
  EXPECT_EQ(waits, 1);
  EXPECT_EQ(files_.OpenFiles(), 0);
}

TEST_F(SearchTest, TelephoneQueryThatIsNoNumberEndsTheSearch) {
  struct Case {
    std::string query;
    Stop stop;
    bool reported;
  };
  const Case cases[] = {
      {"", Stop::kEmptyQuery, false}, {"7 7", Stop::kFailed, true},
      {"22-33", Stop::kFailed, true}, {"   ", Stop::kFailed, true},
      {"семь", Stop::kFailed, true},
  };
  WriteLines(kCards);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.query);
    const SearchOutcome outcome = Search(SearchMode::kByTelephone, c.query);
    EXPECT_EQ(outcome.stop, c.stop);
    EXPECT_EQ(outcome.rows_added, 0);
    ASSERT_EQ(outcome.failure.has_value(), c.reported);
    if (c.reported) {
      EXPECT_NE(outcome.failure->message.find(c.query), std::string::npos);
    }
  }
  EXPECT_EQ(results_.RowCount(), 0);
  EXPECT_EQ(files_.OpenFiles(), 0);
}

TEST_F(SearchTest, ListsPiecesByPosition) {
  WriteLines({
      Saved({"Петров", "Пётр", "Петрович", "Мира", "5", "225", "300", "1,3",
             "0", "1,3", "0", "0", "0", "1,3", "0", "1,3"}),
      "Иванов Иван",
  });
  // The address "Мира 5" was saved with its space: later fields shift.
  ASSERT_EQ(Search(SearchMode::kBySurname, "Петров").rows_added, 1);
  EXPECT_EQ(results_.Row(0),
            (card::ResultRow{"Петров", "Пётр", "Петрович", "Мира", "5", "225",
                             "300", "1,3", "0", "1,3", "0", "0", "0", "1,3"}));
  EXPECT_EQ(Search(SearchMode::kByTelephone, "225").rows_added, 0);
  EXPECT_EQ(Search(SearchMode::kByTelephone, "5").rows_added, 1);

  ASSERT_EQ(Search(SearchMode::kBySurname, "Иванов").rows_added, 1);
  EXPECT_EQ(results_.Row(2), (card::ResultRow{"Иванов", "Иван"}));
}

TEST_F(SearchTest, PromptIsNotCalledWithoutFileOrMode) {
  for (SearchMode mode : {SearchMode::kNone, SearchMode::kBySurname,
                          SearchMode::kByFirstName, SearchMode::kByTelephone}) {
    const SearchOutcome outcome = Search(mode, "Иванов");
    EXPECT_EQ(outcome.stop, Stop::kFailed);
    ASSERT_TRUE(outcome.failure);
    // ENOENT has the number of ERROR_FILE_NOT_FOUND on Windows too.
    EXPECT_EQ(outcome.failure->code,
              std::error_code(ENOENT, std::system_category()));
  }
  WriteLines(kCards);
  const SearchOutcome outcome = Search(SearchMode::kNone, "Иванов");
  EXPECT_EQ(outcome.stop, Stop::kNoMode);
  EXPECT_FALSE(outcome.failure);
  EXPECT_EQ(prompt_calls_, 0);
  EXPECT_EQ(results_.RowCount(), 0);
  EXPECT_EQ(files_.OpenFiles(), 0);
}

TEST_F(SearchTest, ReadErrorKeepsTheRowsFoundBeforeIt) {
  WriteLines(std::vector<std::string>(10, Card("Иванов", "Иван", "7", "1")));
  files_.ReadAtMost(100);
  files_.FailOnce(5);
  const SearchOutcome outcome = Search(SearchMode::kBySurname, "Иванов");
  EXPECT_EQ(outcome.stop, Stop::kFailed);
  ASSERT_TRUE(outcome.failure);
  EXPECT_EQ(outcome.failure->code, test_support::FaultyFileSystem::kError);
  EXPECT_GT(outcome.rows_added, 0);
  EXPECT_LT(outcome.rows_added, 10);
  EXPECT_EQ(results_.RowCount(), outcome.rows_added);
  EXPECT_EQ(files_.OpenFiles(), 0);
}

TEST_F(SearchTest, StopKeepsTheRowsFoundBeforeAndReadsNoFurther) {
  // Enough lines for a report of progress before the end of the file.
  const std::string line = Cp1251(Card("Иванов", "Иван", "7", "1")) + "\r\n";
  std::string bytes;
  while (bytes.size() < (std::size_t{5} << 20)) bytes += line;
  test_support::WriteBytes(path_, bytes);
  std::uint64_t read = 0;
  std::uint64_t size = 0;
  std::size_t calls = 0;
  const SearchOutcome outcome = SearchRecords(
      SearchMode::kBySurname, [] { return std::string("Иванов"); }, results_,
      [&](std::uint64_t bytes_read, std::uint64_t file_size) {
        read = bytes_read;
        size = file_size;
        calls = files_.Calls().size();
        return false;
      },
      path_, files_);
  EXPECT_EQ(outcome.stop, Stop::kCancelled);
  EXPECT_FALSE(outcome.failure);
  EXPECT_EQ(size, bytes.size());
  EXPECT_GT(read, 0u);
  EXPECT_LT(read, size);
  // The lines whose break was read, and no call after the stop.
  EXPECT_EQ(outcome.rows_added, static_cast<int>((read + 1) / line.size()));
  EXPECT_EQ(results_.RowCount(), outcome.rows_added);
  EXPECT_EQ(files_.Calls().size(), calls);
  EXPECT_EQ(files_.OpenFiles(), 0);
}

// A line of megabytes is told of while it is read, and may be stopped.
TEST_F(SearchTest, ProgressCoversOneLongLine) {
  const std::string bytes = Cp1251("Иванов") + std::string(6 << 20, 'a');
  test_support::WriteBytes(path_, bytes);
  std::vector<std::uint64_t> reads;
  const SearchOutcome outcome = SearchRecords(
      SearchMode::kBySurname, [] { return std::string("Иванов"); }, results_,
      [&](std::uint64_t read, std::uint64_t size) {
        EXPECT_EQ(size, bytes.size());
        reads.push_back(read);
        return reads.size() < 2;
      },
      path_, files_);
  EXPECT_EQ(outcome.stop, Stop::kCancelled);
  ASSERT_EQ(reads.size(), 2u);
  EXPECT_LT(reads[0], reads[1]);
  EXPECT_LT(reads[1], bytes.size());
  EXPECT_EQ(results_.RowCount(), 0);
  EXPECT_EQ(files_.OpenFiles(), 0);
}

// A row loads into the card and recalculates under the option chosen; there
// is nothing to view outside the rows, nor once they are cleared.
TEST_F(SearchTest, ViewSelectedLoadsARowAndRecalculatesIt) {
  // Saved under "0%" from the amounts 10, 4, 7, 2; the saved total due plays
  // no part.
  WriteLines({Saved({"Иванов", "Иван", "Иванович", "Ленина,1", "7", "1", "10",
                     "4", "6", "7", "2", "5", "17", "6", "999"})});
  ASSERT_EQ(Search(SearchMode::kBySurname, "Иванов").rows_added, 1);
  card::SubscriberCard card;
  card.Start();
  card.ChooseBenefit(card::BenefitOption::kFifty);
  const card::SubscriberRecord before = card.Snapshot();
  EXPECT_FALSE(ViewSelected(-1, results_, card));
  EXPECT_FALSE(ViewSelected(1, results_, card));
  EXPECT_EQ(card.Snapshot(), before);

  ASSERT_TRUE(ViewSelected(0, results_, card));
  const card::SubscriberRecord expected = {
      "Иванов", "Иван", "Иванович", "Ленина,1", "7",   "1", "10",  "4",
      "3",      "7",    "2",        "2,5",      "8,5", "3", "2,75"};
  EXPECT_EQ(card.Snapshot(), expected);

  ClearResults(results_);
  EXPECT_EQ(results_.RowCount(), 0);
  EXPECT_FALSE(ViewSelected(0, results_, card));
  EXPECT_EQ(card.Snapshot(), expected);
}

}  // namespace
}  // namespace search
