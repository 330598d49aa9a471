#include "records/block_matches.h"

namespace records {
namespace {

// Whether `at` starts a line of the block: the block's start, or the byte
// after a break.
bool StartsLine(std::string_view block, std::size_t at) {
  if (at == 0) return true;
  if (block[at - 1] == '\r') return block[at] != '\n';
  return block[at - 1] == '\n' && at >= 2 && block[at - 2] == '\r';
}

// The start of the line that holds `at`, which is no break's byte; npos if
// `stop` stands between them.
std::size_t LineStartBefore(std::string_view block, std::size_t at, char stop) {
  std::size_t start = at;
  for (; start > 0 && block[start - 1] != '\r'; --start) {
    if (block[start - 1] == stop) return std::string_view::npos;
  }
  // The LF of a CR LF is the break's, not the line's.
  if (start > 0 && start < at && block[start] == '\n') ++start;
  return start;
}

}  // namespace

std::size_t TextPieceLineStart(std::string_view block, std::size_t at,
                               std::size_t size, int field) {
  const std::size_t after = at + size;
  if (after < block.size() && block[after] != kFieldSeparator &&
      block[after] != '\r') {
    return std::string_view::npos;
  }
  if (field == 0) return StartsLine(block, at) ? at : std::string_view::npos;
  if (at == 0 || block[at - 1] != kFieldSeparator) {
    return std::string_view::npos;
  }
  return LineStartBefore(block, at - 1, kFieldSeparator);
}

std::size_t LineStartOf(std::string_view block, std::size_t at) {
  return LineStartBefore(block, at, '\r');
}

std::size_t NextExponent(std::string_view block, std::size_t from) {
  return std::min(block.find('E', from), block.find('e', from));
}

}  // namespace records
