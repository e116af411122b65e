#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The word a completion replaces: the run of name characters (letters, digits and
// "_!#$%&@~") that ends at the caret and opens with a letter or "_", together with the name
// characters right after the caret, so completing inside a word replaces all of it. A caret
// inside a string or after a comment's apostrophe completes nothing.

namespace quillon::language {

struct CompletionWord {
  std::size_t start = 0;  // column of its first character in the line
  std::size_t caret = 0;  // the caret's column; prefix() ends here
  std::size_t end = 0;    // column after its last name character
  std::string prefix;     // the part before the caret
};

// The word at `caret` (a column of `line`) as above; nothing in a string or a comment. An
// empty prefix is a word too (the caret after a blank), for Ctrl+Space.
std::optional<CompletionWord> completionWordAt(std::string_view line, std::size_t caret);

// One row of the pop-up.
struct CompletionItem {
  enum class Source { Code, Keyword, Defined };
  std::string text;
  Source source = Source::Code;
};

// The pop-up's rows and selection.
//
// Invariant: `items_` holds each text once without case, the code's own names first in the
// order they came, then keywords, then defined names; `selected_` is a valid row while there
// are rows, else 0. fill() and the moves are the only places that change them.
class CompletionList {
public:
  static constexpr std::size_t kPageRows = 8;

  // The rows for `prefix`: `own` as given, then the one-word keywords and the defined names
  // that start with it without case, each text once. The selection stays on the text it was
  // on when that text is still offered, else goes to the first row.
  void fill(std::string_view prefix, const std::vector<std::string>& own,
            const std::vector<std::string>& keywords, const std::vector<std::string>& defined);

  const std::vector<CompletionItem>& items() const { return items_; }
  bool empty() const { return items_.empty(); }
  std::size_t selected() const { return selected_; }
  const CompletionItem* selectedItem() const {
    return items_.empty() ? nullptr : &items_[selected_];
  }

  // Up/Down by one row, PageUp/PageDown by kPageRows; each stops at the first or last row.
  void move(std::ptrdiff_t rows);
  void select(std::size_t row);

private:
  std::vector<CompletionItem> items_;
  std::size_t selected_ = 0;
};

// The change taking `item` makes to the line: the word's columns [start, end) become `text`,
// and the caret goes after it.
struct CompletionEdit {
  std::size_t start = 0;
  std::size_t length = 0;
  std::string text;
};
CompletionEdit completionEdit(const CompletionWord& word, std::string_view item);

}  // namespace quillon::language
