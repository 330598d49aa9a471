#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace records {

// What separates the fields of a saved line.
inline constexpr char kFieldSeparator = ' ';

// Cuts a line into pieces at every space (0x20), one piece a call: returns
// the piece of a non-empty line that starts at `start` and moves `start`
// past it and its space, or past the line's end after the last piece. It is
// inline, since the search cuts every line of the file with it.
inline std::string_view TakePiece(std::string_view line, std::size_t& start) {
  const std::size_t end = line.find(kFieldSeparator, start);
  const std::string_view piece = line.substr(start, end - start);
  start = end == std::string_view::npos ? line.size() + 1 : end + 1;
  return piece;
}

// Returns the pieces of a line in order; two spaces in a row give an empty
// piece, and the trailing space of a saved line gives a last, empty piece. The
// empty line gives no pieces at all. The pieces view `line`.
std::vector<std::string_view> SplitLine(std::string_view line);

// Returns piece `index` of a line without cutting the pieces after it, or
// nullopt when the line has fewer pieces (the empty line has none).
inline std::optional<std::string_view> PieceAt(std::string_view line,
                                               int index) {
  std::size_t start = 0;
  for (int i = 0; i < index && start <= line.size(); ++i) {
    TakePiece(line, start);
  }
  if (line.empty() || start > line.size()) return std::nullopt;
  return TakePiece(line, start);
}

}  // namespace records
