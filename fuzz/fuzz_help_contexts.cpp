// The help-context reader on arbitrary bytes: every line it keeps is one line of the file,
// neither blank nor a comment, and a line comes before every line that is its prefix.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "language/compare_no_case.h"
#include "language/word_list_files.h"
#include "platform/ascii_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillon::language;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const auto lines = readHelpContexts(bytes);
  for (const std::string& line : lines)
    if (quillon::platform::trim(line).empty() || line.front() == ';' || line.front() == '\'' ||
        line.find_first_of("\r\n") != std::string::npos || bytes.find(line) == std::string::npos)
      std::abort();
  for (std::size_t i = 1; i < lines.size(); ++i)
    if (compareNoCase(lines[i - 1], lines[i]) < 0) std::abort();
  return 0;
}
