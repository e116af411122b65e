#include "platform/memory_pages.h"

#include <cstdint>
#include <sys/mman.h>

namespace quillon::platform {

void preferLargePages(void* memory, std::size_t size) {
#ifdef MADV_HUGEPAGE
  constexpr std::uintptr_t kLarge = std::uintptr_t{2} << 20;
  // Only whole large pages inside the range: advice never reaches memory beside it.
  const auto begin = reinterpret_cast<std::uintptr_t>(memory);
  const std::uintptr_t first = (begin + kLarge - 1) & ~(kLarge - 1);
  const std::uintptr_t last = (begin + size) & ~(kLarge - 1);
  if (last > first) (void)::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
  (void)memory;
  (void)size;
#endif
}

}  // namespace quillon::platform
