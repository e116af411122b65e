// The definitions reader on arbitrary bytes: every name it gives is one word, sorted.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "language/word_list_files.h"
#include "platform/ascii_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillon::language;
  if (size == 0) return 0;
  static const char* const kVersions[] = {"4.0", "4.1", "4.5", "5.0", "5.5", "6.0"};
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  const auto names = readDefinitions(bytes, kVersions[data[0] % 6]);
  for (const std::string& name : names)
    if (name.empty() || quillon::platform::trim(name) != name ||
        name.find_first_of(" \t\r\n") != std::string::npos)
      std::abort();
  if (!std::is_sorted(names.begin(), names.end(),
                      [](const auto& a, const auto& b) { return wordLess(a, b); }))
    std::abort();
  return 0;
}
