// The pieces a row holds are the search fuzz target's to check; here, the
// memory that the rows take.

#include "search/search_results.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/cp1251_bytes.h"

namespace search {
namespace {

using test_support::Cp1251;

TEST(SearchResultsTest, HoldsLittleMoreThanTheLinesFound) {
  const std::string line = Cp1251(
      "Кузнецов Сергей Петрович Садовая,14 234567 51234 1,3 0 1,3 37,2 20 "
      "17,2 38,5 20 18,5 ");
  SearchResults results;
  constexpr int kRows = 100'000;
  for (int row = 0; row < kRows; ++row) {
    results.AppendLine(line, records::LineEncoding::kCp1251);
  }
  EXPECT_LE(results.MemoryBytes(), kRows * line.size() * 3 / 2);
  EXPECT_EQ(results.Row(kRows - 1), results.Row(0));

  results.Clear();
  EXPECT_EQ(results.RowCount(), 0);
  EXPECT_LE(results.MemoryBytes(), sizeof(SearchResults));
}

}  // namespace
}  // namespace search
