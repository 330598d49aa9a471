#include "records/search.h"

#include <string_view>
#include <utility>
#include <variant>

#include "card/number_text.h"
#include "records/cp1251.h"
#include "records/line_reader.h"
#include "records/split_line.h"

namespace records {
namespace {

SearchOutcome Stopped(SearchOutcome::Stop stop) {
  SearchOutcome outcome;
  outcome.stop = stop;
  return outcome;
}

SearchOutcome Failed(Failure failure) {
  SearchOutcome outcome = Stopped(SearchOutcome::Stop::kFailed);
  outcome.failure = std::move(failure);
  return outcome;
}

// Reads the rest of the file and appends every line whose piece `field`
// satisfies `matches` (given the piece's own bytes).
template <typename Matches>
SearchOutcome Collect(LineReader& reader, int field, const Matches& matches,
                      SearchResults& results) {
  SearchOutcome outcome;
  std::string_view line;
  for (;;) {
    Result<bool> next = reader.Next(line);
    if (!next) {
      SearchOutcome failed = Failed(next.failure());
      failed.rows_added = outcome.rows_added;
      return failed;
    }
    if (!next.value()) {
      return outcome;
    }
    const std::optional<std::string_view> piece = PieceAt(line, field);
    if (piece && matches(*piece)) {
      results.AppendLine(line);
      ++outcome.rows_added;
    }
  }
}

SearchOutcome SearchByTelephone(LineReader& reader, const std::string& query,
                                SearchResults& results) {
  if (query.empty()) {
    return Stopped(SearchOutcome::Stop::kEmptyQuery);
  }
  const std::optional<double> number = card::ParseNumber(query);
  if (!number) {
    return Failed(
        {"Номер телефона должен быть числом, а введено «" + query + "»."});
  }
  // The number grammar is ASCII, where Windows-1251 and UTF-8 agree, so the
  // piece is read from the file's bytes as they are.
  return Collect(
      reader, card::field::SubscriberNumber,
      [wanted = *number](std::string_view piece) {
        const std::optional<double> value = card::ParseNumber(piece);
        return value && *value == wanted;
      },
      results);
}

SearchOutcome SearchByText(LineReader& reader, int field,
                           const std::string& query, SearchResults& results) {
  // Windows-1251 maps characters to bytes one to one, so equal bytes are
  // equal texts; a text the code page cannot hold is in no line.
  std::variant<std::string, Unrepresentable> encoded = EncodeCp1251(query);
  if (std::holds_alternative<Unrepresentable>(encoded)) {
    return Stopped(SearchOutcome::Stop::kEndOfFile);
  }
  return Collect(
      reader, field,
      [wanted = std::get<std::string>(std::move(encoded))](
          std::string_view piece) { return piece == wanted; },
      results);
}

}  // namespace

SearchOutcome SearchRecords(SearchMode mode, const Prompt& prompt,
                            SearchResults& results,
                            const std::filesystem::path& path,
                            FileSystem& files) {
  Result<LineReader> reader = LineReader::Open(path, files);
  if (!reader) {
    return Failed(reader.failure());
  }
  switch (mode) {
    case SearchMode::kNone:
      return Stopped(SearchOutcome::Stop::kNoMode);
    case SearchMode::kBySurname:
      return SearchByText(reader.value(), card::field::Surname, prompt(),
                          results);
    case SearchMode::kByFirstName:
      return SearchByText(reader.value(), card::field::FirstName, prompt(),
                          results);
    case SearchMode::kByTelephone:
      return SearchByTelephone(reader.value(), prompt(), results);
  }
  return Stopped(SearchOutcome::Stop::kNoMode);
}

void ClearResults(SearchResults& results) { results.Clear(); }

bool ViewSelected(int row, const SearchResults& results,
                  card::SubscriberCard& card) {
  if (row < 0 || row >= results.RowCount()) {
    return false;
  }
  card.LoadFromResults(results.Row(row));
  return true;
}

}  // namespace records
