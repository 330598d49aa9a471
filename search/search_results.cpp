#include "search/search_results.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "records/cp1251.h"
#include "records/line_encoding.h"
#include "records/split_line.h"

namespace search {

using records::LineEncoding;
using records::TakePiece;

namespace {

// Chunks grow with the rows held, by half of their bytes, so that the
// results never hold much more than half as much again as their rows need.
constexpr std::uint64_t kSmallestChunk = std::uint64_t{16} << 10;
constexpr std::uint64_t kLargestChunk = std::uint64_t{1} << 20;

constexpr std::uint64_t kUtf8Row = std::uint64_t{1} << 63;

}  // namespace

int SearchResults::RowCount() const { return static_cast<int>(starts_.size()); }

std::string SearchResults::Text(int column, int row) const {
  LineEncoding encoding = LineEncoding::kCp1251;
  const std::string_view bytes = RowBytes(row, encoding);
  return records::DecodeLine(records::PieceAt(bytes, column).value_or(""),
                             encoding);
}

card::ResultRow SearchResults::Row(int row) const {
  card::ResultRow texts;
  for (int column = 0; column < kColumnCount; ++column) {
    texts[column] = Text(column, row);
  }
  return texts;
}

SearchResults::RowStarts SearchResults::StartsOfRow(
    int row, std::size_t characters) const {
  LineEncoding encoding = LineEncoding::kCp1251;
  const std::string_view bytes = RowBytes(row, encoding);
  RowStarts starts;
  std::size_t next = 0;
  for (TextStart& start : starts) {
    // Pieces past the line's last are empty.
    const std::string_view piece =
        next <= bytes.size() ? TakePiece(bytes, next) : std::string_view();
    if (encoding == LineEncoding::kCp1251) {
      // One character a byte, none beyond U+FFFF.
      start = {records::DecodeCp1251(piece.substr(0, characters)),
               piece.size()};
      continue;
    }
    // The row is valid UTF-8: every byte but a continuation byte starts a
    // character, and a lead byte from 0xF0 up one of two units.
    std::size_t units = 0;
    std::size_t cut = piece.size();
    for (std::size_t at = 0; at < piece.size(); ++at) {
      const auto byte = static_cast<unsigned char>(piece[at]);
      if ((byte & 0xC0) == 0x80) continue;
      units += byte >= 0xF0 ? 2 : 1;
      if (units > characters && cut == piece.size()) cut = at;
    }
    start = {std::string(piece.substr(0, cut)), units};
  }
  return starts;
}

void SearchResults::AppendLine(std::string_view line, LineEncoding encoding) {
  if (chunks_.empty() ||
      end_ + line.size() > chunks_.back().first + chunks_.back().capacity) {
    const auto capacity = static_cast<std::size_t>(std::max<std::uint64_t>(
        line.size(), std::clamp(end_ / 2, kSmallestChunk, kLargestChunk)));
    auto bytes = std::make_unique_for_overwrite<char[]>(capacity);
    chunks_.push_back(Chunk{std::move(bytes), capacity, end_});
  }
  // A chunk left without rows by a failure here is passed over by RowBytes.
  starts_.push_back(end_ | (encoding == LineEncoding::kUtf8 ? kUtf8Row : 0));
  const Chunk& chunk = chunks_.back();
  if (!line.empty()) {
    std::memcpy(chunk.bytes.get() + (end_ - chunk.first), line.data(),
                line.size());
  }
  end_ += line.size();
}

void SearchResults::Clear() {
  // Assigning empty vectors, unlike clear(), gives their memory back.
  chunks_ = std::vector<Chunk>();
  starts_ = std::vector<std::uint64_t>();
  end_ = 0;
}

bool SearchResults::MakeRoomFor(const SearchResults& more) {
  try {
    chunks_.reserve(chunks_.size() + more.chunks_.size());
    starts_.reserve(starts_.size() + more.starts_.size());
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

void SearchResults::Append(SearchResults&& more) {
  for (Chunk& chunk : more.chunks_) {
    chunk.first += end_;
    chunks_.push_back(std::move(chunk));
  }
  for (const std::uint64_t start : more.starts_) {
    starts_.push_back(start + end_);
  }
  end_ += more.end_;
  more.Clear();
}

std::size_t SearchResults::MemoryBytes() const {
  std::size_t bytes = sizeof(*this) + chunks_.capacity() * sizeof(Chunk) +
                      starts_.capacity() * sizeof(std::uint64_t);
  for (const Chunk& chunk : chunks_) bytes += chunk.capacity;
  return bytes;
}

std::string_view SearchResults::RowBytes(int row,
                                         LineEncoding& encoding) const {
  const auto index = static_cast<std::size_t>(row);
  encoding = (starts_[index] & kUtf8Row) != 0 ? LineEncoding::kUtf8
                                              : LineEncoding::kCp1251;
  const std::uint64_t start = starts_[index] & ~kUtf8Row;
  const std::uint64_t end =
      index + 1 < starts_.size() ? starts_[index + 1] & ~kUtf8Row : end_;
  // The last chunk that starts at or before the row: a chunk without bytes
  // starts where the next one does.
  const Chunk& chunk =
      *(std::ranges::upper_bound(chunks_, start, {}, &Chunk::first) - 1);
  return {chunk.bytes.get() + (start - chunk.first),
          static_cast<std::size_t>(end - start)};
}

}  // namespace search
