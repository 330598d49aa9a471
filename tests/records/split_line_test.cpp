#include "records/split_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace records {
namespace {

TEST(SplitLineTest, CutsAtEverySpace) {
  struct Case {
    std::string line;
    std::vector<std::string_view> pieces;
  };
  const Case cases[] = {
      {"", {}},
      {"a", {"a"}},
      {" ", {"", ""}},
      {"  ", {"", "", ""}},
      {"a b", {"a", "b"}},
      {"a  b", {"a", "", "b"}},
      {"a ", {"a", ""}},
      {" a", {"", "a"}},
      // Other blanks are ordinary characters.
      {"a\tb\xA0"
       "c\nd",
       {"a\tb\xA0"
        "c\nd"}},
      {std::string("a\0 b", 4), {std::string_view("a\0", 2), "b"}},
      // An untouched card as saved, without its line break.
      {"      1,3 0 1,3 0 0 0 1,3 0 1,3 ",
       {"", "", "", "", "", "", "1,3", "0", "1,3", "0", "0", "0", "1,3", "0",
        "1,3", ""}},
      // An address with a space shifts the later fields.
      {"Иванов Иван Иванович Мира 5 22 ",
       {"Иванов", "Иван", "Иванович", "Мира", "5", "22", ""}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SplitLine(c.line), c.pieces) << '"' << c.line << '"';
  }
}

}  // namespace
}  // namespace records
