#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "card/subscriber_record.h"
#include "records/line_encoding.h"

namespace search {

// The 14 parallel result columns: row r of every column comes from the same
// matching line, rows in the order found. A row is kept as its line's own
// bytes (Windows-1251 or UTF-8, as the line is read), pieces 0 to 13 joined
// by single spaces, so that it costs little more than the line itself;
// texts are decoded when asked for.
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

  // Appends one row from a matching line (its bytes, in `encoding`, which
  // EncodingOf tells and the caller often knows already), cut at its spaces
  // as SplitLine cuts it: pieces 0 to 13, the missing ones as empty texts.
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
  // The bytes of `row`, its pieces joined by single spaces, and their
  // encoding.
  std::string_view RowBytes(int row, records::LineEncoding& encoding) const;

  // Gives a block's memory back to where it came from.
  struct FreeBlock {
    std::size_t size;
    void operator()(char* memory) const;
  };
  // Whole rows: their bytes from the block's front, and from its back where
  // each of them starts, so that one allocation holds both.
  struct Block {
    std::unique_ptr<char[], FreeBlock> memory;
    std::size_t first_row;
    std::size_t rows = 0;
    std::size_t used = 0;  // bytes of the rows

    std::size_t capacity() const { return memory.get_deleter().size; }
    char* end() const { return memory.get() + capacity(); }
  };

  // Whether a row of `size` bytes goes into `block`.
  static bool Fits(const Block& block, std::size_t size);
  // Adds a block that holds at least a row of `size` bytes.
  void AddBlock(std::size_t size);

  std::vector<Block> blocks_;
  std::size_t row_count_ = 0;
  std::size_t block_bytes_ = 0;  // capacity of all blocks
};

}  // namespace search
