#include "search/search.h"

#include <algorithm>
#include <new>
#include <optional>
#include <string_view>
#include <utility>

#include "card/number_text.h"
#include "records/cp1251.h"
#include "records/line_encoding.h"
#include "records/line_reader.h"
#include "records/split_line.h"
#include "search/messages.h"

namespace search {

using records::EncodeCp1251;
using records::EncodingOf;
using records::FileError;
using records::FileSystem;
using records::LineEncoding;
using records::LineReader;
using records::LockWait;
using records::Result;

namespace {

// How often the search tells the progress function how far it has read.
constexpr std::uint64_t kProgressStep = std::uint64_t{2} << 20;

// What a line's piece `field` is compared with: a text, in the bytes that
// stand for it on a line of either encoding, or a number.
struct Query {
  int field;
  std::string utf8;
  // None where the code page cannot hold the text.
  std::optional<std::string> cp1251;
  std::optional<double> number;
};

// The search's one rule: a line matches when its piece `field`, read in the
// line's own encoding, equals the query, as text exactly or as a number.
// Tells the matching line's encoding.
std::optional<LineEncoding> Matches(const Query& query, std::string_view line) {
  const std::optional<std::string_view> piece =
      records::PieceAt(line, query.field);
  if (!piece) return std::nullopt;
  if (query.number) {
    // A number is ASCII, which both encodings read alike: the piece's bytes
    // are its text.
    const std::optional<double> value = card::ParseNumber(*piece);
    if (!value || *value != *query.number) return std::nullopt;
    return EncodingOf(line);
  }
  // Each encoding reads a text from one sequence of bytes only, so that the
  // piece reads as the query where its bytes are the query's in the line's
  // encoding; the line is judged only then.
  const bool as_utf8 = *piece == query.utf8;
  const bool as_cp1251 = query.cp1251 && *piece == *query.cp1251;
  if (!as_utf8 && !as_cp1251) return std::nullopt;
  const LineEncoding encoding = EncodingOf(line);
  if (encoding == LineEncoding::kUtf8 ? as_utf8 : as_cp1251) return encoding;
  return std::nullopt;
}

// Reads the file line by line under the shared lock and appends the
// matching lines, telling `progress` every few megabytes how far it has
// read, within a long line too.
SearchOutcome Collect(LineReader& reader, const Query& query,
                      SearchResults& results, const Progress& progress,
                      const LockWait& wait) {
  if (Result<void> locked = reader.ShareLock(wait); !locked) {
    if (locked.failure().code == FileError::kCancelled) {
      return SearchEnd::kCancelled;
    }
    return locked.failure();
  }
  std::uint64_t file_size = 0;
  if (progress) {
    Result<std::uint64_t> size = reader.FileSize();
    if (!size) return size.failure();
    file_size = size.value();
  }
  std::uint64_t next_report = kProgressStep;
  const auto going_on = [&](std::uint64_t read) {
    if (read < next_report) return true;
    next_report = read - read % kProgressStep + kProgressStep;
    return progress(read, std::max(read, file_size));
  };
  const LineReader::Reading reading =
      progress ? LineReader::Reading(going_on) : LineReader::Reading();
  std::string_view line;
  for (;;) {
    Result<bool> next = reader.Next(line, reading);
    if (!next) {
      if (next.failure().code == FileError::kCancelled) {
        return SearchEnd::kCancelled;
      }
      return next.failure();
    }
    if (!next.value()) return SearchEnd::kEndOfFile;
    if (const std::optional<LineEncoding> encoding = Matches(query, line)) {
      results.AppendLine(line, *encoding);
    }
  }
}

SearchOutcome SearchByText(LineReader& reader, int field, std::string text,
                           SearchResults& results, const Progress& progress,
                           const LockWait& wait) {
  Result<std::string> cp1251 = EncodeCp1251(text);
  Query query{field, std::move(text), std::nullopt, std::nullopt};
  if (cp1251) query.cp1251 = std::move(cp1251.value());
  return Collect(reader, query, results, progress, wait);
}

SearchOutcome SearchByTelephone(LineReader& reader, const std::string& text,
                                SearchResults& results,
                                const Progress& progress,
                                const LockWait& wait) {
  if (text.empty()) return SearchEnd::kEmptyQuery;
  const std::optional<double> number = card::ParseNumber(text);
  if (!number) return TelephoneNotNumber(text);
  return Collect(reader, Query{card::field::SubscriberNumber, {}, {}, number},
                 results, progress, wait);
}

SearchOutcome Search(SearchMode mode, const Prompt& prompt,
                     SearchResults& results, const Progress& progress,
                     const std::filesystem::path& path, FileSystem& files,
                     const LockWait& wait) {
  Result<LineReader> reader = LineReader::Open(path, files);
  if (!reader) return reader.failure();
  switch (mode) {
    case SearchMode::kNone:
      return SearchEnd::kNoMode;
    case SearchMode::kBySurname:
      return SearchByText(reader.value(), card::field::Surname, prompt(),
                          results, progress, wait);
    case SearchMode::kByFirstName:
      return SearchByText(reader.value(), card::field::FirstName, prompt(),
                          results, progress, wait);
    case SearchMode::kByTelephone:
      return SearchByTelephone(reader.value(), prompt(), results, progress,
                               wait);
  }
  return SearchEnd::kNoMode;
}

}  // namespace

SearchOutcome SearchRecords(SearchMode mode, const Prompt& prompt,
                            SearchResults& results, const Progress& progress,
                            const std::filesystem::path& path,
                            FileSystem& files, const LockWait& wait) {
  try {
    return Search(mode, prompt, results, progress, path, files, wait);
  } catch (const std::bad_alloc&) {
    // A line of hundreds of megabytes, or a result of millions of rows, on
    // a machine short of memory: what was found stays.
    return OutOfMemory(path);
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
