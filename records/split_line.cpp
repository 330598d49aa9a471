#include "records/split_line.h"

#include <algorithm>

namespace records {

std::vector<std::string_view> SplitLine(std::string_view line) {
  std::vector<std::string_view> pieces;
  if (line.empty()) return pieces;
  pieces.reserve(static_cast<std::size_t>(
                     std::count(line.begin(), line.end(), kFieldSeparator)) +
                 1);
  std::size_t start = 0;
  for (std::size_t at = 0; at < line.size(); ++at) {
    if (line[at] == kFieldSeparator) {
      pieces.emplace_back(line.data() + start, at - start);
      start = at + 1;
    }
  }
  pieces.push_back(line.substr(start));
  return pieces;
}

}  // namespace records
