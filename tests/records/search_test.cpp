#include "records/search.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "card/benefit.h"
#include "card/number_text.h"
#include "card/subscriber_card.h"
#include "records/cp1251.h"
#include "tests/records/file_test_support.h"

namespace records {
namespace {

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
  void WriteBytes(const std::string& bytes) {
    test_support::WriteBytes(path_, bytes);
  }
  // Writes the UTF-8 lines in Windows-1251, each ended by CR LF.
  void WriteLines(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) bytes += Cp1251(line) + "\r\n";
    WriteBytes(bytes);
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

TEST_F(SearchTest, SearchesAppendBelowEarlierRows) {
  WriteLines({
      Card("Иванов", "Иван", "7", "1"),
      Card("Петров", "Анна", "8", "2"),
      Card("Иванов", "Иван", "7", "1"),
  });
  EXPECT_EQ(Search(SearchMode::kBySurname, "Иванов").rows_added, 2);
  EXPECT_EQ(Search(SearchMode::kByFirstName, "Анна").rows_added, 1);
  EXPECT_EQ(Search(SearchMode::kBySurname, "Иванов").rows_added, 2);
  EXPECT_EQ(Column(results_, card::field::Surname),
            (std::vector<std::string>{"Иванов", "Иванов", "Петров", "Иванов",
                                      "Иванов"}));
  EXPECT_EQ(prompt_calls_, 3);
}

TEST_F(SearchTest, PromptIsNotCalledWithoutFileOrMode) {
  for (SearchMode mode : {SearchMode::kNone, SearchMode::kBySurname,
                          SearchMode::kByFirstName, SearchMode::kByTelephone}) {
    const SearchOutcome outcome = Search(mode, "Иванов");
    EXPECT_EQ(outcome.stop, Stop::kFailed);
    ASSERT_TRUE(outcome.failure);
    EXPECT_NE(outcome.failure->message.find(kSubscriberFileName),
              std::string::npos);
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
  WriteBytes(bytes);
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

TEST_F(SearchTest, ViewingLoadsTheRowAndRecalculatesIt) {
  // Saved under "0%" from the amounts 10, 4, 7, 2; the saved total due plays
  // no part.
  WriteLines({Saved({"Иванов", "Иван", "Иванович", "Ленина,1", "7", "1", "10",
                     "4", "6", "7", "2", "5", "17", "6", "999"})});
  ASSERT_EQ(Search(SearchMode::kBySurname, "Иванов").rows_added, 1);
  card::SubscriberCard card;
  card.Start();
  card.ChooseBenefit(card::BenefitOption::kFifty);

  ASSERT_TRUE(ViewSelected(0, results_, card));
  const card::SubscriberRecord expected = {
      "Иванов", "Иван", "Иванович", "Ленина,1", "7",   "1", "10",  "4",
      "3",      "7",    "2",        "2,5",      "8,5", "3", "2,75"};
  EXPECT_EQ(card.Snapshot(), expected);
}

TEST_F(SearchTest, ClearedResultsHaveNothingToView) {
  WriteLines(kCards);
  ASSERT_EQ(Search(SearchMode::kBySurname, "Иванов").rows_added, 3);
  card::SubscriberCard card;
  card.Start();
  const card::SubscriberRecord before = card.Snapshot();
  EXPECT_FALSE(ViewSelected(-1, results_, card));
  EXPECT_FALSE(ViewSelected(3, results_, card));

  ClearResults(results_);
  EXPECT_EQ(results_.RowCount(), 0);
  EXPECT_FALSE(ViewSelected(0, results_, card));
  EXPECT_EQ(card.Snapshot(), before);
}

// The byte-level search against a plain reading of the same file: decode
// every line, cut it at each space, compare the decoded piece.
class AgreementTest : public SearchTest {
 protected:
  // A file of random lines: tokens that repeat, so that queries match, at
  // times glued into longer pieces, and random bytes, with every kind of
  // line break. The numbers equal 92896 but for the last, some only by
  // rounding or by their exponent.
  std::string RandomFile(std::uint32_t seed) {
    static const std::vector<std::string> kTokens = {
        "",   "7",   "07",    "7,0",  "+7",     "-0",     "0",    "7E0", ",7",
        "7,", "1,3", "22-33", "Иван", "Иванов", "иванов", "Пётр", "Ёж",  "a.b"};
    static const std::vector<std::string> kNumbers = {
        "92896", "092896,0", "9,2896E4", "92895,99999999999999999",
        "0,0812499999999999"};
    static const std::string kBytes =
        "0123456789,-+Ee.\n\t\x98\xA0\xB8\xC0\xE9\xFF";
    std::mt19937 random(seed);
    std::string bytes;
    const int lines = 200;
    for (int line = 0; line < lines; ++line) {
      const int pieces = static_cast<int>(random() % 18);
      for (int piece = 0; piece < pieces; ++piece) {
        if (piece != 0 && random() % 8 != 0) bytes += ' ';
        if (random() % 4 == 0) {
          for (unsigned n = random() % 4; n > 0; --n)
            bytes += kBytes[random() % kBytes.size()];
        } else {
          const auto& tokens = random() % 6 == 0 ? kNumbers : kTokens;
          bytes += Cp1251(tokens[random() % tokens.size()]);
        }
      }
      if (line + 1 < lines || random() % 2 == 0) {
        bytes += random() % 5 == 0 ? "\r" : "\r\n";
      }
    }
    return bytes;
  }

  // The rows a plain reading finds, as UTF-8 texts.
  static std::vector<card::ResultRow> PlainSearch(const std::string& bytes,
                                                  SearchMode mode,
                                                  const std::string& query) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      if (bytes[i] != '\r') continue;
      lines.push_back(bytes.substr(start, i - start));
      if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      start = i + 1;
    }
    if (start < bytes.size()) lines.push_back(bytes.substr(start));
    const int field = mode == SearchMode::kBySurname     ? 0
                      : mode == SearchMode::kByFirstName ? 1
                                                         : 4;
    std::vector<card::ResultRow> rows;
    for (const std::string& line : lines) {
      const std::string text = DecodeCp1251(line);
      std::vector<std::string> pieces;
      if (!text.empty()) pieces.emplace_back();
      for (char c : text) {
        if (c == ' ') {
          pieces.emplace_back();
        } else {
          pieces.back() += c;
        }
      }
      if (static_cast<int>(pieces.size()) <= field) continue;
      bool equal = pieces[field] == query;
      if (mode == SearchMode::kByTelephone) {
        const auto piece = card::ParseNumber(pieces[field]);
        const auto wanted = card::ParseNumber(query);
        equal = piece && wanted && *piece == *wanted;
      }
      if (equal) {
        card::ResultRow row;
        for (std::size_t k = 0; k < row.size() && k < pieces.size(); ++k)
          row[k] = pieces[k];
        rows.push_back(row);
      }
    }
    return rows;
  }
};

TEST_F(AgreementTest, ByteSearchAgreesWithPlainReading) {
  const std::vector<std::pair<SearchMode, std::vector<std::string>>> queries = {
      {SearchMode::kBySurname, {"", "7", "Иванов", "иванов", "Ёж", "日"}},
      {SearchMode::kByFirstName, {"", "07", "Иван", "Пётр", "a.b"}},
      {SearchMode::kByTelephone,
       {"7", " 7", "0", "-0", "1,3", "13", "1E1", "92896"}}};
  // Rows found per mode, so that the agreement is not over empty results.
  std::map<SearchMode, int> found;
  // Short reads put the ends of the blocks the search looks across anywhere,
  // queries and breaks split between two of them.
  const std::size_t read_limits[] = {SIZE_MAX, 3, 7, 64, 1000};
  for (std::uint32_t seed = 1; seed <= 20; ++seed) {
    const std::string bytes = RandomFile(seed);
    WriteBytes(bytes);
    test_support::FaultyFileSystem files;
    files.ReadAtMost(read_limits[seed % std::size(read_limits)]);
    for (const auto& [mode, texts] : queries) {
      for (const std::string& query : texts) {
        SCOPED_TRACE("seed " + std::to_string(seed) + ", query " + query);
        SearchResults results;
        const SearchOutcome outcome = SearchRecords(
            mode, [&query] { return query; }, results, {}, path_, files);
        ASSERT_EQ(outcome.stop, Stop::kEndOfFile);
        const std::vector<card::ResultRow> expected =
            PlainSearch(bytes, mode, query);
        ASSERT_EQ(results.RowCount(), static_cast<int>(expected.size()));
        found[mode] += results.RowCount();
        for (int row = 0; row < results.RowCount(); ++row) {
          EXPECT_EQ(results.Row(row), expected[row]);
        }
      }
    }
  }
  for (const auto& [mode, texts] : queries) EXPECT_GT(found[mode], 100);
}

}  // namespace
}  // namespace records
