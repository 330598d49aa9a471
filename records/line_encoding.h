#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace records {

// Tells how one line of the file is read. The program writes Windows-1251
// but Notepad saves UTF-8, so EncodingOf judges each line alone: a valid
// UTF-8 line that holds a character of more than one byte is UTF-8, any
// other line Windows-1251, whose Russian text is practically never valid
// UTF-8 (docs/notepad.md says why, and how it is checked).
enum class LineEncoding { kCp1251, kUtf8 };

LineEncoding EncodingOf(std::string_view line);

// Returns where the first sequence that is not valid UTF-8 starts (an
// overlong form, a surrogate, a code point past U+10FFFF, a cut sequence),
// or npos where the whole text is valid.
std::size_t MalformedAt(std::string_view text);

// Decodes bytes read in `encoding` to UTF-8.
std::string DecodeLine(std::string_view bytes, LineEncoding encoding);

// Notepad may put this byte-order mark at the start of a UTF-8 file; it is
// no part of the first line.
inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// Tells what the first bytes of a file (three, or fewer in a shorter file)
// say of its encoding.
enum class FileMark { kNone, kUtf8, kUtf16 };
FileMark MarkOf(std::string_view head);

}  // namespace records
