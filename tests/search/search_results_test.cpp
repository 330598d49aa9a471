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
  std::size_t line_bytes = 0;
  for (int row = 0; row < 100'000; ++row) {
    results.AppendLine(line, records::LineEncoding::kCp1251);
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
}  // namespace search
