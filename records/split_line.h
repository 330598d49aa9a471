#pragma once

#include <string_view>
#include <vector>

namespace records {

// Cuts a line at every space (0x20) and returns the pieces in order; two
// spaces in a row give an empty piece, and the trailing space of a saved
// line gives a last, empty piece. The empty line gives no pieces at all.
// The pieces view `line`.
std::vector<std::string_view> SplitLine(std::string_view line);

}  // namespace records
