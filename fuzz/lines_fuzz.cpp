// Any bytes as a subscriber file, read in pieces of any size: the line
// reader gives exactly the lines of the break rules (so that the lines joined
// again with their breaks rebuild the file, CR LF and lone CR alike, less a
// UTF-8 mark at its start) and refuses a file with a UTF-16 mark;
// SplitLine cuts each line into pieces without spaces that, joined with
// single spaces, give the line back.
//
// Input: byte 0 sets how many bytes one read of the file delivers at most,
// as a short read of the system would (the byte plus one; 255 for no
// limit); the rest is the file.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/line_model.h"
#include "fuzz/property.h"
#include "records/failure.h"
#include "records/line_reader.h"
#include "records/split_line.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/temp_folder.h"

namespace {

void CheckSplit(std::string_view line) {
  const std::vector<std::string_view> pieces = records::SplitLine(line);
  std::string joined;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    fuzz::Check(pieces[i].find(' ') == std::string_view::npos,
                "no piece holds a space");
    if (i > 0) joined += ' ';
    joined += pieces[i];
  }
  fuzz::Check(joined == line, "the pieces joined with spaces give the line");
  fuzz::Check(pieces.empty() == line.empty(),
              "only the empty line gives no pieces");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size == 0) return 0;
  const std::size_t read_limit = data[0] == 255 ? SIZE_MAX : data[0] + 1;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1,
                               size - 1);
  CheckSplit(bytes);

  static const test_support::TempFolder folder;
  const std::filesystem::path file = folder.path() / "Blank.txt";
  fuzz::Check(test_support::WriteBytes(file, bytes), "the file is written");
  test_support::FaultyFileSystem files;
  files.ReadAtMost(read_limit);
  records::Result<records::LineReader> reader =
      records::LineReader::Open(file, files);
  if (fuzz::ModelUtf16(bytes)) {
    fuzz::Check(
        !reader.ok() && reader.failure().code == records::FileError::kUtf16,
        "a UTF-16 file is refused");
    return 0;
  }
  fuzz::Check(reader.ok(), "the file opens");

  std::vector<std::string> lines;
  std::string_view line;
  for (;;) {
    records::Result<bool> next = reader.value().Next(line);
    fuzz::Check(next.ok(), "reading the file never fails");
    if (!next.value()) break;
    fuzz::Check(line.find('\r') == std::string_view::npos,
                "a line holds no CR");
    lines.emplace_back(line);
    CheckSplit(line);
  }
  fuzz::Check(!reader.value().Next(line).value(), "the end stays the end");
  fuzz::Check(lines == fuzz::ModelLines(bytes),
              "the lines are those of the break rules");
  return 0;
}
