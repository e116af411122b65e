#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "language/word_lists.h"

// How the word checker reads a text, line by line:
//
// - Comments and strings are found by the MapBasic line scanner, so an apostrophe inside a
//   string is text. Comments are dropped; strings are dropped too unless strings are
//   included, when their quotes count as blanks.
// - A word is a run of word characters: "$", the digits, the ASCII letters and "_". Every
//   other byte is a blank. Words on one line are adjacent when only blanks, dropped strings
//   or other non-word bytes stand between them.
// - Known, unless known words are to be shown: a word equal to a one-word entry of the
//   keywords, definitions, dictionary or ignored words, without case; or adjacent words equal
//   to an entry of several words (its words one blank apart), the longest entry first. An
//   entry holding anything but word characters and single blanks matches nothing. Help
//   contexts take no part.
// - Listed: a word not known that starts with no digit and holds a letter, spelled as first
//   met; one per word without case.

namespace quillon::language {

// Collects the unknown words of texts against the word lists. The lists are indexed once
// per change of theirs, so each line is read once whatever the size of the lists.
class WordChecker {
public:
  struct Options {
    bool showKeyWords = false;    // keep known words
    bool includeStrings = false;  // check the words inside strings too
  };

  explicit WordChecker(const WordLists& lists) : lists_(lists) {}

  // Forgets the words found so far.
  void start(Options options);
  void check(std::string_view text);
  // The words found since start, sorted by compareNoCase.
  std::vector<std::string> words() const;
  std::size_t wordCount() const { return found_.size(); }

  static constexpr bool isWordChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '$';
  }

private:
  void checkLine(std::string_view line);
  void refreshKnown();
  // How many of `words` from `at` on an entry covers; 0 when none does.
  std::size_t knownRun(const std::vector<std::string_view>& words, std::size_t at);

  const WordLists& lists_;
  Options options_;

  // The known entries, lower-cased: single words, and phrases of several words with the
  // most words of a phrase that begins with each first word.
  std::array<std::uint64_t, 4> generations_{~std::uint64_t{0}, ~std::uint64_t{0}, ~std::uint64_t{0},
                                            ~std::uint64_t{0}};
  std::unordered_set<std::string> knownWords_;
  std::unordered_set<std::string> knownPhrases_;
  std::unordered_map<std::string, std::size_t> longestPhrase_;

  std::vector<std::string> found_;
  std::unordered_set<std::string> foundFolded_;
  std::vector<std::string_view> lineWords_;
  std::string key_;
};

}  // namespace quillon::language
