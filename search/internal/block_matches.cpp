#include "search/internal/block_matches.h"

#include "records/line_breaks.h"

namespace search {

using records::kFieldSeparator;

namespace {

// The start of the line that holds `at`, which is no break's byte; npos if
// `stop` stands between them.
std::size_t LineStartBefore(std::string_view block, std::size_t at, char stop) {
  std::size_t start = at;
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
