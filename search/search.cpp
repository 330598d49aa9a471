#include "search/search.h"

#include <algorithm>
#include <new>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "card/number_text.h"
#include "records/cp1251.h"
#include "records/line_breaks.h"
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

// Where in a block of lines the query may stand. A text's piece equal to the
// query is the query's bytes in one of its forms, so a line that holds
// neither form cannot match and is passed over; a number can be written in
// many ways, so no line is.
class Shortcut {
 public:
  explicit Shortcut(const Query& query) {
    if (query.number) return;
    const std::string_view utf8 = query.utf8;
    // In UTF-8 a letter of more than one byte starts with a byte that many
    // letters share (half the Cyrillic alphabet), and its next byte tells
    // it: the form is looked for from there, or a UTF-8 file would stop
    // the finder at nearly every letter.
    const bool shared_lead =
        utf8.size() > 1 && static_cast<unsigned char>(utf8[0]) >= 0xC0;
    forms_.push_back({utf8, shared_lead ? std::size_t{1} : 0});
    if (query.cp1251 && *query.cp1251 != utf8) {
      forms_.push_back({*query.cp1251, 0});
    }
  }

  // Starts on a new block of lines.
  void NewBlock(std::string_view lines) {
    lines_ = lines;
    for (Form& form : forms_) form.found = Find(form, 0);
  }

  // Returns the first place at or after the line start `start` where a
  // form stands, `start` itself for a number, or npos where none does.
  std::size_t Next(std::size_t start) {
    if (forms_.empty()) return start;
    std::size_t next = std::string_view::npos;
    for (Form& form : forms_) {
      if (form.found < start) form.found = Find(form, start);
      next = std::min(next, form.found);
    }
    return next;
  }

 private:
  struct Form {
    std::string_view bytes;
    std::size_t anchor;  // the byte looked for first
    std::size_t found = 0;
  };

  // Returns where the form stands first at or after `from`, or npos.
  std::size_t Find(const Form& form, std::size_t from) const {
    const std::string_view head = form.bytes.substr(0, form.anchor);
    const std::string_view rest = form.bytes.substr(form.anchor);
    for (std::size_t at = from + form.anchor;
         (at = lines_.find(rest, at)) != std::string_view::npos; ++at) {
      if (lines_.substr(at - form.anchor, form.anchor) == head) {
        return at - form.anchor;
      }
    }
    return std::string_view::npos;
  }

  std::vector<Form> forms_;
  std::string_view lines_;
};

// Appends the lines of a block that match, looking only at those the
// shortcut points to.
void MatchLines(std::string_view lines, const Query& query, Shortcut& shortcut,
                SearchResults& results) {
  shortcut.NewBlock(lines);
  for (std::size_t start = 0; start < lines.size();) {
    const std::size_t at = shortcut.Next(start);
    if (at == std::string_view::npos) return;
    // The line that holds `at` starts after the last break before it.
    std::size_t begin = start;
    if (at > start) {
      const std::size_t cr = lines.rfind(records::kCr, at - 1);
      if (cr != std::string_view::npos && cr >= start) {
        begin = records::AfterBreak(lines, cr);
      }
    }
    const records::LineBounds bounds = records::LineAt(lines, begin);
    const std::string_view line = lines.substr(begin, bounds.end - begin);
    if (const std::optional<LineEncoding> encoding = Matches(query, line)) {
      results.AppendLine(line, *encoding);
    }
    start = bounds.next;
  }
}

// Reads the file a block of lines at a time under the shared lock and
// appends the matching lines, telling `progress` every few megabytes how
// far it has read, within a long line too.
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
  Shortcut shortcut(query);
  std::string_view lines;
  for (;;) {
    Result<bool> next = reader.NextLines(lines, reading);
    if (!next) {
      if (next.failure().code == FileError::kCancelled) {
        return SearchEnd::kCancelled;
      }
      return next.failure();
    }
    if (!next.value()) return SearchEnd::kEndOfFile;
    MatchLines(lines, query, shortcut, results);
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
