#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string_view>

#include "records/line_breaks.h"
#include "records/split_line.h"
#include "search/internal/byte_finder.h"
#include "search/search_results.h"

namespace search {

// The lines of one block of whole lines (see records::LineBlocks) whose
// piece `field` passes `matches` (given the line and the piece, it tells
// the line's encoding if it matches, nothing if not) go to the results, in
// order: either every line is cut, or only the lines where bytes that every
// match holds stand. Each returns the rows it added.

// Appends `line` if its `piece` matches.
template <typename Matches>
int AppendIfPieceMatches(std::string_view line, std::string_view piece,
                         const Matches& matches, SearchResults& results) {
  const std::optional<records::LineEncoding> encoding = matches(line, piece);
  if (!encoding) return 0;
  results.AppendLine(line, *encoding);
  return 1;
}

// Appends the line that starts at `start` if it matches; tells where the
// next line starts.
template <typename Matches>
int AppendIfMatches(std::string_view block, std::size_t start, int field,
                    const Matches& matches, SearchResults& results,
                    std::size_t& next) {
  const records::LineBounds bounds = records::LineAt(block, start);
  next = bounds.next;
  const std::string_view line = block.substr(start, bounds.end - start);
  const std::optional<std::string_view> piece = records::PieceAt(line, field);
  return piece ? AppendIfPieceMatches(line, *piece, matches, results) : 0;
}

// Cuts every line.
template <typename Matches>
int AppendEveryMatch(std::string_view block, int field, const Matches& matches,
                     SearchResults& results) {
  int rows = 0;
  for (std::size_t start = 0; start < block.size();) {
    rows += AppendIfMatches(block, start, field, matches, results, start);
  }
  return rows;
}

// Where the line starts in which `size` bytes found at `at` are the whole
// piece `field`, 0 or 1; npos if they are not.
std::size_t TextPieceLineStart(std::string_view block, std::size_t at,
                               std::size_t size, int field);

// Cuts the lines where the bytes of one of `query`'s runs, which hold no
// space nor CR, stand as the whole piece `field`, 0 or 1.
template <typename Matches>
int AppendTextMatches(std::string_view block, const ByteFinder& query,
                      int field, const Matches& matches,
                      SearchResults& results) {
  int rows = 0;
  ByteFinder::Scan scan(query, block);
  for (std::size_t from = 0;;) {
    const ByteFinder::Found found = scan.Find(from);
    if (found.at == std::string_view::npos) return rows;
    const std::size_t start =
        TextPieceLineStart(block, found.at, found.size, field);
    if (start == std::string_view::npos) {
      from = found.at + 1;
      continue;
    }
    // The piece is where the run was found, and the line ends after it.
    const records::LineBounds bounds =
        records::LineAt(block, found.at + found.size);
    from = bounds.next;
    rows += AppendIfPieceMatches(block.substr(start, bounds.end - start),
                                 block.substr(found.at, found.size), matches,
                                 results);
  }
}

// The start of the line that holds `at`, which is no break's byte.
std::size_t LineStartOf(std::string_view block, std::size_t at);

// Cuts the lines where `digits` stand or an exponent may, for `matches`
// that takes only numbers and whose numbers without an exponent hold
// `digits` (see DigitsOfEqualNumbers).
template <typename Matches>
int AppendNumberMatches(std::string_view block, const ByteFinder& digits,
                        int field, const Matches& matches,
                        SearchResults& results) {
  int rows = 0;
  // Where each is next; each looked for again only once passed, so that a
  // block full of one letter of an exponent is not searched for the other
  // at every line.
  std::size_t digits_at = digits.Find(block, 0).at;
  std::size_t upper_at = block.find('E');
  std::size_t lower_at = block.find('e');
  for (std::size_t from = 0;;) {
    const std::size_t at = std::min({digits_at, upper_at, lower_at});
    if (at == std::string_view::npos) return rows;
    rows += AppendIfMatches(block, LineStartOf(block, at), field, matches,
                            results, from);
    if (digits_at < from) digits_at = digits.Find(block, from).at;
    if (upper_at < from) upper_at = block.find('E', from);
    if (lower_at < from) lower_at = block.find('e', from);
  }
}

}  // namespace search
