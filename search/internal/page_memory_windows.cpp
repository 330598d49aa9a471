#include <windows.h>

#include <new>

#include "search/internal/page_memory.h"

namespace search {

// Ordinary pages: large pages need a privilege that a clerk's account does
// not hold.
char* AllocatePages(std::size_t size) {
  void* pages =
      VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (pages == nullptr) throw std::bad_alloc();
  return static_cast<char*>(pages);
}

void FreePages(char* pages, std::size_t /*size*/) {
  VirtualFree(pages, 0, MEM_RELEASE);
}

}  // namespace search
