#pragma once
#include <string_view>

namespace quillon::language {

// Three-way comparison of the word-list sorts: ASCII letters match either case, at a mismatch
// letters count as their capitals and other bytes as themselves, and a prefix sorts first.
// Returns -1, 0 or 1.
int compareNoCase(std::string_view a, std::string_view b);

}  // namespace quillon::language
