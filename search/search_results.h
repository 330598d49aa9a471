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

// The 14 parallel result columns: row r of every column comes from the same
// matching line, rows in the order found. A row is kept once, as its line's
// own bytes (Windows-1251 or UTF-8, as the line is read) with its encoding;
// the line is cut into its pieces and they are decoded when asked for.
class SearchResults {
 public:
  static constexpr int kColumnCount = card::kResultColumnCount;

  int RowCount() const;
  // The UTF-8 text of `column` (0 to 13) in `row` (0 to RowCount() - 1).
  std::string Text(int column, int row) const;
  // The 14 texts of a row, for loading it into the card.
  card::ResultRow Row(int row) const;

  // The start of a text, for showing one that may be too long to show whole:
  // its first characters, decoded alone, and the length of the whole text.
  // Lengths count as the toolkit's texts do, in UTF-16 units: a character
  // beyond U+FFFF (an emoji) counts two.
  struct TextStart {
    std::string text;    // UTF-8, whole characters, at most `characters` units
    std::size_t length;  // of the whole text
  };
  using RowStarts = std::array<TextStart, kColumnCount>;
  // The start of each text of `row` of at most `characters` units, found in
  // one pass over the row, however long its texts.
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

  // Bytes held, for the memory benchmark.
  std::size_t MemoryBytes() const;

 private:
  // The bytes of `row` and their encoding.
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
  // Where each row starts, with its encoding in the top bit; it ends where
  // the next starts, the last where the bytes end.
  std::vector<std::uint64_t> starts_;
  std::uint64_t end_ = 0;
};

}  // namespace search
