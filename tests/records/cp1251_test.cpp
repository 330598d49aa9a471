#include "records/cp1251.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

namespace records {
namespace {

std::string Encoded(std::string_view utf8) {
  std::variant<std::string, Unrepresentable> bytes = EncodeCp1251(utf8);
  EXPECT_TRUE(std::holds_alternative<std::string>(bytes)) << utf8;
  return std::holds_alternative<std::string>(bytes)
             ? std::get<std::string>(bytes)
             : "";
}

TEST(Cp1251Test, EveryByteDecodesAndEncodesBackToItself) {
  std::string all;
  for (int byte = 0; byte < 256; ++byte) {
    const std::string one(1, static_cast<char>(byte));
    EXPECT_EQ(Encoded(DecodeCp1251(one)), one) << "byte " << byte;
    all += one;
  }
  EXPECT_EQ(Encoded(DecodeCp1251(all)), all);
}

TEST(Cp1251Test, DecodesTheCodePage) {
  struct Case {
    std::string bytes;
    std::string utf8;
  };
  const Case cases[] = {
      {"Korvant 1,3", "Korvant 1,3"},
      {std::string("a\0b", 3), std::string("a\0b", 3)},
      {"\xC0\xC1\xC2\xDF\xE0\xFF", "АБВЯая"},
      {"\xA8\xB8", "Ёё"},
      {"\xB9 5", "№ 5"},
      {"\x88\x96\x97\x85", "€–—…"},
      {"\xAB\xBB\xA0", "«»\u00A0"},
      {"\xA5\xB4\xAA\xBA\xB2\xB3\xAF\xBF", "ҐґЄєІіЇї"},
      {"\x80\x81\x8A\x8C\x8D\x8E\x8F", "ЂЃЉЊЌЋЏ"},
      {"\x98", "\u0098"},
      {"\xD1\xFA\xE5\xF8\xFC \xE6\xE5 \xE5\xF9\xB8", "Съешь же ещё"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DecodeCp1251(c.bytes), c.utf8);
    EXPECT_EQ(Encoded(c.utf8), c.bytes) << c.utf8;
  }
}

TEST(Cp1251Test, ReportsTheFirstCharacterOutsideTheCodePage) {
  struct Case {
    std::string utf8;
    std::size_t offset;
    char32_t character;
  };
  const Case cases[] = {
      {"Müller", 1, U'ü'},
      {"Иван😀", 8, U'😀'},
      {"Ω", 0, U'Ω'},
      {"日本", 0, U'日'},
      {"ab\u0085", 2, 0x85},  // a control character of the high half
      {"\uFFFD", 0, 0xFFFD},
      // Malformed UTF-8 is reported as U+FFFD at its first byte.
      {"ok\xFF", 2, 0xFFFD},
      {"\x80", 0, 0xFFFD},
      {"\xD0", 0, 0xFFFD},              // cut short
      {"\xE2\x84", 0, 0xFFFD},          // cut short
      {"\xC0\xAF", 0, 0xFFFD},          // overlong
      {"\xED\xA0\x80", 0, 0xFFFD},      // a surrogate
      {"\xF4\x90\x80\x80", 0, 0xFFFD},  // past U+10FFFF
  };
  for (const Case& c : cases) {
    std::variant<std::string, Unrepresentable> bytes = EncodeCp1251(c.utf8);
    ASSERT_TRUE(std::holds_alternative<Unrepresentable>(bytes)) << c.utf8;
    EXPECT_EQ(std::get<Unrepresentable>(bytes).offset, c.offset) << c.utf8;
    EXPECT_EQ(std::get<Unrepresentable>(bytes).character, c.character)
        << c.utf8;
  }
}

}  // namespace
}  // namespace records
