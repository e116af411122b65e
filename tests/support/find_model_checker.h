#pragma once
// Drives find and replace over a few small pages with random dialog actions, typing and tab
// changes. After every Find + All on one page the page must equal a plain-string replacement
// of the same matches, the other pages must be untouched, and Revert must put back what the
// pages held when the revert table was last filled. Shared by a fixed-seed test and the
// libFuzzer target.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/workbench.h"
#include "editor/case_fold.h"
#include "editor/code_memo.h"
#include "platform/command_registry.h"
#include "support/build_ports.h"
#include "support/fake_clipboard.h"
#include "support/fake_find_view.h"
#include "support/fake_keyboard.h"
#include "support/fake_main_view.h"
#include "support/fake_printer_port.h"
#include "support/recording_command_states.h"
#include "support/test_program.h"

namespace quillon::testing {

// Answers every question Yes and shows nothing.
class YesUi final : public platform::Ui {
public:
  void showMessage(std::string_view) override {}
  Answer ask(std::string_view, std::string_view, Buttons) override { return answer; }
  Answer answer = Answer::Yes;
  std::optional<std::string> prompt(std::string_view, std::string_view, std::string_view) override {
    return std::nullopt;
  }
  std::vector<std::filesystem::path> openFiles(FileDialog&) override { return {}; }
  std::optional<std::filesystem::path> saveFile(const FileDialog&) override { return std::nullopt; }
  std::optional<std::filesystem::path> pickFolder(std::string_view,
                                                  const std::filesystem::path&) override {
    return std::nullopt;
  }
  void setStatusText(int panel, std::string_view text) override { status_[panel] = text; }
  std::string statusText(int panel) const override {
    return status_.count(panel) ? status_.at(panel) : std::string();
  }
  void setBusy(bool) override {}
  void processPendingMessages() override {}

private:
  std::map<int, std::string> status_;
};

class FindModelChecker {
public:
  using Source = std::function<bool(std::uint32_t&)>;
  using Option = tools::FindReplaceView::Option;

  explicit FindModelChecker(Source next) : next_(std::move(next)) {
    program_.start(bench_);
    openPages();
  }

  // Starts over on the same pages, each holding its first text again unmodified, with a
  // fresh dialog: one checker serves many sessions without the cost of a program start or of
  // opening files each time.
  void reset(Source next) {
    next_ = std::move(next);
    std::uint32_t ignored = 0;
    next_(ignored);  // the page count, which only a new checker takes
    bench_.findReplace().cancel();
    for (int i = 0; i < docs().tabCount(); ++i) {
      if (i == docs().currentTab()) {
        memo().setText(kFirstText);
        memo().clearUndo();
        memo().setModified(false);
        memo().select(0, 0);
      } else {
        pages::Page p = docs().page(i);
        p.text = kFirstText;
        p.modified = false;
        p.caretPos = 0;
        p.topLine = 0;
        docs().writeRecord(i, p);
      }
    }
    view_ = FakeFindView{};
    bench_.findReplace().attachView(&view_);
    bench_.findReplace().pagesChanged();
    docs().fillRevertTable();
    expectedRevert_ = pages();
    dirty_ = false;
  }

private:
  static constexpr const char* kFirstText = "ab a\r\nb A ab\r\n";

  void openPages() {
    bench_.findReplace().attachView(&view_);
    std::uint32_t pages = 0;
    next_(pages);
    std::vector<std::string> names;
    for (std::uint32_t i = 0; i < 1 + pages % 5; ++i) {
      const auto path = program_.folder().path() / ("p" + std::to_string(i) + ".mb");
      writeFile(path, kFirstText);
      names.push_back(path.string());
    }
    docs().openList() = names;
    docs().open(pages::DocumentCommands::Opener::Session);
  }

public:
  // Empty on success, else what went wrong first.
  std::string run(std::size_t maxSteps) {
    for (std::size_t step = 0; step < maxSteps; ++step) {
      std::uint32_t op;
      if (!next_(op)) break;
      const std::string problem = apply(op);
      if (!problem.empty()) return "step " + std::to_string(step) + ": " + problem;
    }
    return {};
  }

private:
  pages::DocumentCommands& docs() { return bench_.documents(); }
  editor::CodeMemo& memo() { return bench_.sourceEditor(); }
  tools::FindReplace& find() { return bench_.findReplace(); }
  std::uint32_t random() {
    std::uint32_t v = 0;
    next_(v);
    return v;
  }
  std::string randomText(std::size_t maxLength, bool breaks) {
    static constexpr const char* kPieces[] = {"a", "b", "A", " ", "\r\n"};
    std::string s;
    const std::size_t n = random() % (maxLength + 1);
    for (std::size_t i = 0; i < n; ++i) s += kPieces[random() % (breaks ? 5 : 4)];
    return s;
  }
  std::vector<std::string> pages() {
    std::vector<std::string> all;
    for (int i = 0; i < docs().tabCount(); ++i)
      all.push_back(i == docs().currentTab() ? memo().text() : docs().page(i).text);
    return all;
  }

  bool separator(char c) const { return c == '\r' || c == '\n' || memo_separators_(c); }
  std::function<bool(char)> memo_separators_ = [this](char c) {
    return bench_.sourceEditor().separators().contains(c);
  };

  bool matchesAt(const std::string& s, std::size_t k, const std::string& what) {
    if (k + what.size() > s.size()) return false;
    const bool matchCase = view_.checked[Option::CaseSensitive];
    const editor::CaseFolder& fold = memo().folder();
    for (std::size_t i = 0; i < what.size(); ++i)
      if (matchCase ? s[k + i] != what[i] : fold.fold(s[k + i]) != fold.fold(what[i])) return false;
    const std::size_t e = k + what.size();
    return !view_.checked[Option::WholeWords] ||
           ((k == 0 || separator(s[k - 1])) && (e >= s.size() || separator(s[e])));
  }

  // The same replacements done on a plain string, left to right from `from`.
  std::string replaced(std::string s, std::size_t from, const std::string& what,
                       const std::string& with) {
    for (std::size_t pos = from; pos + what.size() <= s.size();) {
      std::size_t k = pos;
      while (k + what.size() <= s.size() && !matchesAt(s, k, what)) ++k;
      if (k + what.size() > s.size()) break;
      s.replace(k, what.size(), with);
      pos = k + with.size();
    }
    return s;
  }

  std::string apply(std::uint32_t op) {
    switch (op % 14) {
      case 0:
      case 1: {  // typing
        const std::string before = memo().text();
        memo().select(static_cast<editor::Offset>(random() % (memo().charCount() + 1)), 0);
        if (before.size() < 160) memo().setSelText(randomText(3, true));
        dirty_ = dirty_ || memo().text() != before;
        break;
      }
      case 2: docs().selectTab(static_cast<int>(random() % docs().tabCount())); break;
      case 3:
        memo().select(static_cast<editor::Offset>(random() % (memo().charCount() + 1)), 0);
        find().open();
        expectedRevert_ = pages();
        dirty_ = false;
        break;
      case 4: view_.typeFind(find(), randomText(3, random() % 8 == 0)); break;
      case 5: view_.typeReplace(find(), randomText(3, false)); break;
      case 6: {
        const auto o = Option(random() % tools::FindReplaceView::kOptions);
        if (view_.enabled[o]) view_.tick(find(), o, !view_.checked[o]);
        break;
      }
      case 7: find().find(); break;
      case 8: return replacing([this] { find().next(); });
      case 9: find().skip(); break;
      case 10: return replaceAll();
      case 11: return replacing([this] { find().again(); });
      case 12: return revert();
      case 13: {
        // An undo is the user's change even when it gives the text back as it was (the undone
        // step replaced a match by the same text), so the next replacement fills the table anew.
        const std::string before = memo().text();
        const bool undone = memo().canUndo();
        memo().undo();
        dirty_ = dirty_ || undone || memo().text() != before;
        break;
      }
    }
    return {};
  }

  // A replacement after other changes since the table was filled fills it anew, also one that
  // leaves the text as it was ("a" for a match "A" found ignoring case).
  // Next counts matches in find mode, replacements in replace mode; All only replacements.
  std::string replacing(const std::function<void()>& action, bool countsReplacements = false) {
    const std::vector<std::string> before = pages();
    const bool available = docs().revertAvailable();
    const int counted = find().counter();
    action();
    const bool replaced = pages() != before || ((countsReplacements || find().replaceMode()) &&
                                                find().counter() > counted);
    if (replaced && (dirty_ || !available)) {
      expectedRevert_ = before;
      dirty_ = false;
    }
    return {};
  }

  std::string replaceAll() {
    // "a" by "aa" doubles a page at every run; past this the runs cost only time.
    constexpr std::size_t kMostText = 1024;
    for (const std::string& page : pages())
      if (page.size() > kMostText) return {};
    const bool allPages = view_.checked[Option::AllPages];
    const bool inSelection = view_.checked[Option::SelectedText];
    const std::vector<std::string> before = pages();
    const int tab = docs().currentTab();
    const std::string what = view_.find, with = view_.replace;
    std::string problem;
    // Find changes no text; All counts from what Find left.
    find().find();
    const bool found = view_.status.find(tools::FindReplace::kSearchedToEnd) == std::string::npos;
    const editor::Offset caret = memo().selStart();
    const editor::Offset lower = std::min(caret, caret + memo().selLength());
    const std::string page = before[static_cast<std::size_t>(tab)];
    const bool selectsMatch = memo().selLength() == -static_cast<editor::Offset>(what.size()) &&
                              matchesAt(page, static_cast<std::size_t>(lower), what);
    replacing(
        [&] {
          find().replaceAll();
          if (allPages || inSelection || what.empty() || with.empty() ||
              what.find('\r') != std::string::npos)
            return;
          // A found match is selected and All starts on it. Otherwise Find searched forward from
          // the caret in vain, and what the selection covers before the caret stays, unless it is
          // the last match selected again, which All may replace.
          const std::string expected =
              replaced(page, static_cast<std::size_t>(found ? lower : caret), what, with);
          const std::string alsoRight =
              found ? expected : replaced(page, static_cast<std::size_t>(lower), what, with);
          if (memo().text() != expected && !(selectsMatch && memo().text() == alsoRight))
            problem = "replace all: \"" + what + "\" by \"" + with + "\" gave " + memo().text() +
                      " for " + expected;
          const std::vector<std::string> after = pages();
          for (std::size_t i = 0; i < after.size(); ++i)
            if (static_cast<int>(i) != tab && after[i] != before[i])
              problem = "another page changed";
        },
        true);
    return problem;
  }

  std::string revert() {
    const bool available = docs().revertAvailable();
    const bool all = view_.checked[Option::AllPages];
    bench_.commands().run("find.revert");
    dirty_ = true;
    if (!available) return {};
    const std::vector<std::string> now = pages();
    for (std::size_t i = 0; i < now.size(); ++i)
      if ((all || static_cast<int>(i) == docs().currentTab()) && now[i] != expectedRevert_[i])
        return "revert of page " + std::to_string(i) + " gave " + now[i] + " for " +
               expectedRevert_[i];
    return {};
  }

  Source next_;
  YesUi ui_;
  TestProgram program_;
  // Not WorkbenchPorts: its scripted Ui needs GoogleTest, which the fuzz target does not link.
  FakeMainView view_main_;
  RecordingCommandStates states_;
  FakeKeyboard keyboard_;
  testing::FakeClipboard clipboard_;
  RecordingClock clock_;
  ScriptedLauncher launcher_;
  ScriptedAutomation automation_;
  QueuedMainThread mainThread_;
  FakePrinterPort printer_;
  app::Workbench bench_{{ui_, view_main_, states_, keyboard_, clipboard_, clock_, launcher_,
                         automation_, mainThread_, printer_}};
  FakeFindView view_;
  std::vector<std::string> expectedRevert_;
  bool dirty_ = false;
};

}  // namespace quillon::testing
