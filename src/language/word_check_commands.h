#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editor/code_memo_fwd.h"
#include "editor/listener_list.h"
#include "language/word_checker.h"
#include "language/word_lists.h"
#include "platform/ui.h"

namespace quillon::language {

// The word checker window's behaviour: its options, the list of unknown words with their
// ticks, the message, the read-only work copy, and what START, Locate, "Add 2 Dic" and the
// list buttons do. The window draws this state and hears `onChanged`; "Check Words" asks it
// to come up through `onShowRequested`.
//
// Invariant: while a check runs (`running()`), START does nothing and "All Pages" cannot be
// changed; the texts checked are copies taken when START was pressed, so edits, tab changes
// and a second START during the run's pending messages cannot reach it. start() is the one
// place that sets and clears it.
class WordCheckCommands {
public:
  struct Parts {
    platform::Ui& ui;
    const editor::CodeMemo& editor;  // the page on screen
    WordLists& lists;
    std::function<int()> tabCount;
    // Every tab's text in tab order, the page on screen as the editor holds it now.
    std::function<std::vector<std::string>()> pageTexts;
  };
  enum class ListView { None, Dictionary, KeyWords, Defines, HelpContexts };
  struct Item {
    std::string word;
    bool checked = false;
  };

  static constexpr std::string_view kHint =
      "Checked = Add to Dictionary\nUnchecked = Ignore for this Session";
  static constexpr std::string_view kNothingToDo = "Nothing To Do";

  explicit WordCheckCommands(Parts parts);
  ~WordCheckCommands();
  WordCheckCommands(const WordCheckCommands&) = delete;
  WordCheckCommands& operator=(const WordCheckCommands&) = delete;

  // "Check Words": a fresh list, "All Pages" off and offered with two tabs or more.
  void open();
  // The window became active: the work copy shows the page on screen again.
  void activated();
  // "START". False when nothing was checked.
  bool start();
  // "CLOSE" or the window closing otherwise.
  void close();
  // Ticked words into the dictionary, the others into the words ignored this session, each
  // only when its list lacks it.
  void addToDictionary();
  void checkAll(bool checked);
  void setChecked(std::size_t item, bool checked);
  void itemClicked(std::size_t item);
  // Finds the selected word in the work copy after its caret, from the top once none is left.
  void locate();
  // A list button went down (its list fills the work copy) or all are up (None).
  void showList(ListView view);

  void setAllPages(bool on);
  void setShowKeyWords(bool on) { options_.showKeyWords = on; }
  void setIncludeStrings(bool on) { options_.includeStrings = on; }

  const std::vector<Item>& items() const { return items_; }
  // Moves on whenever the words or their ticks change other than one by one.
  std::uint64_t itemsVersion() const { return itemsVersion_; }
  int selected() const { return selected_; }
  const std::string& message() const { return message_; }
  bool allPages() const { return allPages_; }
  bool allPagesEnabled() const { return allPagesEnabled_ && !running_; }
  bool showKeyWords() const { return options_.showKeyWords; }
  bool includeStrings() const { return options_.includeStrings; }
  bool running() const { return running_; }
  ListView listView() const { return listView_; }
  editor::CodeMemo& workCopy() { return *workCopy_; }

  editor::Event<WordCheckCommands> onChanged;
  editor::Event<WordCheckCommands> onShowRequested;

private:
  bool editorBlank() const;
  void loadWorkCopy(std::string_view text);
  void changed() { onChanged.listeners_.notify(); }

  platform::Ui& ui_;
  const editor::CodeMemo& editor_;
  WordLists& lists_;
  std::function<int()> tabCount_;
  std::function<std::vector<std::string>()> pageTexts_;
  WordChecker checker_;
  std::unique_ptr<editor::CodeMemo> workCopy_;

  WordChecker::Options options_;
  std::vector<Item> items_;
  std::uint64_t itemsVersion_ = 0;
  int selected_ = -1;
  std::string message_{kHint};
  bool allPages_ = false;
  bool allPagesEnabled_ = false;
  bool running_ = false;
  ListView listView_ = ListView::None;
};

}  // namespace quillon::language
