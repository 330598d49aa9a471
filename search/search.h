#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
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

// How a search ended when it did not fail.
enum class SearchEnd {
  kEndOfFile,   // it read the whole file
  kNoMode,      // no mode chosen: nothing asked, nothing read
  kEmptyQuery,  // telephone mode, cancelled or empty: nothing read
  kCancelled,   // the progress function or the wait stopped it
};

// The end of a search, or the failure that stopped it: the file could not
// be opened or read, or the telephone query is not a number. Rows found
// before a stop or a failure stay in the results.
using SearchOutcome = records::Result<SearchEnd>;

// Opens the file, then (with a mode) asks the prompt for the query, then
// appends pieces 0 to 13 of every line whose compared piece matches to
// `results`, in file order; a line too short for the piece, or whose
// telephone piece is not a number, does not match. Each line is compared in
// its own encoding (records::LineEncoding). The prompt is never called when
// the file cannot be opened, or is in UTF-16; the file is closed whatever
// the outcome. The file is read under the shared lock, so that no line a
// saving copy is writing is listed; `wait` is asked between tries while a
// save holds it. Unless empty, `progress` is told every few megabytes how
// far the search has read, and stops it when it returns false.
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
