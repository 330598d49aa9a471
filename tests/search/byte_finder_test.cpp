#include "search/internal/byte_finder.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace search {
namespace {

constexpr std::size_t kNowhere = std::string_view::npos;

// Every place of a run is found, in order, whatever the step of the scan
// that finds it: before, across and after whole steps, and at the very end.
TEST(ByteFinderTest, FindsEveryPlaceOfOneRunOrTheOther) {
  struct Case {
    const char* what;
    std::string text;
    std::string run, other_run;
    std::vector<std::size_t> places;
    std::vector<std::size_t> sizes;
  };
  // Filler in which the runs' bytes are rare.
  constexpr std::size_t kF = 1000;
  const std::string filler(kF, '.');
  const Case cases[] = {
      {"one run", "ab.ab" + filler + "ab", "ab", "", {0, 3, kF + 5}, {2, 2, 2}},
      {"a run cut by the end", filler + "a", "ab", "", {}, {}},
      {"two runs",
       filler + "yz" + filler + "abc" + "yz",
       "abc",
       "yz",
       {kF, 2 * kF + 2, 2 * kF + 5},
       {2, 3, 2}},
      {"two runs at one place: the longer",
       "x" + filler + "Иванов ",
       "Иванов",
       "И",
       {kF + 1},
       {12}},
      {"the second run first",
       "bb" + filler + "aaa",
       "aaa",
       "bb",
       {0, kF + 2},
       {2, 3}},
      {"runs of one byte repeated",
       "99" + filler + filler + "999",
       "999",
       "99",
       {0, 2 * kF + 2},
       {2, 3}},
      {"runs that overlap", "abab" + filler, "abab", "bab", {0}, {4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ByteFinder finder(c.run, c.other_run);
    ASSERT_TRUE(finder.PaysIn(c.text));
    std::vector<std::size_t> places;
    std::vector<std::size_t> sizes;
    for (std::size_t from = 0;;) {
      const ByteFinder::Found found = finder.Find(c.text, from);
      if (found.at == kNowhere) break;
      places.push_back(found.at);
      sizes.push_back(found.size);
      from = found.at + found.size;
    }
    EXPECT_EQ(places, c.places);
    EXPECT_EQ(sizes, c.sizes);
  }
}

}  // namespace
}  // namespace search
