#pragma once

#include <cstddef>
#include <string_view>

namespace records {

// What NextCodePoint gives for a malformed sequence: no code point is this.
inline constexpr char32_t kMalformed = 0xFFFFFFFF;

// The code point at `at` of a UTF-8 text, advancing past it; kMalformed,
// past its lead byte alone, for a sequence that is overlong, a surrogate,
// past U+10FFFF, or cut short.
inline char32_t NextCodePoint(std::string_view utf8, std::size_t& at) {
  const auto lead = static_cast<unsigned char>(utf8[at++]);
  if (lead < 0x80) return lead;
  int trail = 0;
  char32_t code = 0;
  char32_t least = 0;
  if ((lead & 0xE0) == 0xC0) {
    trail = 1;
    code = lead & 0x1F;
    least = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    trail = 2;
    code = lead & 0x0F;
    least = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    trail = 3;
    code = lead & 0x07;
    least = 0x10000;
  } else {
    return kMalformed;
  }
  for (; trail > 0; --trail) {
    if (at == utf8.size()) return kMalformed;
    const auto next = static_cast<unsigned char>(utf8[at]);
    if ((next & 0xC0) != 0x80) return kMalformed;
    code = (code << 6) | (next & 0x3F);
    ++at;
  }
  if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
    return kMalformed;
  }
  return code;
}

}  // namespace records
