#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

// The lines of a subscriber file by the break rules alone, as a model for
// the reader: a line ends at CR LF or at a lone CR, a lone LF is an ordinary
// character, the last line needs no break and a final break starts no
// further line.
std::vector<std::string> ModelLines(std::string_view bytes);

}  // namespace fuzz
