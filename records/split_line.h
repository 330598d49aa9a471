#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace records {

// What separates the fields of a saved line.
inline constexpr char kFieldSeparator = ' ';

// Cuts a line at every space (0x20) and returns the pieces in order; two
// spaces in a row give an empty piece, and the trailing space of a saved
// line gives a last, empty piece. The empty line gives no pieces at all.
// The pieces view `line`.
std::vector<std::string_view> SplitLine(std::string_view line);

// Piece `index` of a line as SplitLine would cut it, found without cutting
// the pieces after it; nullopt when the line has fewer pieces (the empty line
// has none). Inline, since the search runs it on every line of the file.
inline std::optional<std::string_view> PieceAt(std::string_view line,
                                               int index) {
  if (line.empty()) return std::nullopt;
  std::size_t start = 0;
  for (int i = 0; i < index; ++i) {
    const std::size_t separator = line.find(kFieldSeparator, start);
    if (separator == std::string_view::npos) return std::nullopt;
    start = separator + 1;
  }
  return line.substr(start, line.find(kFieldSeparator, start) - start);
}

}  // namespace records
