#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

// The lines of a subscriber file by the break rules alone (line_breaks.h),
// as a model for the reader, which reads them block by block: a UTF-8 mark
// at the start is no part of the first line.
std::vector<std::string> ModelLines(std::string_view bytes);

// Whether the file starts with a UTF-16 mark, which the reader refuses.
bool ModelUtf16(std::string_view bytes);

// The text of a line, as a model for the reader's decoding: the line as it
// is where it is well-formed UTF-8 holding a byte from 0x80 up, else decoded
// from Windows-1251.
std::string ModelText(std::string_view line);

}  // namespace fuzz
