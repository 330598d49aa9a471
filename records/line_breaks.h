#pragma once

#include <cstddef>
#include <string_view>

namespace records {

// Every part of the program that reads or writes the file's lines ends them
// by these rules: a line ends at CR LF, which a save writes, or at a lone
// CR; a lone LF is an ordinary character of its line, as is every other
// byte. The last line needs no break, and a final break starts no line.
inline constexpr char kCr = '\r';
inline constexpr char kLf = '\n';
inline constexpr std::string_view kLineBreak = "\r\n";

// Tells where the line that starts at `start` of a text of whole lines
// ends, and where the next one starts (past the break); both are the text's
// size for a last line without a break.
struct LineBounds {
  std::size_t end;
  std::size_t next;
};

// Returns where the line after the break whose CR stands at `cr` starts:
// the LF of a CR LF belongs to the break, not to the next line.
inline std::size_t AfterBreak(std::string_view text, std::size_t cr) {
  return cr + 1 < text.size() && text[cr + 1] == kLf ? cr + 2 : cr + 1;
}

inline LineBounds LineAt(std::string_view text, std::size_t start) {
  const std::size_t cr = text.find(kCr, start);
  if (cr == std::string_view::npos) return {text.size(), text.size()};
  return {cr, AfterBreak(text, cr)};
}

// Tells whether the bytes end with a line's break, so that what follows
// starts a line of its own.
inline bool EndsWithBreak(std::string_view bytes) {
  return bytes.ends_with(kCr) || bytes.ends_with(kLineBreak);
}

}  // namespace records
