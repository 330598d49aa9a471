#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "card/subscriber_record.h"

namespace records {

// The 14 parallel result columns: row r of every column comes from the same
// matching line, rows in the order found. A row is kept as its line's own
// bytes (Windows-1251), pieces 0 to 13 joined by single spaces, so that it
// costs little more than the line itself; texts are decoded when asked for.
class SearchResults {
 public:
  static constexpr int kColumnCount = card::kResultColumnCount;

  int RowCount() const;
  // The UTF-8 text of `column` (0 to 13) in `row` (0 to RowCount() - 1).
  std::string Text(int column, int row) const;
  // The 14 texts of a row, for loading it into the card.
  card::ResultRow Row(int row) const;

  // Appends one row from the pieces of a matching line, as SplitLine cuts
  // it: Windows-1251 bytes, no space inside a piece. Missing pieces are
  // empty texts; pieces after the 14th are not kept.
  void AppendPieces(const std::vector<std::string_view>& pieces);
  // Empties all 14 columns and gives their memory back.
  void Clear();

  // Bytes held, for the memory benchmark.
  std::size_t MemoryBytes() const;

 private:
  // The bytes of `column` in `row`.
  std::string_view Piece(int column, int row) const;

  std::vector<char> bytes_;
  std::vector<std::size_t> row_ends_;  // end of each row in bytes_
};

}  // namespace records
