#include "records/search_results.h"

#include <algorithm>

#include "records/cp1251.h"

namespace records {
namespace {

// A piece holds no space, so one space between pieces is enough to find
// them again.
constexpr char kSeparator = ' ';

// Makes room for `extra` more elements, growing by half rather than doubling,
// so that a large result never holds more than half as much again as it uses.
template <typename T>
void Reserve(std::vector<T>& values, std::size_t extra) {
  if (values.capacity() - values.size() < extra) {
    values.reserve(values.size() + std::max(extra, values.size() / 2));
  }
}

}  // namespace

int SearchResults::RowCount() const {
  return static_cast<int>(row_ends_.size());
}

std::string SearchResults::Text(int column, int row) const {
  return DecodeCp1251(Piece(column, row));
}

card::ResultRow SearchResults::Row(int row) const {
  card::ResultRow texts;
  for (int column = 0; column < kColumnCount; ++column) {
    texts[column] = Text(column, row);
  }
  return texts;
}

void SearchResults::AppendPieces(const std::vector<std::string_view>& pieces) {
  const std::size_t kept =
      std::min(pieces.size(), static_cast<std::size_t>(kColumnCount));
  std::size_t size = kColumnCount - 1;
  for (std::size_t i = 0; i < kept; ++i) {
    size += pieces[i].size();
  }
  Reserve(bytes_, size);
  for (std::size_t i = 0; i < kept; ++i) {
    if (i != 0) {
      bytes_.push_back(kSeparator);
    }
    bytes_.insert(bytes_.end(), pieces[i].begin(), pieces[i].end());
  }
  // Each missing piece is an empty text after one more separator.
  bytes_.insert(bytes_.end(), kColumnCount - std::max<std::size_t>(kept, 1),
                kSeparator);
  Reserve(row_ends_, 1);
  row_ends_.push_back(bytes_.size());
}

void SearchResults::Clear() {
  bytes_ = {};
  row_ends_ = {};
}

std::size_t SearchResults::MemoryBytes() const {
  return sizeof(*this) + bytes_.capacity() +
         row_ends_.capacity() * sizeof(std::size_t);
}

std::string_view SearchResults::Piece(int column, int row) const {
  const std::size_t row_start = row == 0 ? 0 : row_ends_[row - 1];
  const std::string_view text(bytes_.data() + row_start,
                              row_ends_[row] - row_start);
  std::size_t start = 0;
  for (int i = 0; i < column; ++i) {
    start = text.find(kSeparator, start) + 1;
  }
  return text.substr(start, text.find(kSeparator, start) - start);
}

}  // namespace records
