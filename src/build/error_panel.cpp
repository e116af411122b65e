#include "build/error_panel.h"

#include <algorithm>

#include "build/error_line.h"
#include "editor/code_memo.h"
#include "pages/text_file.h"
#include "platform/any_case_file.h"
#include "platform/ascii_text.h"
#include "platform/file_identity.h"

namespace quillon::build {

namespace fs = std::filesystem;
using platform::Command;

namespace {

// A name that could reach outside the folder it is looked up in.
bool leavesFolder(const std::string& name) {
  return name.find('/') != std::string::npos || name.find('\\') != std::string::npos ||
         name.find("..") != std::string::npos;
}

bool sameFolder(const fs::path& a, const fs::path& b) {
  if (a.empty() || b.empty()) return false;
  const std::string key = platform::fileKey(a.string());
  return a == b || (!key.empty() && key == platform::fileKey(b.string()));
}

}  // namespace

ErrorPanel::ErrorPanel(Parts parts)
    : ui_(parts.ui),
      view_(parts.view),
      states_(parts.states),
      sourceEditor_(parts.sourceEditor),
      errorView_(parts.errorView),
      documents_(parts.documents),
      errorFileWatch_(documents_.errorFileShown.listen(
          [this](const std::filesystem::path& file) { setErrorFile(file); })) {}

bool ErrorPanel::showing() const { return states_.checked(Command::ShowErrors1); }

void ErrorPanel::toggle() {
  const bool on = !states_.checked(Command::ShowErrors1);
  states_.setChecked(Command::ShowErrors1, Command::bError, on);
  if (!view_.bottomPanelVisible()) {
    view_.showBottomPanel(platform::MainView::BottomPage::ErrorView);
    ui_.processPendingMessages();
    sourceEditor_.scrollInView();
  }
  if (!on) {
    view_.hideBottomPanel();
    return;
  }
  view_.showBottomPanel(platform::MainView::BottomPage::ErrorView);
  states_.setChecked(Command::HelpContext1, false);
}

void ErrorPanel::show() {
  if (!showing() || !view_.bottomPanelVisible()) {
    if (showing()) states_.setChecked(Command::ShowErrors1, Command::bError, false);
    toggle();
  }
}

bool ErrorPanel::load(const fs::path& file) {
  errorView_.clear();
  setErrorFile({});
  try {
    pages::loadErrorFile(errorView_, file);
  } catch (const std::exception&) {
    errorView_.clear();
    return false;
  }
  setErrorFile(file);
  return true;
}

void ErrorPanel::clear() {
  errorView_.clear();
  setErrorFile({});
}

void ErrorPanel::showText(std::string_view text) {
  errorView_.setText(text);
  setErrorFile({});
}

void ErrorPanel::setErrorFile(const fs::path& file) {
  errorFile_ = file;
  jumped_ = false;
}

int ErrorPanel::pageFor(const std::string& name) {
  const fs::path errorFolder = errorFile_.parent_path();
  int match = -1;
  for (int i = 0; i < documents_.tabCount(); ++i) {
    if (!platform::equalsNoCase(documents_.tabCaptions()[static_cast<std::size_t>(i)], name))
      continue;
    if (match < 0) match = i;
    // Of two pages with the name, the one beside the error file is meant.
    const std::string& file =
        i == documents_.currentTab() ? documents_.currentFile() : documents_.page(i).fileName;
    if (sameFolder(fs::path(file).parent_path(), errorFolder)) return i;
  }
  if (match >= 0 || name.empty()) return match;

  if (!leavesFolder(name)) {
    std::vector<fs::path> folders;
    if (!errorFolder.empty()) folders.push_back(errorFolder);
    if (mapBasicFolder_) folders.push_back(mapBasicFolder_());
    for (const fs::path& folder : folders) {
      if (folder.empty()) continue;
      const std::optional<fs::path> found = platform::findAnyCase(folder / name);
      std::error_code ec;
      if (found && fs::is_regular_file(*found, ec)) return documents_.openAsPage(found->string());
    }
  }
  // The compiler names an included file as its Include wrote it: a click finds it as F8 does.
  const fs::path from =
      errorFolder.empty() ? fs::path(documents_.currentFile()).parent_path() : errorFolder;
  if (const std::optional<fs::path> found = includes_.resolve(name, from))
    return documents_.openAsPage(found->string());
  return -1;
}

void ErrorPanel::mouseReleasedAt(int y) {
  const int lh = errorView_.lineHeight();
  if (lh > 0 && errorView_.lineCount() > 0) {
    const std::int64_t line = std::clamp<std::int64_t>((errorView_.scrollY() + std::max(y, 0)) / lh,
                                                       0, errorView_.lineCount() - 1);
    errorView_.setSelStart(errorView_.offsetOfLine(line));
  }
  jump();
}

void ErrorPanel::setSurroundings(const platform::Environment& environment,
                                 std::function<fs::path()> mapBasicFolder) {
  mapBasicFolder_ = mapBasicFolder;
  includes_.setSurroundings(environment, std::move(mapBasicFolder));
}

void ErrorPanel::jumpToFirstLine() {
  errorView_.setSelStart(0);
  jump();
}

bool ErrorPanel::viewIsEmpty() const { return errorView_.charCount() == 0; }

void ErrorPanel::jump() {
  jumped_ = true;
  const std::int64_t line = errorView_.selPar();
  const std::string text = line >= 0 && line < errorView_.paragraphCount()
                               ? std::string(errorView_.paragraphText(line))
                               : std::string();
  const ErrorLine error = ErrorLine::parse(text);
  if (error.kind == ErrorLine::Kind::NoLineText) {
    setMessage(kCannotLocate);
    return;
  }
  if (error.kind == ErrorLine::Kind::NotDigit) return;
  try {
    // Opening the page and moving the caret rewrite the message panel; what it said before
    // (a build's result) stays.
    const std::string message = ui_.statusText(platform::Ui::kMessagePanel);
    const int tab = pageFor(error.fileName);
    if (tab < 0) {
      setMessage(kFileNotOpen + error.fileName);
      return;
    }
    documents_.showPage(tab);
    if (!error.lineNumber) {
      setMessage(kCannotLocate);
      return;
    }
    // Paragraph, not display line: with word wrap on the two differ.
    sourceEditor_.setSelPar(static_cast<std::int64_t>(*error.lineNumber) - 1);
    sourceEditor_.setSelCol(0);
    sourceEditor_.scrollInView();

    errorView_.setSelPar(line);
    errorView_.setSelCol(0);
    ui_.processPendingMessages();
    errorView_.setSelLength(
        static_cast<editor::Offset>(errorView_.paragraphText(errorView_.selPar()).size()));
    view_.focusSourceEditor();
    setMessage(message);
  } catch (const std::exception&) {
    setMessage(kCannotLocate);
  }
}

void ErrorPanel::nextError(bool forward) {
  const std::int64_t count = errorView_.paragraphCount();
  if (errorView_.charCount() == 0) return;
  std::int64_t from = errorView_.selPar();
  if (!jumped_) from = forward ? count - 1 : 0;  // the first F8 finds the first line
  const auto next =
      nextLeadingLine([this](std::int64_t i) { return std::string(errorView_.paragraphText(i)); },
                      count, from, forward);
  if (!next) {
    setMessage(kCannotLocate);
    return;
  }
  show();
  errorView_.setSelPar(*next);
  jump();
}

}  // namespace quillon::build
