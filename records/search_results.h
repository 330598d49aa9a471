#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "card/subscriber_record.h"

namespace records {

// The 14 parallel result columns: row r of every column comes from the same
// matching line, rows in the order found. Stored compactly, in the file's
// own bytes; texts are decoded when asked for.
class SearchResults {
 public:
  static constexpr int kColumnCount = card::kResultColumnCount;

  int RowCount() const;
  // The UTF-8 text of `column` (0 to 13) in `row` (0 to RowCount() - 1).
  std::string Text(int column, int row) const;
  // The 14 texts of a row, for loading it into the card.
  card::ResultRow Row(int row) const;

  // Appends one row from the pieces of a matching line (Windows-1251 bytes);
  // missing pieces are empty texts, pieces after the 14th are not kept.
  void AppendPieces(const std::vector<std::string_view>& pieces);
  // Appends every row of `other`, in order.
  void Append(SearchResults&& other);
  // Empties all 14 columns.
  void Clear();

  // Bytes held, for the memory benchmark.
  std::size_t MemoryBytes() const;

 private:
  std::string bytes_;
  std::vector<std::uint32_t> offsets_;
};

}  // namespace records
