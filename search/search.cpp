#include "search/search.h"

#include <algorithm>
#include <new>
#include <string_view>
#include <utility>
#include <variant>

#include "card/number_text.h"
#include "records/cp1251.h"
#include "records/line_blocks.h"
#include "records/line_breaks.h"
#include "records/line_encoding.h"
#include "records/split_line.h"
#include "search/internal/block_matches.h"
#include "search/internal/byte_finder.h"
#include "search/internal/number_digits.h"

namespace search {

using records::EncodeCp1251;
using records::EncodingOf;
using records::Failure;
using records::FileError;
using records::FileSystem;
using records::kCr;
using records::kFieldSeparator;
using records::LineBlocks;
using records::LineEncoding;
using records::LockWait;
using records::PathText;
using records::Result;
using records::Unrepresentable;

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

// Reads the file block by block under the shared lock and appends the
// matching lines of each with `search` (block to rows added), telling
// `progress` how far it has read, within a long line too.
template <typename SearchBlock>
SearchOutcome Collect(LineBlocks& blocks, SearchBlock&& search,
                      const Progress& progress, const LockWait& wait) {
  if (std::optional<Failure> failure = blocks.ShareLock(wait)) {
    if (failure->code == FileError::kCancelled) {
      return Stopped(SearchOutcome::Stop::kCancelled);
    }
    return Failed(std::move(*failure));
  }
  std::uint64_t file_size = 0;
  if (progress) {
    Result<std::uint64_t> size = blocks.FileSize();
    if (!size) return Failed(size.failure());
    file_size = size.value();
  }
  std::uint64_t next_report = kProgressStep;
  // Whether to go on, told every few megabytes.
  const auto going_on = [&](std::uint64_t read) {
    if (!progress || read < next_report) return true;
    next_report = read - read % kProgressStep + kProgressStep;
    return progress(read, std::max(read, file_size));
  };
  const LineBlocks::Reading reading =
      progress ? LineBlocks::Reading(going_on) : LineBlocks::Reading();
  SearchOutcome outcome;
  for (;;) {
    Result<std::string_view> block = blocks.Next(reading);
    if (!block) {
      if (block.failure().code == FileError::kCancelled) {
        outcome.stop = SearchOutcome::Stop::kCancelled;
        return outcome;
      }
      SearchOutcome failed = Failed(block.failure());
      failed.rows_added = outcome.rows_added;
      return failed;
    }
    if (block.value().empty()) return outcome;
    outcome.rows_added += search(block.value());
    if (!going_on(blocks.BytesRead())) {
      outcome.stop = SearchOutcome::Stop::kCancelled;
      return outcome;
    }
  }
}

SearchOutcome SearchByText(LineBlocks& blocks, int field,
                           const std::string& query, SearchResults& results,
                           const Progress& progress, const LockWait& wait) {
  // A UTF-8 line holds the query's own bytes; a Windows-1251 line its bytes
  // in the code page, which maps characters to bytes one to one, where the
  // code page holds them. Only an ASCII query has one form for both.
  std::variant<std::string, Unrepresentable> encoded = EncodeCp1251(query);
  const std::string* cp1251 = std::get_if<std::string>(&encoded);
  const bool ascii = cp1251 && *cp1251 == query;
  // A line that holds the Windows-1251 form is no UTF-8 line where the form
  // itself is not valid UTF-8, as Russian words in the code page are not.
  const bool cp1251_not_utf8 = cp1251 && !records::IsValidUtf8(*cp1251);
  const auto matches =
      [&](std::string_view line,
          std::string_view piece) -> std::optional<LineEncoding> {
    if (ascii) {
      if (piece != query) return std::nullopt;
      return EncodingOf(line);
    }
    if (piece == query) {
      if (EncodingOf(line) != LineEncoding::kUtf8) return std::nullopt;
      return LineEncoding::kUtf8;
    }
    if (!cp1251 || piece != *cp1251) return std::nullopt;
    if (cp1251_not_utf8) return LineEncoding::kCp1251;
    if (EncodingOf(line) != LineEncoding::kCp1251) return std::nullopt;
    return LineEncoding::kCp1251;
  };
  // Bytes found across a block are that piece only if they cannot run over
  // the piece's end or the line's.
  std::optional<ByteFinder> finder;
  if (!query.empty() && query.find(kFieldSeparator) == std::string::npos &&
      query.find(kCr) == std::string::npos) {
    finder.emplace(query, cp1251 && !ascii ? *cp1251 : std::string());
  }
  return Collect(
      blocks,
      [&](std::string_view block) {
        if (!finder || !finder->PaysIn(block)) {
          return AppendEveryMatch(block, field, matches, results);
        }
        return AppendTextMatches(block, *finder, field, matches, results);
      },
      progress, wait);
}

SearchOutcome SearchByTelephone(LineBlocks& blocks, const std::string& query,
                                SearchResults& results,
                                const Progress& progress,
                                const LockWait& wait) {
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
  const auto matches =
      [wanted = *number](
          std::string_view line,
          std::string_view piece) -> std::optional<LineEncoding> {
    const std::optional<double> value = card::ParseNumber(piece);
    if (!value || *value != wanted) return std::nullopt;
    return EncodingOf(line);
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
      progress, wait);
}

SearchOutcome Search(SearchMode mode, const Prompt& prompt,
                     SearchResults& results, const Progress& progress,
                     const std::filesystem::path& path, FileSystem& files,
                     const LockWait& wait) {
  Result<LineBlocks> blocks = LineBlocks::Open(path, files);
  if (!blocks) {
    return Failed(blocks.failure());
  }
  switch (mode) {
    case SearchMode::kNone:
      return Stopped(SearchOutcome::Stop::kNoMode);
    case SearchMode::kBySurname:
      return SearchByText(blocks.value(), card::field::Surname, prompt(),
                          results, progress, wait);
    case SearchMode::kByFirstName:
      return SearchByText(blocks.value(), card::field::FirstName, prompt(),
                          results, progress, wait);
    case SearchMode::kByTelephone:
      return SearchByTelephone(blocks.value(), prompt(), results, progress,
                               wait);
  }
  return Stopped(SearchOutcome::Stop::kNoMode);
}

}  // namespace

SearchOutcome SearchRecords(SearchMode mode, const Prompt& prompt,
                            SearchResults& results, const Progress& progress,
                            const std::filesystem::path& path,
                            FileSystem& files, const LockWait& wait) {
  const int rows_before = results.RowCount();
  try {
    return Search(mode, prompt, results, progress, path, files, wait);
  } catch (const std::bad_alloc&) {
    // A line of hundreds of megabytes, or a result of millions of rows, on
    // a machine short of memory: what was found stays.
    SearchOutcome outcome =
        Failed({"Не хватило памяти, чтобы дочитать файл «" + PathText(path) +
                "»: в нём слишком длинная строка или слишком много подходящих "
                "карточек. Найденные до этого карточки показаны."});
    outcome.rows_added = results.RowCount() - rows_before;
    return outcome;
  }
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

}  // namespace search
