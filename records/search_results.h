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
// The bytes go into blocks that are never moved, so that a search matching
// a million lines copies each line once.
class SearchResults {
 public:
  static constexpr int kColumnCount = card::kResultColumnCount;

  int RowCount() const;
  // The UTF-8 text of `column` (0 to 13) in `row` (0 to RowCount() - 1).
  std::string Text(int column, int row) const;
  // The 14 texts of a row, for loading it into the card.
  card::ResultRow Row(int row) const;

  // Appends one row from a matching line (Windows-1251 bytes), cut at its
  // spaces as SplitLine cuts it: pieces 0 to 13, the missing ones as empty
  // texts.
  void AppendLine(std::string_view line);
  // Empties all 14 columns and gives their memory back.
  void Clear();

  // Bytes held, for the memory benchmark.
  std::size_t MemoryBytes() const;

 private:
  // The bytes of `row`, its pieces joined by single spaces.
  std::string_view RowBytes(int row) const;

  std::vector<std::vector<char>> blocks_;
  std::vector<std::size_t> block_first_row_;  // per block
  std::vector<std::size_t> row_ends_;         // end of each row in its block
  std::size_t block_bytes_ = 0;               // capacity of all blocks
};

}  // namespace records
