#include "records/search_results.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/records/file_test_support.h"

namespace records {
namespace {

using test_support::Cp1251;

TEST(SearchResultsTest, RowHoldsFourteenPiecesOfItsLine) {
  struct Case {
    std::string line;  // UTF-8
    card::ResultRow row;
  };
  const Case cases[] = {
      {"", {}},
      {"Иванов", {"Иванов"}},
      {" Ёж  ул.Мира", {"", "Ёж", "", "ул.Мира"}},
      {"а б ", {"а", "б", ""}},
      {"0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 ",
       {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12",
        "13"}},
      {"             13 14",
       {"", "", "", "", "", "", "", "", "", "", "", "", "", "13"}},
      {"а б в г д е ж з и к л м н о п",
       {"а", "б", "в", "г", "д", "е", "ж", "з", "и", "к", "л", "м", "н", "о"}},
  };
  SearchResults results;
  for (const Case& c : cases) {
    results.AppendLine(Cp1251(c.line));
  }
  ASSERT_EQ(results.RowCount(), std::size(cases));
  for (int row = 0; row < results.RowCount(); ++row) {
    EXPECT_EQ(results.Row(row), cases[row].row) << cases[row].line;
    for (int column = 0; column < SearchResults::kColumnCount; ++column) {
      EXPECT_EQ(results.Text(column, row), cases[row].row[column]);
    }
  }
}

TEST(SearchResultsTest, HoldsLittleMoreThanTheLinesFound) {
  const std::string line = Cp1251(
      "Кузнецов Сергей Петрович Садовая,14 234567 51234 1,3 0 1,3 37,2 20 "
      "17,2 38,5 20 18,5 ");
  SearchResults results;
  std::size_t line_bytes = 0;
  for (int row = 0; row < 100'000; ++row) {
    results.AppendLine(line);
    line_bytes += line.size();
    if (row % 997 == 0) {
      ASSERT_LE(results.MemoryBytes(), 2 * line_bytes + 4096) << row;
    }
  }
  EXPECT_LE(results.MemoryBytes(), 2 * line_bytes);
  // The last rows stand in the blocks of the system's pages.
  EXPECT_EQ(results.Row(99'999), results.Row(0));

  results.Clear();
  EXPECT_EQ(results.RowCount(), 0);
  EXPECT_LE(results.MemoryBytes(), sizeof(SearchResults));
}

}  // namespace
}  // namespace records
