#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "card/subscriber_card.h"
#include "records/failure.h"
#include "records/file_lock.h"
#include "records/file_system.h"
#include "search/search_results.h"

namespace search {

enum class SearchMode {
  kNone,         // no option chosen: the file is opened and closed, no more
  kBySurname,    // field 0, exact text
  kByFirstName,  // field 1, exact text
  kByTelephone,  // field 4, as a number
};

// Asks the clerk for the query; returns the UTF-8 text, empty when cancelled.
using Prompt = std::function<std::string()>;

// Told how far the search has read the file; returns false to stop it there.
using Progress =
    std::function<bool(std::uint64_t bytes_read, std::uint64_t file_size)>;

// How a search ended, so that the window shows a message only where one is
// due: a failure always carries one, the other endings none.
struct SearchOutcome {
  enum class Stop {
    kEndOfFile,   // the search ran to its end (rows_added may be 0)
    kNoMode,      // no mode chosen: nothing asked, nothing added
    kEmptyQuery,  // telephone mode, cancelled or empty: nothing read
    kCancelled,   // the progress function or the wait stopped it (rows_added
                  // may be 0)
    kFailed,      // see `failure`
  };
  Stop stop = Stop::kEndOfFile;
  // Rows appended by this search; after a read error or a stop, those found
  // before it stay in the results and are counted here.
  int rows_added = 0;
  // The file could not be opened or read, or the telephone query is not a
  // number.
  std::optional<records::Failure> failure;
};

// Opens the file, then (with a mode) asks the prompt for the query, then
// appends pieces 0 to 13 of every matching line to `results`, in file order,
// below the rows already there. The prompt is never called when the file
// cannot be opened; the file is closed whatever the outcome. A line too
// short for the compared piece, or whose telephone piece is not a number,
// does not match.
//
// Each line is compared as its own encoding reads (see
// records::LineEncoding); a file in UTF-16 is refused before the prompt.
// After the prompt the file is read under the shared lock, so that no line
// a saving copy of the program is writing is listed; while a save holds the
// lock the search asks `wait` between tries, and stops, with nothing added,
// when it gives up (Stop::kCancelled).
//
// Unless it is empty, `progress` is told every few megabytes how far the
// search has read (never more than the file's size); when it returns false
// the search stops there, the file is closed, and the rows found so far stay.
SearchOutcome SearchRecords(
    SearchMode mode, const Prompt& prompt, SearchResults& results,
    const Progress& progress, const std::filesystem::path& path,
    records::FileSystem& files = records::PlatformFileSystem(),
    const records::LockWait& wait = {});

// Empties the result columns.
void ClearResults(SearchResults& results);

// Loads result row `row` (-1: none selected) into the card; false, with the
// card unchanged, when there is no such row.
bool ViewSelected(int row, const SearchResults& results,
                  card::SubscriberCard& card);

}  // namespace search
