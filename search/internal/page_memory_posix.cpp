#include <sys/mman.h>

#include <cstdint>
#include <new>

#include "search/internal/page_memory.h"

namespace search {
namespace {

// The kernel backs memory with a huge page only where a whole aligned huge
// page of it has been marked for one.
constexpr std::size_t kHugePage = std::size_t{2} << 20;

char* Map(std::size_t size) {
  void* pages = mmap(nullptr, size, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (pages == MAP_FAILED) throw std::bad_alloc();
  return static_cast<char*>(pages);
}

}  // namespace

char* AllocatePages(std::size_t size) {
#ifdef MADV_HUGEPAGE
  if (size >= kHugePage) {
    // A huge page more than asked, less what lies outside the first aligned
    // stretch of `size` bytes.
    char* mapped = Map(size + kHugePage);
    const std::size_t head =
        (kHugePage - reinterpret_cast<std::uintptr_t>(mapped) % kHugePage) %
        kHugePage;
    if (head > 0) munmap(mapped, head);
    munmap(mapped + head + size, kHugePage - head);
    // Only a hint: where the system refuses it, the pages are ordinary.
    madvise(mapped + head, size, MADV_HUGEPAGE);
    return mapped + head;
  }
#endif
  return Map(size);
}

void FreePages(char* pages, std::size_t size) { munmap(pages, size); }

}  // namespace search
