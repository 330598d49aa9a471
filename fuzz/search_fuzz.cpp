// SearchRecords over any file bytes, read in pieces of any size, in every
// mode, with any query: it returns, asks for the query at most once and only
// with a mode, keeps the rows already listed, closes the file, and lists,
// taken below a window's rows as the window takes them, exactly the matching
// lines of the file, in order, each line decoded as UTF-8 or Windows-1251 by
// itself, with its first 14 pieces (missing ones empty) in the 14 columns,
// whose starts of any length are theirs; a file with a UTF-16 mark is refused
// before the query.
//
// Input: byte 0 picks the mode (its remainder by 4) and how many bytes one
// read of the file delivers at most (its quotient by 4; 0 for no limit),
// byte 1 the length of the query that follows, the rest is the file.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "card/number_text.h"
#include "fuzz/line_model.h"
#include "fuzz/property.h"
#include "records/split_line.h"
#include "search/search.h"
#include "search/search_results.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/temp_folder.h"

namespace {

using search::SearchMode;
using End = search::SearchEnd;

constexpr SearchMode kModes[] = {SearchMode::kNone, SearchMode::kBySurname,
                                 SearchMode::kByFirstName,
                                 SearchMode::kByTelephone};

// Whether a line's pieces, decoded, match the query in the mode.
bool Matches(SearchMode mode, const std::vector<std::string>& pieces,
             const std::string& query) {
  switch (mode) {
    case SearchMode::kNone:
      return false;
    case SearchMode::kBySurname:
      return !pieces.empty() && pieces[0] == query;
    case SearchMode::kByFirstName:
      return pieces.size() > 1 && pieces[1] == query;
    case SearchMode::kByTelephone: {
      const std::optional<double> wanted = card::ParseNumber(query);
      if (!wanted || pieces.size() <= 4) return false;
      const std::optional<double> number = card::ParseNumber(pieces[4]);
      return number && *number == *wanted;
    }
  }
  return false;
}

// The rows that the file should add: the decoded pieces 0 to 13 of every
// matching line.
std::vector<card::ResultRow> ExpectedRows(SearchMode mode,
                                          std::string_view file,
                                          const std::string& query) {
  std::vector<card::ResultRow> rows;
  for (const std::string& line : fuzz::ModelLines(file)) {
    // Spaces are the same byte in both encodings: the decoded line cuts
    // into the decoded pieces.
    const std::string text = fuzz::ModelText(line);
    std::vector<std::string> pieces;
    for (const std::string_view piece : records::SplitLine(text)) {
      pieces.emplace_back(piece);
    }
    if (!Matches(mode, pieces, query)) continue;
    card::ResultRow row;
    for (std::size_t i = 0; i < row.size() && i < pieces.size(); ++i) {
      row[i] = pieces[i];
    }
    rows.push_back(row);
  }
  return rows;
}

// The whole characters of UTF-8 `text` within its first `count` UTF-16
// units, and how many units it has.
search::SearchResults::TextStart Start(const std::string& text,
                                       std::size_t count) {
  search::SearchResults::TextStart start{{}, 0};
  for (std::size_t at = 0; at < text.size();) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t bytes = lead < 0x80   ? 1
                              : lead < 0xE0 ? 2
                              : lead < 0xF0 ? 3
                                            : 4;
    // Beyond U+FFFF a character takes a pair of surrogates.
    start.length += bytes == 4 ? 2 : 1;
    if (start.length <= count) start.text += text.substr(at, bytes);
    at += bytes;
  }
  return start;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size < 2) return 0;
  const SearchMode mode = kModes[data[0] % std::size(kModes)];
  const std::size_t read_limit =
      data[0] < std::size(kModes) ? SIZE_MAX : data[0] / std::size(kModes);
  const std::string_view rest(reinterpret_cast<const char*>(data) + 2,
                              size - 2);
  std::string query(rest.substr(0, data[1]));
  const std::string_view file_bytes = rest.substr(query.size());

  static const test_support::TempFolder folder;
  const std::filesystem::path file = folder.path() / "Blank.txt";
  fuzz::Check(test_support::WriteBytes(file, file_bytes),
              "the file is written");

  // One row listed by an earlier search, which this one must keep.
  constexpr std::string_view kEarlier = "a b c d 5 e 1 2 3 4 5 6 7 8 9 ";
  search::SearchResults results;
  results.AppendLine(kEarlier, records::LineEncoding::kCp1251);
  const card::ResultRow earlier_row = results.Row(0);

  test_support::FaultyFileSystem files;
  files.ReadAtMost(read_limit);
  int prompts = 0;
  const search::SearchOutcome outcome = search::SearchRecords(
      mode,
      [&] {
        ++prompts;
        return query;
      },
      results, {}, file, files);

  fuzz::Check(results.Row(0) == earlier_row, "the earlier row stays");
  fuzz::Check(files.OpenFiles() == 0, "the file is closed");
  if (fuzz::ModelUtf16(file_bytes)) {
    fuzz::Check(prompts == 0 && !outcome.ok() &&
                    outcome.failure().code == records::FileError::kUtf16 &&
                    results.RowCount() == 1,
                "a UTF-16 file is refused before the query");
    return 0;
  }
  fuzz::Check(prompts == (mode == SearchMode::kNone ? 0 : 1),
              "the query is asked once, and only with a mode");
  const bool read_whole = outcome.ok() && outcome.value() == End::kEndOfFile;
  switch (mode) {
    case SearchMode::kNone:
      fuzz::Check(outcome.ok() && outcome.value() == End::kNoMode,
                  "no mode stops at once");
      break;
    case SearchMode::kBySurname:
    case SearchMode::kByFirstName:
      fuzz::Check(read_whole, "a text search reads the whole file");
      break;
    case SearchMode::kByTelephone:
      fuzz::Check(read_whole == card::ParseNumber(query).has_value(),
                  "the telephone search reads the file iff the query is a "
                  "number");
      break;
  }

  const std::vector<card::ResultRow> expected =
      read_whole ? ExpectedRows(mode, file_bytes, query)
                 : std::vector<card::ResultRow>{};
  fuzz::Check(
      static_cast<std::size_t>(results.RowCount() - 1) == expected.size(),
      "every matching line is listed, and nothing else");
  // The rows taken below those of a window, as the window takes them.
  search::SearchResults shown;
  shown.AppendLine(kEarlier, records::LineEncoding::kCp1251);
  fuzz::Check(shown.MakeRoomFor(results), "room is made for the rows");
  shown.Append(std::move(results));
  results = std::move(shown);
  fuzz::Check(results.Row(1) == earlier_row, "the window's rows stay");
  for (int row = 2; row < results.RowCount(); ++row) {
    const card::ResultRow texts = results.Row(row);
    // Starts of every length up to a few characters.
    const std::size_t count = static_cast<std::size_t>(row) % 4;
    const search::SearchResults::RowStarts starts =
        results.StartsOfRow(row, count);
    for (int column = 0; column < search::SearchResults::kColumnCount;
         ++column) {
      fuzz::Check(results.Text(column, row) == texts[column],
                  "the columns are parallel");
      const search::SearchResults::TextStart expected_start =
          Start(texts[column], count);
      fuzz::Check(starts[column].text == expected_start.text &&
                      starts[column].length == expected_start.length,
                  "the start of a text is its first characters");
    }
    fuzz::Check(texts == expected[row - 2],
                "a row holds the first 14 pieces of its line");
  }
  return 0;
}
