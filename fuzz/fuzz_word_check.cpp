// Any bytes as pages, with options from the first byte: the word check must not crash, and
// every listed word is made of word characters, starts with no digit, holds a letter and has
// no twin without case.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "language/word_checker.h"
#include "platform/ascii_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillon;
  if (size == 0) return 0;
  static language::WordLists lists = [] {
    language::WordLists l;
    l.assign(language::WordList::Key,
             {"Dim", "End Sub", "End", "Print", "Set Map Layer", "Str$", "a b"});
    l.assign(language::WordList::Def, {"TRUE", "x"});
    l.assign(language::WordList::Dict, {"name", "zeta(", "two  blanks"});
    return l;
  }();
  language::WordChecker checker(lists);
  checker.start({(data[0] & 1) != 0, (data[0] & 2) != 0});
  // A zero byte ends a page.
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::size_t start = 0;
  while (start <= bytes.size()) {
    const std::size_t end = std::min(bytes.find('\0', start), bytes.size());
    checker.check(bytes.substr(start, end - start));
    start = end + 1;
  }
  std::set<std::string> folded;
  for (const std::string& word : checker.words()) {
    if (word.empty() || (word[0] >= '0' && word[0] <= '9')) std::abort();
    bool letter = false;
    for (char c : word) {
      if (!language::WordChecker::isWordChar(c)) std::abort();
      letter = letter || platform::asciiLower(c) != platform::asciiUpper(c);
    }
    if (!letter || !folded.insert(platform::asciiLowered(word)).second) std::abort();
  }
  return 0;
}
