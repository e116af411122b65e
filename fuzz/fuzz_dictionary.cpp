// The dictionary reader and the save's merge on arbitrary bytes: what a load finds, a save
// keeps, and every word the save adds is found by the next load, once.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "language/word_list_files.h"
#include "platform/ascii_text.h"

namespace {

// Entries compared as a multiset, whatever order equal-without-case words took.
std::vector<std::string> bag(std::vector<std::string> words) {
  std::sort(words.begin(), words.end());
  return words;
}

}  // namespace

// Input: one byte choosing the version, the words to add separated by LF up to the first NUL,
// then the file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillon::language;
  if (size == 0) return 0;
  static const char* const kVersions[] = {"4.0", "4.1", "4.5", "5.0", "5.5", "6.0"};
  const std::string version = kVersions[data[0] % 6];
  const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::size_t nul = rest.find('\0');
  const std::string file = nul == std::string::npos ? rest : rest.substr(nul + 1);
  std::vector<std::string> added;
  if (nul != std::string::npos)
    for (std::size_t from = 0; from <= nul;) {
      const std::size_t end = std::min(rest.find('\n', from), nul);
      added.push_back(rest.substr(from, end - from));
      from = end + 1;
    }

  const std::vector<std::string> loaded = readDictionary(file, version);
  if (!std::is_sorted(loaded.begin(), loaded.end(),
                      [](const auto& a, const auto& b) { return wordLess(a, b); }))
    std::abort();

  // Nothing added: a save keeps every entry.
  if (bag(readDictionary(mergeDictionary(file, {}, version), version)) != bag(loaded)) std::abort();

  std::vector<std::string> expected = loaded;
  for (const std::string& w : added) {
    if (!storableWord(w)) continue;
    const std::string word(quillon::platform::trim(w));
    if (std::none_of(expected.begin(), expected.end(),
                     [&](const std::string& e) { return sameWord(e, word); }))
      expected.push_back(word);
  }
  if (bag(readDictionary(mergeDictionary(file, added, version), version)) != bag(expected))
    std::abort();
  return 0;
}
