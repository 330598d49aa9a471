#include "records/line_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/records/file_test_support.h"

namespace records {
namespace {

using test_support::FaultyFileSystem;
using test_support::TempFolder;
using test_support::WriteBytes;

// Every line of the file, checking on the way that AtEnd tells beforehand
// whether Next will find a line.
std::vector<std::string> ReadAll(const std::filesystem::path& path,
                                 FileSystem& files) {
  Result<LineReader> reader = LineReader::Open(path, files);
  EXPECT_TRUE(reader.ok()) << reader.failure().message;
  std::vector<std::string> lines;
  if (!reader) return lines;
  for (;;) {
    const bool at_end = reader.value().AtEnd();
    std::string_view line;
    Result<bool> next = reader.value().Next(line);
    EXPECT_TRUE(next.ok());
    if (!next) break;
    EXPECT_EQ(next.value(), !at_end);
    if (!next.value()) break;
    lines.emplace_back(line);
  }
  std::string_view line;
  Result<bool> again = reader.value().Next(line);
  EXPECT_TRUE(again.ok() && !again.value()) << "the end stays the end";
  return lines;
}

class LineReaderTest : public ::testing::Test {
 protected:
  const TempFolder folder_;
  const std::filesystem::path path_ = folder_.path() / "Blank.txt";
};

TEST_F(LineReaderTest, EndsLinesAtCrLfOrLoneCr) {
  struct Case {
    std::string bytes;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\r", {"a"}},
      {"a\rb", {"a", "b"}},
      {"\r", {""}},
      {"\r\n", {""}},
      {"\r\r", {"", ""}},
      {"\r\n\r\n", {"", ""}},
      {"a\r\r\nb", {"a", "", "b"}},
      {"a\r\n\r\nb\r\n", {"a", "", "b"}},
      {"a\nb\r\n", {"a\nb"}},
      {"\n", {"\n"}},
      {"a\r\n\n", {"a", "\n"}},
      {"a\n\r\nb", {"a\n", "b"}},
      {"a\n\r\r\n", {"a\n", ""}},
      {std::string("\0a\0\r\n\0", 6),
       {std::string("\0a\0", 3), std::string(1, '\0')}},
      {"\x98\xA8\xB8\xFF\r\n\x98", {"\x98\xA8\xB8\xFF", "\x98"}},
      {"      1,3 0 1,3 0 0 0 1,3 0 1,3 \r\n",
       {"      1,3 0 1,3 0 0 0 1,3 0 1,3 "}},
  };
  // Reads of a few bytes each put every break at every place relative to
  // the end of the buffer's data.
  for (const std::size_t read_limit :
       {SIZE_MAX, std::size_t{1}, std::size_t{2}, std::size_t{3}}) {
    for (const Case& c : cases) {
      WriteBytes(path_, c.bytes);
      FaultyFileSystem files;
      files.ReadAtMost(read_limit);
      EXPECT_EQ(ReadAll(path_, files), c.lines)
          << "reads of " << read_limit << " bytes, file \"" << c.bytes << '"';
      EXPECT_EQ(files.OpenFiles(), 0);
    }
  }
}

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
  EXPECT_EQ(ReadAll(path_, PlatformFileSystem()), lines);
}

TEST_F(LineReaderTest, FailsWithTheFileNameAndTheReason) {
  Result<LineReader> missing = LineReader::Open(path_);
  ASSERT_FALSE(missing.ok());
  EXPECT_NE(missing.failure().message.find(path_.string()), std::string::npos)
      << missing.failure().message;
  EXPECT_NE(missing.failure().message.find("не найдены"), std::string::npos)
      << missing.failure().message;

  // A read that fails halfway through the file ends the reading.
  WriteBytes(path_, "a\r\nb\r\nc\r\n");
  FaultyFileSystem files;
  files.ReadAtMost(4);
  files.FailFrom(3);  // open, the first read, then the second read fails
  Result<LineReader> reader = LineReader::Open(path_, files);
  ASSERT_TRUE(reader.ok());
  std::string_view line;
  ASSERT_TRUE(reader.value().Next(line).value());
  EXPECT_EQ(line, "a");
  Result<bool> next = reader.value().Next(line);
  ASSERT_FALSE(next.ok());
  EXPECT_EQ(next.failure().code, FaultyFileSystem::kError);
  EXPECT_TRUE(reader.value().AtEnd());
  EXPECT_EQ(files.OpenFiles(), 0);
}

TEST_F(LineReaderTest, CloseEndsTheReading) {
  WriteBytes(path_, "a\r\nb\r\n");
  FaultyFileSystem files;
  Result<LineReader> reader = LineReader::Open(path_, files);
  ASSERT_TRUE(reader.ok());
  reader.value().Close();
  EXPECT_EQ(files.OpenFiles(), 0);
  EXPECT_TRUE(reader.value().AtEnd());
  std::string_view line;
  EXPECT_FALSE(reader.value().Next(line).value());
}

}  // namespace
}  // namespace records
