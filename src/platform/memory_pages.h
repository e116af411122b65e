#pragma once
#include <cstddef>

namespace quillon::platform {

// Asks the system to back [memory, memory + size) with large pages where it can, before the
// memory is first touched. On virtual machines every first touch of a small page costs a trap,
// so a large file read into small pages costs more than its reading; large pages take one trap
// per two megabytes. Only advice: nothing changes where the system declines, and small ranges
// are left alone.
void preferLargePages(void* memory, std::size_t size);

}  // namespace quillon::platform
