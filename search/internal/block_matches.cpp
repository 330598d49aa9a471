#include "search/internal/block_matches.h"

#include "records/byte_words.h"
#include "records/line_breaks.h"

namespace search {

using records::BytesEqual;
using records::ByteWord;
using records::kFieldSeparator;
using records::LastMarked;
using records::LoadWord;

namespace {

// The start of the line that holds `at`, which is no break's byte; npos if
// `stop` stands between them.
std::size_t LineStartBefore(std::string_view block, std::size_t at, char stop) {
  std::size_t start = at;
  // Eight bytes a step back while a word fits: the last CR or `stop` among
  // them tells.
  for (; start >= sizeof(ByteWord); start -= sizeof(ByteWord)) {
    const std::size_t word = start - sizeof(ByteWord);
    const ByteWord eight = LoadWord(block.data() + word);
    const ByteWord marks =
        BytesEqual(eight, records::kCr) | BytesEqual(eight, stop);
    if (marks == 0) continue;
    const std::size_t last = word + static_cast<std::size_t>(LastMarked(marks));
    if (block[last] != records::kCr) return std::string_view::npos;
    return records::AfterBreak(block, last);
  }
  for (; start > 0 && block[start - 1] != records::kCr; --start) {
    if (block[start - 1] == stop) return std::string_view::npos;
  }
  return start == 0 ? 0 : records::AfterBreak(block, start - 1);
}

}  // namespace

std::size_t TextPieceLineStart(std::string_view block, std::size_t at,
                               std::size_t size, int field) {
  const std::size_t after = at + size;
  if (after < block.size() && block[after] != kFieldSeparator &&
      block[after] != records::kCr) {
    return std::string_view::npos;
  }
  if (field == 0) {
    return records::StartsLine(block, at) ? at : std::string_view::npos;
  }
  if (at == 0 || block[at - 1] != kFieldSeparator) {
    return std::string_view::npos;
  }
  return LineStartBefore(block, at - 1, kFieldSeparator);
}

std::size_t LineStartOf(std::string_view block, std::size_t at) {
  return LineStartBefore(block, at, records::kCr);
}

}  // namespace search
