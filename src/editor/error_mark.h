#pragma once
#include <cstdint>
#include <string>

namespace quillon::editor {

// A line a compiler named, as a page keeps it while it is not on screen.
struct ErrorMark {
  std::int64_t paragraph = 0;  // 0-based
  std::string message;
  std::string origin;  // what was built when the mark was set; the next build of it clears it
  bool operator==(const ErrorMark&) const = default;
};

}  // namespace quillon::editor
