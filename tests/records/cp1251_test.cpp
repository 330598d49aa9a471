#include "records/cp1251.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/cp1251_bytes.h"

namespace records {
namespace {

using test_support::Cp1251;

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
    EXPECT_EQ(Cp1251(c.utf8), c.bytes) << c.utf8;
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
      {"日本", 0, U'日'},
      {"ab\u0085", 2, 0x85},  // a control character of the high half
      // Malformed UTF-8 is reported as U+FFFD at its first byte.
      {"ok\xFF", 2, 0xFFFD},
      {"\x80", 0, 0xFFFD},
      {"\xE2\x84", 0, 0xFFFD},          // cut short
      {"\xC0\xAF", 0, 0xFFFD},          // overlong
      {"\xED\xA0\x80", 0, 0xFFFD},      // a surrogate
      {"\xF4\x90\x80\x80", 0, 0xFFFD},  // past U+10FFFF
  };
  for (const Case& c : cases) {
    const Result<std::string> bytes = EncodeCp1251(c.utf8);
    ASSERT_FALSE(bytes.ok()) << c.utf8;
    EXPECT_EQ(bytes.failure().refused->offset, c.offset) << c.utf8;
    EXPECT_EQ(bytes.failure().refused->character, c.character) << c.utf8;
  }
}

}  // namespace
}  // namespace records
