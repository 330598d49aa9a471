#include "records/search.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <variant>

#include "card/number_text.h"
#include "records/block_matches.h"
#include "records/byte_finder.h"
#include "records/cp1251.h"
#include "records/line_blocks.h"
#include "records/number_digits.h"
#include "records/split_line.h"

namespace records {
namespace {

// How often the search tells the progress function how far it has read.
constexpr std::uint64_t kProgressStep = std::uint64_t{2} << 20;

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

// Reads the file block by block and appends the matching lines of each with
// `search` (block to rows added), telling `progress` how far it has read.
template <typename SearchBlock>
SearchOutcome Collect(LineBlocks& blocks, SearchBlock&& search,
                      const Progress& progress) {
  std::uint64_t file_size = 0;
  if (progress) {
    Result<std::uint64_t> size = blocks.FileSize();
    if (!size) return Failed(size.failure());
    file_size = size.value();
  }
  std::uint64_t next_report = kProgressStep;
  SearchOutcome outcome;
  for (;;) {
    Result<std::string_view> block = blocks.Next();
    if (!block) {
      SearchOutcome failed = Failed(block.failure());
      failed.rows_added = outcome.rows_added;
      return failed;
    }
    if (block.value().empty()) return outcome;
    outcome.rows_added += search(block.value());
    const std::uint64_t read = blocks.BytesRead();
    if (progress && read >= next_report) {
      next_report = read - read % kProgressStep + kProgressStep;
      if (!progress(read, std::max(read, file_size))) {
        outcome.stop = SearchOutcome::Stop::kCancelled;
        return outcome;
      }
    }
  }
}

SearchOutcome SearchByText(LineBlocks& blocks, int field,
                           const std::string& query, SearchResults& results,
                           const Progress& progress) {
  // Windows-1251 maps characters to bytes one to one, so equal bytes are
  // equal texts; a text the code page cannot hold is in no line.
  std::variant<std::string, Unrepresentable> encoded = EncodeCp1251(query);
  if (std::holds_alternative<Unrepresentable>(encoded)) {
    return Stopped(SearchOutcome::Stop::kEndOfFile);
  }
  const std::string wanted = std::get<std::string>(std::move(encoded));
  const auto matches = [&wanted](std::string_view piece) {
    return piece == wanted;
  };
  // Bytes found across a block are that piece only if they cannot run over
  // the piece's end or the line's.
  std::optional<ByteFinder> finder;
  if (!wanted.empty() && wanted.find(kFieldSeparator) == std::string::npos &&
      wanted.find('\r') == std::string::npos) {
    finder.emplace(wanted);
  }
  return Collect(
      blocks,
      [&](std::string_view block) {
        if (!finder || !finder->PaysIn(block)) {
          return AppendEveryMatch(block, field, matches, results);
        }
        return AppendTextMatches(block, *finder, field, matches, results);
      },
      progress);
}

SearchOutcome SearchByTelephone(LineBlocks& blocks, const std::string& query,
                                SearchResults& results,
                                const Progress& progress) {
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
  const auto matches = [wanted = *number](std::string_view piece) {
    const std::optional<double> value = card::ParseNumber(piece);
    return value && *value == wanted;
  };
  std::optional<ByteFinder> finder;
  if (std::string digits = DigitsOfEqualNumbers(*number); !digits.empty()) {
    finder.emplace(std::move(digits));
  }
  return Collect(
      blocks,
      [&](std::string_view block) {
        if (!finder || !finder->PaysIn(block)) {
          return AppendEveryMatch(block, card::field::SubscriberNumber, matches,
                                  results);
        }
        return AppendNumberMatches(
            block, *finder, card::field::SubscriberNumber, matches, results);
      },
      progress);
}

}  // namespace

SearchOutcome SearchRecords(SearchMode mode, const Prompt& prompt,
                            SearchResults& results, const Progress& progress,
                            const std::filesystem::path& path,
                            FileSystem& files) {
  Result<LineBlocks> blocks = LineBlocks::Open(path, files);
  if (!blocks) {
    return Failed(blocks.failure());
  }
  switch (mode) {
    case SearchMode::kNone:
      return Stopped(SearchOutcome::Stop::kNoMode);
    case SearchMode::kBySurname:
      return SearchByText(blocks.value(), card::field::Surname, prompt(),
                          results, progress);
    case SearchMode::kByFirstName:
      return SearchByText(blocks.value(), card::field::FirstName, prompt(),
                          results, progress);
    case SearchMode::kByTelephone:
      return SearchByTelephone(blocks.value(), prompt(), results, progress);
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
