#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "card/subscriber_record.h"
#include "records/line_encoding.h"

namespace search {

// Holds the 14 parallel result columns: row r of every column comes from the
// same matching line, rows in the order found. Each row is kept once, as its
// line's own bytes with their encoding, and is cut into pieces and decoded
// only when asked for.
class SearchResults {
 public:
  static constexpr int kColumnCount = card::kResultColumnCount;

  int RowCount() const;
  // Returns the UTF-8 text of `column` (0 to 13) in `row`.
  std::string Text(int column, int row) const;
  // Returns the 14 texts of a row, for loading it into the card.
  card::ResultRow Row(int row) const;

  // Holds the start of a text that may be too long to show whole: its first
  // characters, decoded alone, and the length of the whole text. Lengths
  // count UTF-16 units, as the toolkit's texts do: an emoji counts two.
  struct TextStart {
    std::string text;    // UTF-8, whole characters, at most `characters` units
    std::size_t length;  // of the whole text
  };
  using RowStarts = std::array<TextStart, kColumnCount>;
  // Returns the start of each text of `row`, at most `characters` units,
  // found in one pass over the row, however long its texts.
  RowStarts StartsOfRow(int row, std::size_t characters) const;

  // Appends one row from a matching line (its bytes without its break, in
  // `encoding`): its pieces 0 to 13 as SplitLine cuts them, the missing
  // ones as empty texts.
  void AppendLine(std::string_view line, records::LineEncoding encoding);
  // Empties all 14 columns and gives their memory back.
  void Clear();
  // Makes room for the rows of `more`, so that Append cannot fail; false
  // when the memory for it cannot be had.
  bool MakeRoomFor(const SearchResults& more);
  // Appends the rows of `more`, taking their memory without copying it.
  void Append(SearchResults&& more);

  // Counts the bytes held, for the memory benchmark.
  std::size_t MemoryBytes() const;

 private:
  // Returns the bytes of `row` and sets `encoding` to theirs.
  std::string_view RowBytes(int row, records::LineEncoding& encoding) const;

  // The rows' bytes lie one after another in chunks that never move, so
  // that a row is copied once; a row's place counts bytes from the first
  // chunk's start, as if the chunks' bytes stood in one piece.
  struct Chunk {
    std::unique_ptr<char[]> bytes;
    std::size_t capacity;
    std::uint64_t first;  // place of its first byte
  };
  std::vector<Chunk> chunks_;
  // Holds where each row starts, with its encoding in the top bit; a row
  // ends where the next starts, the last where the bytes end.
  std::vector<std::uint64_t> starts_;
  std::uint64_t end_ = 0;
};

}  // namespace search
