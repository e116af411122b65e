#pragma once
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editor/code_memo_fwd.h"
#include "editor/listener_list.h"
#include "pages/document_commands.h"
#include "pages/recent_list.h"
#include "platform/clock.h"
#include "platform/command_states.h"
#include "platform/ui.h"

namespace quillon::tools {

// The find dialog as the search sees it: six option boxes, the buttons, the two lists and a
// status line. Setting a box or a list from here is not a user's change and is not reported
// back.
class FindReplaceView {
public:
  enum Option { CaseSensitive, WholeWords, PromptOnReplace, SelectedText, FromCursor, AllPages };
  static constexpr int kOptions = 6;
  enum class Button { Find, Next, All, Skip };

  virtual ~FindReplaceView() = default;
  virtual void setStatus(std::string_view text) = 0;
  virtual bool optionChecked(Option option) const = 0;
  virtual void setOptionChecked(Option option, bool checked) = 0;
  virtual bool optionEnabled(Option option) const = 0;
  virtual void setOptionEnabled(Option option, bool enabled) = 0;
  virtual void setButtonEnabled(Button button, bool enabled) = 0;
  // Find and Next share one place; exactly one of them is in front.
  virtual void setFindInFront(bool findInFront) = 0;
  virtual void setNextCaption(std::string_view caption) = 0;
  virtual void setDefaultButton(Button button) = 0;
  virtual std::string findText() const = 0;
  virtual void setFindText(std::string_view text) = 0;
  virtual std::string replaceText() const = 0;
  virtual void setReplaceText(std::string_view text) = 0;
  virtual void setFindItems(const std::vector<std::string>& items) = 0;
  virtual void setReplaceItems(const std::vector<std::string>& items) = 0;
  virtual bool showing() const = 0;
  // Shows the dialog with the focus in the find list.
  virtual void show() = 0;
  virtual void hide() = 0;
  // The dialog's top-left corner on the screen, where the "Replace...." question goes.
  virtual int left() const = 0;
  virtual int top() const = 0;
};

// Find and replace over the source editor, in one page or across all of them: the search
// state kept between uses, the dialog's option rules and button states, the search histories,
// and F3 and Ctrl+G with the dialog closed.
//
// A replacement only ever replaces the last match while the editor still selects exactly it
// and it still matches (selectionIsLastMatch, the one check every replacing path goes
// through); otherwise the search goes on from the caret.
class FindReplace {
public:
  struct Parts {
    platform::Ui& ui;
    platform::CommandStates& states;
    editor::CodeMemo& editor;
    pages::DocumentCommands& documents;
    const platform::Clock& clock;
  };

  explicit FindReplace(Parts parts);
  FindReplace(const FindReplace&) = delete;
  FindReplace& operator=(const FindReplace&) = delete;

  // The dialog; until one is attached a hidden stand-in keeps the options.
  void attachView(FindReplaceView* view);
  FindReplaceView& view() { return *view_; }

  // Opening the dialog (Ctrl+F, bSearch).
  void open();
  // The dialog's events.
  void optionChanged(FindReplaceView::Option option);
  void findTextEdited();
  void replaceTextEdited();
  void find();        // bOK
  void next();        // bNext, F3 and bAgain while enabled, Ctrl+G always
  void skip();        // bSkip
  void replaceAll();  // bAll
  // bCancel, Esc and the window's close box. During a replace-all run it stops the run after
  // the current replacement instead.
  void cancel();
  // F3 and the Again button: Next, only while they are enabled.
  void again();

  // Any change of the set of open pages: the start tab and the last match refer to tabs.
  void pagesChanged();
  // Find's Revert: every page when "All Pages" is checked, else the page on screen.
  void revert();
  // True while a replace-all run hands out pending messages; page and text commands wait.
  bool running() const { return running_; }

  // The histories, most recent first; filled from the settings file at start-up.
  void setHistories(const std::vector<std::string>& finds,
                    const std::vector<std::string>& replaces);
  const std::vector<std::string>& findHistory() const { return findHistory_.entries(); }
  const std::vector<std::string>& replaceHistory() const { return replaceHistory_.entries(); }

  // Status texts.
  static constexpr std::string_view kReady = "Ready";
  static constexpr std::string_view kFound = "FOUND: ";
  static constexpr std::string_view kReplaced = "REPLACED: ";
  static constexpr std::string_view kSearchedToEnd = "  >> SEARCHED TO END";
  static constexpr std::string_view kSearchedToEndBox = "Searched To End";
  static constexpr std::string_view kReplaceQuestion = "Replace....";

  int counter() const { return counter_; }
  bool replaceMode() const { return mode_ == Mode::replace; }

private:
  enum class Mode { find, replace };
  struct LastMatch {
    bool valid = false;
    int tab = 0;
    editor::Offset start = 0;
  };

  bool checked(FindReplaceView::Option o) const { return view_->optionChecked(o); }
  void setAgainEnabled(bool on);
  void setStatus(const std::string& text) { view_->setStatus(text); }
  void searchedToEndBox();
  // One search forward from the caret with the options and the region check; the editor
  // selects the match, or keeps its selection when there is none.
  bool findInPage();
  void matchFound();
  bool selectionIsLastMatch() const;
  // Replaces the selected match; false (nothing changed) on a read-only editor.
  bool replaceSelected();
  // The next tab of an all-pages run; false at the start tab.
  bool nextPageOfRun();
  void closeUndoStep();
  void selectLast(std::size_t length);
  void refreshView(bool force);
  void openedWithSelection(editor::Offset lower, editor::Offset length);
  void selectedTextRules();
  void endReplaceRun();  // step 5 of both replacing commands
  bool searchOnce();

  platform::Ui& ui_;
  platform::CommandStates& states_;
  editor::CodeMemo& editor_;
  pages::DocumentCommands& documents_;
  const platform::Clock& clock_;
  std::unique_ptr<FindReplaceView> hidden_;
  FindReplaceView* view_;

  std::string findText_;
  std::string replaceText_;
  Mode mode_ = Mode::find;
  bool found_ = false;
  editor::Offset matchStart_ = -1;
  int counter_ = 0;
  editor::Offset regionStart_ = 0;
  editor::Offset regionEnd_ = 0;
  bool hadSelection_ = false;
  int startTab_ = 0;
  LastMatch last_;
  int runStartTab_ = 0;
  bool running_ = false;
  bool cancelled_ = false;
  bool undoStepOpen_ = false;
  // Text changed by anything but a replacement since the revert table was filled.
  bool changedSinceFill_ = false;
  bool ownEdit_ = false;
  platform::Clock::TimePoint lastRefresh_{};
  pages::RecentList findHistory_{std::numeric_limits<std::size_t>::max()};
  pages::RecentList replaceHistory_{std::numeric_limits<std::size_t>::max()};
  editor::Subscription textChanges_;
  editor::Subscription pageChanges_;
};

}  // namespace quillon::tools
