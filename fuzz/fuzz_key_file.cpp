// The key-file reader on arbitrary bytes: it must answer with one of its two messages or a
// result, never crash, and never allocate beyond what the input justifies.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "editor/keyword_list.h"
#include "editor/start_stop_key_list.h"
#include "language/key_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillon;
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  try {
    const auto contents = language::readKeyFile(in);
    editor::KeywordList keywords;
    editor::StartStopKeyList startStops;
    language::applyKeyFile(contents, keywords, startStops);
    startStops.prepare(std::string_view("\t $%&,./:;<=>"));
    // What was read must write back and read again to the same lists.
    const std::string bytes = language::encodeKeyFile(keywords, startStops);
    std::istringstream again(bytes);
    const auto second = language::readKeyFile(again);
    if (second.keywords.size() != contents.keywords.size() ||
        second.startStops.size() != contents.startStops.size() ||
        language::encodeKeyFile(keywords, startStops) != bytes)
      std::abort();
  } catch (const language::KeyFileError& e) {
    const std::string what = e.what();
    if (what != language::kInvalidPropertyValue && what != language::kStreamReadError) std::abort();
  }
  return 0;
}
