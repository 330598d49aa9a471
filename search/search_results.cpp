#include "search/search_results.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "records/byte_words.h"
#include "records/cp1251.h"
#include "records/line_encoding.h"
#include "records/split_line.h"
#include "search/internal/page_memory.h"

namespace search {

using records::BytesEqual;
using records::ByteWord;
using records::DecodeCp1251;
using records::DecodeLine;
using records::FirstMarked;
using records::kFieldSeparator;
using records::LineEncoding;
using records::LoadWord;
using records::MarkCount;
using records::PieceAt;

namespace {

// Blocks grow with the results, by half of what is held, so that a large
// result never holds more than half as much again as it uses. Small blocks
// come from the heap; from the largest size on, blocks come straight from
// the system's pages (see page_memory.h), which the search fills far faster
// than fresh memory of the heap.
constexpr std::size_t kSmallestBlock = std::size_t{4} << 10;
constexpr std::size_t kLargestBlock = std::size_t{2} << 20;
constexpr std::size_t kPage = std::size_t{4} << 10;

bool FromPages(std::size_t capacity) { return capacity >= kLargestBlock; }

// Where each row starts in its block, kept at the block's back, row k's in
// the k-th place from the end, with the row's encoding in the top bit. No
// row starts past 2 GiB into its block: only a block of one longer row gets
// that far, and it takes no more.
using RowStart = std::uint32_t;
constexpr RowStart kUtf8Row = RowStart{1} << 31;
constexpr std::size_t kLastStart = kUtf8Row - 1;

// How far before its block's end the start of row k is kept.
std::size_t StartPlace(std::size_t k) { return (k + 1) * sizeof(RowStart); }

RowStart StartAt(const char* block_end, std::size_t k) {
  RowStart start = 0;
  std::memcpy(&start, block_end - StartPlace(k), sizeof start);
  return start;
}

#ifdef __SSE2__
// How many of the 16 bits are set, by a table of bytes' counts, without the
// popcnt instruction that not every x86-64 processor has.
int BitCount16(unsigned bits) {
  static constexpr auto kCounts = [] {
    std::array<std::uint8_t, 256> counts{};
    for (std::size_t i = 1; i < counts.size(); ++i) {
      counts[i] = static_cast<std::uint8_t>(counts[i / 2] + i % 2);
    }
    return counts;
  }();
  return kCounts[bits & 0xFF] + kCounts[bits >> 8];
}
#endif

// Where the space before piece 14 stands in the line, or the line's size
// without one; `separators` is told how many spaces stand before that. The
// spaces are counted many bytes at a time: every row found counts them.
std::size_t KeptBytes(std::string_view line, int& separators) {
  constexpr int kLast = SearchResults::kColumnCount - 1;
  separators = 0;
#ifdef __SSE2__
  // Sixteen bytes a step, as every x86-64 processor can; the last step
  // ends with the line, the bits of the bytes counted before shifted out.
  constexpr std::size_t kStep = 16;
  if (line.size() >= kStep) {
    const __m128i space = _mm_set1_epi8(kFieldSeparator);
    for (std::size_t at = 0; at < line.size(); at += kStep) {
      const std::size_t loaded = std::min(at, line.size() - kStep);
      unsigned spaces = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(
                            _mm_loadu_si128(reinterpret_cast<const __m128i*>(
                                line.data() + loaded)),
                            space))) >>
                        (at - loaded);
      const int count = BitCount16(spaces);
      if (separators + count <= kLast) {
        separators += count;
        continue;
      }
      for (; separators < kLast; ++separators) spaces &= spaces - 1;
      return at + static_cast<std::size_t>(std::countr_zero(spaces));
    }
    return line.size();
  }
#endif
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

int SearchResults::RowCount() const { return static_cast<int>(row_count_); }

std::string SearchResults::Text(int column, int row) const {
  LineEncoding encoding = LineEncoding::kCp1251;
  const std::string_view bytes = RowBytes(row, encoding);
  // A piece holds no space, so the one space kept between pieces finds them
  // again; every row holds all 14.
  return DecodeLine(PieceAt(bytes, column).value_or(""), encoding);
}

SearchResults::RowStarts SearchResults::StartsOfRow(
    int row, std::size_t characters) const {
  LineEncoding encoding = LineEncoding::kCp1251;
  std::string_view rest = RowBytes(row, encoding);
  RowStarts starts;
  // A row holds its 14 pieces, each but the last followed by one space.
  for (TextStart& start : starts) {
    const std::string_view piece = rest.substr(0, rest.find(kFieldSeparator));
    rest.remove_prefix(std::min(rest.size(), piece.size() + 1));
    if (encoding == LineEncoding::kCp1251) {
      // One character a byte, none beyond U+FFFF.
      start = {DecodeCp1251(piece.substr(0, characters)), piece.size()};
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

card::ResultRow SearchResults::Row(int row) const {
  card::ResultRow texts;
  for (int column = 0; column < kColumnCount; ++column) {
    texts[column] = Text(column, row);
  }
  return texts;
}

void SearchResults::AppendLine(std::string_view line, LineEncoding encoding) {
  int separators = 0;
  const std::size_t kept = KeptBytes(line, separators);
  const std::size_t missing = kColumnCount - 1 - separators;
  const std::size_t size = kept + missing;

  if (blocks_.empty() || !Fits(blocks_.back(), size)) AddBlock(size);
  Block& block = blocks_.back();
  char* row = block.memory.get() + block.used;
  std::memcpy(row, line.data(), kept);
  std::memset(row + kept, kFieldSeparator, missing);
  // The whole line's encoding, which its pieces keep.
  const RowStart start =
      static_cast<RowStart>(block.used) |
      (encoding == LineEncoding::kUtf8 ? kUtf8Row : RowStart{0});
  std::memcpy(block.end() - StartPlace(block.rows), &start, sizeof start);
  block.used += size;
  ++block.rows;
  ++row_count_;
}

void SearchResults::Clear() {
  // Assigning an empty vector, unlike clear(), gives its memory back.
  blocks_ = std::vector<Block>();
  row_count_ = 0;
  block_bytes_ = 0;
}

bool SearchResults::MakeRoomFor(const SearchResults& more) {
  try {
    blocks_.reserve(blocks_.size() + more.blocks_.size());
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

void SearchResults::Append(SearchResults&& more) {
  for (Block& block : more.blocks_) {
    block.first_row += row_count_;
    blocks_.push_back(std::move(block));
  }
  row_count_ += more.row_count_;
  block_bytes_ += more.block_bytes_;
  more.Clear();
}

std::size_t SearchResults::MemoryBytes() const {
  return sizeof(*this) + block_bytes_ + blocks_.capacity() * sizeof(Block);
}

std::string_view SearchResults::RowBytes(int row,
                                         LineEncoding& encoding) const {
  const auto index = static_cast<std::size_t>(row);
  const Block& block =
      *(std::ranges::upper_bound(blocks_, index, {}, &Block::first_row) - 1);
  const std::size_t k = index - block.first_row;
  const RowStart start = StartAt(block.end(), k);
  encoding =
      (start & kUtf8Row) != 0 ? LineEncoding::kUtf8 : LineEncoding::kCp1251;
  const std::size_t begin = start & ~kUtf8Row;
  const std::size_t end =
      k + 1 < block.rows ? StartAt(block.end(), k + 1) & ~kUtf8Row : block.used;
  return std::string_view(block.memory.get() + begin, end - begin);
}

void SearchResults::FreeBlock::operator()(char* memory) const {
  if (FromPages(size)) {
    FreePages(memory, size);
  } else {
    delete[] memory;
  }
}

bool SearchResults::Fits(const Block& block, std::size_t size) {
  const std::size_t free =
      block.capacity() - block.used - block.rows * sizeof(RowStart);
  return block.used <= kLastStart && free >= size + sizeof(RowStart);
}

void SearchResults::AddBlock(std::size_t size) {
  std::size_t capacity =
      std::max(size + sizeof(RowStart),
               std::clamp(block_bytes_ / 2, kSmallestBlock, kLargestBlock));
  const bool pages = FromPages(capacity);
  if (pages) capacity = (capacity + kPage - 1) / kPage * kPage;
  std::unique_ptr<char[], FreeBlock> memory(
      pages ? AllocatePages(capacity) : new char[capacity],
      FreeBlock{capacity});
  blocks_.push_back(Block{std::move(memory), row_count_});
  block_bytes_ += capacity;
}

}  // namespace search
