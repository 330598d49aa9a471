#include "records/split_line.h"

namespace records {

std::vector<std::string_view> SplitLine(std::string_view line) {
  std::vector<std::string_view> pieces;
  for (std::size_t start = 0; !line.empty() && start <= line.size();) {
    pieces.push_back(TakePiece(line, start));
  }
  return pieces;
}

}  // namespace records
