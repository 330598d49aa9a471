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

// Is told how far the search has read the file; returns false to stop it.
using Progress =
    std::function<bool(std::uint64_t bytes_read, std::uint64_t file_size)>;

// Tells how a search ended when it did not fail.
enum class SearchEnd {
  kEndOfFile,   // it read the whole file
  kNoMode,      // no mode chosen: nothing asked, nothing read
  kEmptyQuery,  // telephone mode, cancelled or empty: nothing read
  kCancelled,   // the progress function or the wait stopped it
};

// Holds the end of a search, or the failure that stopped it: the file could
// not be opened or read, or the telephone query is not a number. Rows found
// before a stop or a failure stay in the results.
using SearchOutcome = records::Result<SearchEnd>;

// Opens the file, asks the prompt for the query (only with a mode, and only
// once the file is open and not in UTF-16), and appends to `results`, in
// file order, pieces 0 to 13 of every line whose compared piece equals the
// query in the line's own encoding, as text or, for a telephone, as a
// number. It reads under the shared lock, asking `wait` while a save holds
// it, and tells `progress` every few megabytes how far it has read; either
// stops it by returning false. The file is closed whatever the outcome.
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
