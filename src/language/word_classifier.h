#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "language/word_lists.h"

namespace quillon::language {

// Classifies the words before the caret against the five word lists.
//
// Words: the caret line splits at tab, blank and , . / \ - + * ( ); a double quote opens or
// closes a stretch in which none of these splits (the quotes stay in the word). Empty words
// are dropped. W1 is the last word, W2 the last two joined by one blank, W3 the last three.
//
// Matches: every entry of every list, in tag order (HLP, KEY, DIC, DEF, USR) and list order,
// once for each of W1, W2, W3 its Windows-1252 upper-case form begins with. They are sorted by
// the upper-case form of entry and tag together (ties keep that order), and then each entry
// is moved ahead of the longer entries that begin with it by repeated passes that end when one
// moves nothing. Items read "TAG text". Without a match and with a current word C the items
// are the three fixed rows " ?  C", "    *** IGNORE FOR NOW", "    *** ADD TO DICTIONARY".
//
// Each list is kept sorted by its upper-case form and tag beside the list, so the entries
// beginning with a phrase are one range found by binary search, already in their sorted order;
// the ranges are merged, not sorted again.
class WordClassifier {
public:
  static constexpr std::string_view kUnknownPrefix = " ?  ";
  static constexpr std::string_view kIgnoreRow = "    *** IGNORE FOR NOW";
  static constexpr std::string_view kAddRow = "    *** ADD TO DICTIONARY";
  // A current word longer than this is no word to offer for the dictionary.
  static constexpr std::size_t kMaxWordLength = 1024;

  struct Result {
    std::vector<std::string> items;
    // 8 pixels per character of the longest match with its tag; -1 without a match.
    int extent = -1;
  };

  explicit WordClassifier(const WordLists& lists) : lists_(lists) {}

  // `line` is the caret's line, `currentWord` the word at the caret (both as they stand).
  Result classify(std::string_view line, std::string_view currentWord);

  // The last `count` words of a line, in line order.
  static std::vector<std::string_view> lastWords(std::string_view line, std::size_t count);

private:
  // One list sorted by upper-case form: `folded[i]` is entry i upper-cased followed by its
  // tag; `order` holds the entry numbers in the order of those, ties by number.
  struct Index {
    std::uint64_t generation = ~std::uint64_t{0};
    std::vector<std::string> folded;
    std::vector<std::uint32_t> order;
    std::size_t longest = 0;
  };
  const Index& index(WordList list);

  const WordLists& lists_;
  std::array<Index, kWordLists.size()> indexes_;
};

}  // namespace quillon::language
