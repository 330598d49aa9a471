#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace records {

// How the bytes of one line of the subscriber file are read. The program
// writes Windows-1251, but a text editor such as Notepad saves UTF-8, so
// each line is judged on its own: a line that is valid UTF-8 and holds at
// least one character of more than one byte is UTF-8, every other line
// (ASCII alone included) Windows-1251. Windows-1251 Russian text is
// practically never valid UTF-8: a lowercase letter is a byte from 0xE0 up,
// which UTF-8 must follow by two bytes from 0x80 to 0xBF, and those bytes
// are not Russian letters.
enum class LineEncoding { kCp1251, kUtf8 };

LineEncoding EncodingOf(std::string_view line);

// Where the first sequence that is not valid UTF-8 starts: an overlong form,
// a surrogate, a code point past U+10FFFF or a cut sequence; npos where the
// whole text is valid.
std::size_t MalformedAt(std::string_view text);

// The UTF-8 text of bytes read in `encoding`.
std::string DecodeLine(std::string_view bytes, LineEncoding encoding);

// The byte-order mark that Notepad may put at the start of a UTF-8 file;
// it is no part of the first line.
inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// What the first bytes of a file (three, or fewer in a shorter file) say of
// its encoding.
enum class FileMark { kNone, kUtf8, kUtf16 };
FileMark MarkOf(std::string_view head);

}  // namespace records
