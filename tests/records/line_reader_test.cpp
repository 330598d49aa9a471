// The break rules over any bytes and any short reads are the lines fuzz
// target's; these tests take what its small inputs do not reach.

#include "records/line_reader.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <system_error>
#include <vector>

#include "tests/support/faulty_file_system.h"
#include "tests/support/temp_folder.h"

namespace records {
namespace {

using test_support::FaultyFileSystem;
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

TEST_F(LineReaderTest, FailsWithTheSystemsError) {
  Result<LineReader> missing = LineReader::Open(path_);
  ASSERT_FALSE(missing.ok());
  // ENOENT has the number of ERROR_FILE_NOT_FOUND on Windows too.
  EXPECT_EQ(missing.failure().code,
            std::error_code(ENOENT, std::system_category()));

  // A read that fails halfway through the file ends the reading.
  WriteBytes(path_, "a\r\nb\r\nc\r\n");
  FaultyFileSystem files;
  files.ReadAtMost(4);
  // The open, its look at the file's first bytes, the first read, then the
  // second read fails.
  files.FailFrom(4);
  Result<LineReader> reader = LineReader::Open(path_, files);
  ASSERT_TRUE(reader.ok());
  std::string_view line;
  ASSERT_TRUE(reader.value().Next(line).value());
  EXPECT_EQ(line, "a");
  Result<bool> next = reader.value().Next(line);
  ASSERT_FALSE(next.ok());
  EXPECT_EQ(next.failure().code, FaultyFileSystem::kError);
  EXPECT_FALSE(reader.value().Next(line).value());
  EXPECT_EQ(files.OpenFiles(), 0);
}

}  // namespace
}  // namespace records
