#pragma once

#include <cstddef>

namespace search {

// Memory straight from the system in whole pages, given straight back when
// freed, for the large blocks of a search result. On Linux a block of 2 MB
// or more is backed by huge pages where the system allows them, so that
// filling tens of megabytes costs a few dozen page faults instead of tens
// of thousands. One implementation per platform.

// `size` bytes of fresh memory, `size` a whole number of 4 KB pages; throws
// std::bad_alloc, as operator new does, when the system has none to give.
char* AllocatePages(std::size_t size);
// Gives back the pages of AllocatePages(size).
void FreePages(char* pages, std::size_t size);

}  // namespace search
