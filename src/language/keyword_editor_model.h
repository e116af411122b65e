#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/keyword_info.h"
#include "editor/keyword_list.h"
#include "editor/start_stop_key_list.h"

namespace quillon::language {

// The keyword list editor's work: copies of the keywords (or start-stop keys) as rows, one
// empty last row to type new ones into, the selected row, the find position and the modified
// mark. The lists themselves change only in writeBack().
//
// Invariant: rows_ is never empty and its last row is the empty row, whose record new rows
// copy; every change of a row's text or record, of the order or of the number of rows sets
// the modified mark. The row operations below are the only places that change rows_.
class KeywordEditorModel {
public:
  enum class Mode { keywords, startStop };
  enum class FindMode { contains, wholeWord, leftChars };
  enum class Swatch { foreground, background };

  struct Row {
    std::string text;          // the keyword, or the start key
    std::string stop;          // the stop key (start-stop mode)
    editor::KeywordInfo info;  // in start-stop mode ParEnd rides in Options bit 7
  };

  // The named mouse pointers the pointer list offers, with their numbers.
  struct Pointer {
    const char* name;
    std::int16_t number;
  };
  static const std::array<Pointer, 21> kPointers;
  // The pointer's index in kPointers, -1 for a number without a name.
  static int pointerIndex(std::int16_t number);

  explicit KeywordEditorModel(const editor::KeywordList& keywords);
  explicit KeywordEditorModel(const editor::StartStopKeyList& keys);

  Mode mode() const { return mode_; }
  int rowCount() const { return static_cast<int>(rows_.size()); }
  int lastEntry() const { return rowCount() - 2; }  // -1 without entries
  const Row& row(int index) const { return rows_.at(static_cast<std::size_t>(index)); }
  bool modified() const { return modified_; }

  int current() const { return current_; }
  void select(int index);
  // "Item #:" shows this: the current row counted from 1, or "----" after a find failed.
  std::string itemNumber() const;

  // Editing a cell (column 1 is the stop key). Text typed into the empty last row makes it an
  // entry, and a new empty row follows with a copy of its record.
  void setText(int index, int column, std::string_view text);
  void setInfo(int index, const editor::KeywordInfo& info);
  // The context number box: nullopt when taken, else the message for a text that is no
  // 16-bit integer (the record keeps its value).
  std::optional<std::string> setContextNumber(int index, std::string_view text);
  // A swatch shows its colour unless that is none (-1) or both colours are 0.
  bool swatchShown(int index, Swatch which) const;
  // The colour dialog's starting colour: the swatch's, else black or white.
  std::int32_t swatchStart(int index, Swatch which) const;
  // The colour dialog closed with OK on `color`; a hidden other swatch becomes none.
  void colorChosen(int index, Swatch which, std::int32_t color);
  void resetColors(int index);

  // These act on the current row, never on the empty last row.
  void removeCurrent();
  void moveUp();
  void moveDown();
  void sortFromTopDown();
  void sortFromBottomUp();

  // Finding in the first column. A new text starts again at the top; each find goes on after
  // the last row found. Returns the message to show when no further row qualifies.
  void setFindText(std::string_view text);
  std::optional<std::string> findNext(FindMode mode);

  // The lists as the rows give them, empty texts dropped; false, and nothing written, without
  // a change.
  bool writeBack(editor::KeywordList& keywords) const;
  bool writeBack(editor::StartStopKeyList& keys) const;

private:
  void exchange(int a, int b);
  void changed() { modified_ = true; }

  Mode mode_;
  std::vector<Row> rows_;
  int current_ = 0;
  bool modified_ = false;
  bool findFailed_ = false;
  std::string findText_;
  int findPosition_ = -1;
};

}  // namespace quillon::language
