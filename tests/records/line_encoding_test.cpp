#include "records/line_encoding.h"

#include <gtest/gtest.h>

#include <string>

#include "records/subscriber_file.h"
#include "testdata/blank_file_generator.h"
#include "tests/support/cp1251_bytes.h"

namespace records {
namespace {

using test_support::Cp1251;

TEST(LineEncodingTest, ReadsALineAsUtf8OnlyWhenItIsValidMultiByteUtf8) {
  struct Case {
    const char* what;
    std::string bytes;
    LineEncoding encoding;
    std::string text;  // UTF-8
  };
  const std::string names = "Ёлкин Артём Семёнович Мира,№5";
  const Case cases[] = {
      {"Windows-1251 with Ё and №", Cp1251(names), LineEncoding::kCp1251,
       names},
      {"UTF-8", names, LineEncoding::kUtf8, names},
      {"UTF-8 beyond the code page", "Ли 😀 €", LineEncoding::kUtf8, "Ли 😀 €"},
      {"ASCII alone", "Ivanov 22 1,3 ", LineEncoding::kCp1251,
       "Ivanov 22 1,3 "},
      {"a UTF-8 piece, then a Windows-1251 one", "Иванов " + Cp1251("Иван"),
       LineEncoding::kCp1251,
       "Р\u0098Р\u0406Р\u00B0Р\u0405Р\u0455Р\u0406 Иван"},
      // Windows-1251 bytes that happen to be UTF-8 are read as UTF-8.
      {"Windows-1251 Рё", Cp1251("Рё"), LineEncoding::kUtf8, "и"},
      {"a sequence cut short", "Иван\xD0", LineEncoding::kCp1251,
       "Р\u0098Р\u0406Р\u00B0Р\u0405Р"},
      {"an overlong form", "a\xC0\xAF", LineEncoding::kCp1251, "a\u0410\u0407"},
      {"a surrogate", "\xED\xA0\x80", LineEncoding::kCp1251,
       "\u043D\u00A0\u0402"},
      {"past U+10FFFF", "\xF4\x90\x80\x80", LineEncoding::kCp1251,
       "\u0444\u0452\u0402\u0402"},
      {"the empty line", "", LineEncoding::kCp1251, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(EncodingOf(c.bytes), c.encoding);
    EXPECT_EQ(DecodeLine(c.bytes, EncodingOf(c.bytes)), c.text);
  }
}

// Every card of the million that the benchmarks search, as the program
// saves it in Windows-1251, is read back as Windows-1251. Unoptimised
// builds check the first 50,000 only, to keep their run short.
TEST(LineEncodingTest, NoGeneratedCardIsTakenForUtf8) {
#ifdef NDEBUG
  const int count = testdata::BlankFileOptions{}.count;
#else
  const int count = 50'000;
#endif
  testdata::BlankFileGenerator cards(testdata::BlankFileOptions{});
  int utf8 = 0;
  for (int i = 0; i < count; ++i) {
    const Result<std::string> line = FormatLine(cards.Next());
    ASSERT_TRUE(line.ok());
    if (EncodingOf(line.value()) == LineEncoding::kUtf8) ++utf8;
  }
  EXPECT_EQ(utf8, 0);
}

}  // namespace
}  // namespace records
