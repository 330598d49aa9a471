#include "records/search_results.h"

#include <algorithm>

#include "records/byte_words.h"
#include "records/cp1251.h"
#include "records/split_line.h"

namespace records {
namespace {

// Blocks grow with the results, by half of what is held, so that a large
// result never holds more than half as much again as it uses; past the
// largest size a new block costs nothing to copy.
constexpr std::size_t kSmallestBlock = std::size_t{4} << 10;
constexpr std::size_t kLargestBlock = std::size_t{1} << 20;

// Where the space before piece 14 stands in the line, or the line's size
// without one; `separators` is told how many spaces stand before that. The
// spaces are counted eight bytes at a time: a search that matches every
// line counts them all.
std::size_t KeptBytes(std::string_view line, int& separators) {
  constexpr int kLast = SearchResults::kColumnCount - 1;
  separators = 0;
  std::size_t at = 0;
  for (; at + sizeof(ByteWord) <= line.size(); at += sizeof(ByteWord)) {
    ByteWord spaces = BytesEqual(LoadWord(line.data() + at), kFieldSeparator);
    if (separators + MarkCount(spaces) <= kLast) {
      separators += MarkCount(spaces);
      continue;
    }
    for (; separators < kLast; ++separators) spaces &= spaces - 1;
    return at + FirstMarked(spaces);
  }
  for (; at < line.size(); ++at) {
    if (line[at] != kFieldSeparator) continue;
    if (separators == kLast) return at;
    ++separators;
  }
  return line.size();
}

}  // namespace

int SearchResults::RowCount() const {
  return static_cast<int>(row_ends_.size());
}

std::string SearchResults::Text(int column, int row) const {
  // A piece holds no space, so the one space kept between pieces finds them
  // again; every row holds all 14.
  return DecodeCp1251(PieceAt(RowBytes(row), column).value_or(""));
}

card::ResultRow SearchResults::Row(int row) const {
  card::ResultRow texts;
  for (int column = 0; column < kColumnCount; ++column) {
    texts[column] = Text(column, row);
  }
  return texts;
}

void SearchResults::AppendLine(std::string_view line) {
  int separators = 0;
  const std::size_t kept = KeptBytes(line, separators);
  const std::size_t missing = kColumnCount - 1 - separators;
  const std::size_t size = kept + missing;

  if (blocks_.empty() ||
      blocks_.back().capacity() - blocks_.back().size() < size) {
    const std::size_t capacity = std::max(
        size, std::clamp(block_bytes_ / 2, kSmallestBlock, kLargestBlock));
    blocks_.emplace_back().reserve(capacity);
    block_first_row_.push_back(row_ends_.size());
    block_bytes_ += capacity;
  }
  std::vector<char>& block = blocks_.back();
  block.insert(block.end(), line.begin(), line.begin() + kept);
  block.insert(block.end(), missing, kFieldSeparator);
  row_ends_.push_back(block.size());
}

void SearchResults::Clear() {
  // Assigning empty vectors, unlike clear(), gives the memory back.
  blocks_ = std::vector<std::vector<char>>();
  block_first_row_ = std::vector<std::size_t>();
  row_ends_ = std::vector<std::size_t>();
  block_bytes_ = 0;
}

std::size_t SearchResults::MemoryBytes() const {
  return sizeof(*this) + block_bytes_ +
         blocks_.capacity() * sizeof(std::vector<char>) +
         (block_first_row_.capacity() + row_ends_.capacity()) *
             sizeof(std::size_t);
}

std::string_view SearchResults::RowBytes(int row) const {
  const auto index = static_cast<std::size_t>(row);
  const std::size_t block = std::upper_bound(block_first_row_.begin(),
                                             block_first_row_.end(), index) -
                            block_first_row_.begin() - 1;
  const std::size_t start =
      block_first_row_[block] == index ? 0 : row_ends_[index - 1];
  return std::string_view(blocks_[block].data() + start,
                          row_ends_[index] - start);
}

}  // namespace records
