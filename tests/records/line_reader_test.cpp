// The break rules over any bytes and any short reads are the lines fuzz
// target's; these tests take what its small inputs do not reach.

#include "records/line_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace records {
namespace {

using test_support::WriteBytes;

class LineReaderTest : public ::testing::Test {
 protected:
  const test_support::TempFolder folder_;
  const std::filesystem::path path_ = folder_.path() / "Blank.txt";
};

TEST_F(LineReaderTest, ReadsLongLinesAndManyBuffersWhole) {
  std::string bytes;
  std::vector<std::string> lines;
  // A 10 MB line, then lines of many lengths that put breaks across the
  // buffer's boundaries, with a CR LF split between two reads among them.
  lines.push_back(std::string(10'000'000, 'x') + '\n' + "y");
  for (int i = 0; i < 20'000; ++i) {
    lines.push_back(
        std::string(static_cast<std::size_t>(i % 251), 'a' + i % 26));
  }
  for (std::size_t i = 0; i < lines.size(); ++i) {
    bytes += lines[i] + (i % 3 == 0 ? "\r" : "\r\n");
  }
  WriteBytes(path_, bytes);
  Result<LineReader> reader = LineReader::Open(path_);
  ASSERT_TRUE(reader.ok());
  std::vector<std::string> read;
  std::string_view line;
  while (reader.value().Next(line).value()) read.emplace_back(line);
  EXPECT_EQ(read, lines);
}

}  // namespace
}  // namespace records
