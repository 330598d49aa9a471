#pragma once

#include <filesystem>
#include <string_view>

#include "records/failure.h"

namespace search {

// Every sentence of the search that the clerk reads is written once, in
// messages.cpp; the search's failures on the file itself are the records
// library's.

// The telephone query, as typed, is not a number.
records::Failure TelephoneNotNumber(std::string_view typed);

// The search ran short of memory while it read the file at `path`; the
// message says that the rows found before are shown.
records::Failure OutOfMemory(const std::filesystem::path& path);

}  // namespace search
