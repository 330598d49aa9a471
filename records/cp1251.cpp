#include "records/cp1251.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

#include "records/internal/utf8.h"
#include "records/messages.h"

namespace records {
namespace {

// Bytes 0x80 to 0xFF of the code page; 0x00 to 0x7F are ASCII. The byte the
// code page leaves undefined, 0x98, stands for U+0098 so that it survives a
// read and a save.
constexpr std::array<char16_t, 128> kHighHalf{
    // 0x80
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  //
    // 0x90
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  //
    // 0xA0
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  //
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  //
    // 0xB0
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  //
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  //
    // 0xC0 to 0xFF: А to я in alphabetical order, without Ё and ё
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  //
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  //
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  //
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  //
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  //
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  //
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  //
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  //
};

// What a malformed sequence is reported as.
constexpr char32_t kReplacement = 0xFFFD;

// Inverts the high half: (character, byte) pairs sorted by character.
constexpr std::array<std::pair<char16_t, unsigned char>, 128> kEncoding = [] {
  std::array<std::pair<char16_t, unsigned char>, 128> pairs{};
  // != rather than <, which cppcheck 2.10 misreads here as a template.
  for (std::size_t i = 0; i != pairs.size(); ++i) {
    pairs[i] = {kHighHalf[i], static_cast<unsigned char>(0x80 + i)};
  }
  std::sort(pairs.begin(), pairs.end());
  return pairs;
}();

void AppendUtf8(char16_t character, std::string& out) {
  if (character < 0x800) {
    out += static_cast<char>(0xC0 | (character >> 6));
  } else {
    out += static_cast<char>(0xE0 | (character >> 12));
    out += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
  }
  out += static_cast<char>(0x80 | (character & 0x3F));
}

}  // namespace

std::string DecodeCp1251(std::string_view bytes) {
  std::string utf8;
  utf8.reserve(bytes.size() * 2);
  for (const char byte : bytes) {
    const auto code = static_cast<unsigned char>(byte);
    if (code < 0x80) {
      utf8 += byte;
    } else {
      AppendUtf8(kHighHalf[code - 0x80], utf8);
    }
  }
  return utf8;
}

Result<std::string> EncodeCp1251(std::string_view utf8) {
  std::string bytes;
  bytes.reserve(utf8.size());
  std::size_t at = 0;
  while (at < utf8.size()) {
    const std::size_t start = at;
    const char32_t code = NextCodePoint(utf8, at);
    if (code == kMalformed) {
      return NotInCodePage(utf8, {.offset = start, .character = kReplacement});
    }
    if (code < 0x80) {
      bytes += static_cast<char>(code);
      continue;
    }
    const auto* const found = std::lower_bound(
        kEncoding.begin(), kEncoding.end(), code,
        [](const auto& pair, char32_t wanted) { return pair.first < wanted; });
    if (found == kEncoding.end() || found->first != code) {
      return NotInCodePage(utf8, {.offset = start, .character = code});
    }
    bytes += static_cast<char>(found->second);
  }
  return bytes;
}

}  // namespace records
