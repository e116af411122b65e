#include "build/project_commands.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "build/project_file.h"
#include "build/project_paths.h"
#include "editor/code_memo.h"
#include "platform/ascii_text.h"
#include "platform/wine_registry.h"

namespace quillon::build {

namespace fs = std::filesystem;
using pages::DocumentCommands;
using pages::PageTable;
using platform::Command;

namespace {

std::string fileNamePart(const std::string& name) { return fs::path(name).filename().string(); }

}  // namespace

ProjectCommands::ProjectCommands(Parts parts)
    : ui_(parts.ui),
      states_(parts.states),
      editor_(parts.sourceEditor),
      documents_(parts.documents),
      bookmarks_(parts.bookmarks),
      errorPanel_(parts.errorPanel),
      // A lone project dropped on the window opens with its modules.
      dropWatch_(documents_.projectDropped.listen(
          [this](const std::string& project) { select(project); })) {}

void ProjectCommands::enableLink() {
  states_.setEnabled(Command::bLink, Command::Link1, true);
  states_.setEnabled(Command::bCompile, Command::Compile1, false);
}

void ProjectCommands::newProject() {
  if (documents_.tabCount() >= PageTable::kMaxTabs) {
    setMessage(PageTable::kTooManyPages);
    return;
  }
  documents_.newPage();
  const int tab = documents_.currentTab();
  // A reused page may have been an empty file; the new project has no name yet.
  documents_.setTabCaption(tab, DocumentCommands::kUntitled);
  documents_.setCurrentDocument(DocumentCommands::kUntitled, "mbp");
  std::string text;
  for (const char* line : ProjectFile::kTemplate)
    text += std::string(text.empty() ? "" : "\r\n") + line;
  editor_.setText(text);
  editor_.select(0, 0);
  editor_.setTopLine(0);
  editor_.setModified(true);
  states_.setEnabled(Command::bSave, true);

  pages::Page page = documents_.page(tab);
  page.text = editor_.text();
  page.fileName = DocumentCommands::kUntitled;
  page.ext = ".mbp";
  page.topLine = 0;
  page.caretPos = 0;
  page.modified = true;
  documents_.writeRecord(tab, std::move(page));
  enableLink();
}

void ProjectCommands::select(std::optional<std::string> project) {
  if (!project) {
    platform::Ui::FileDialog dialog;
    dialog.title = "Open Project....";
    dialog.filter = kOpenFilter;
    dialog.filterIndex = 1;
    dialog.initialDir = documents_.projectFolder();
    const std::vector<fs::path> chosen = ui_.openFiles(dialog);
    if (chosen.empty()) return;
    project = chosen.front().string();
  }
  // A project that cannot be read has been reported by Open; its modules are not looked for.
  const int projectTab = documents_.openAsPage(*project);
  if (projectTab < 0) return;

  // The modules are those of the page the user sees, which is the file unless he has
  // already changed it.
  std::vector<std::string> values;
  for (std::int64_t i = 0; i < editor_.paragraphCount(); ++i)
    if (auto value = ProjectFile::moduleValue(editor_.paragraphText(i)))
      values.push_back(std::move(*value));
  if (values.empty()) {
    ui_.showMessage("Error In MBP Structure");
    return;
  }

  const platform::WineRegistry drives =
      platform::WineRegistry::fromText({}, {}, environment_.winePrefixFolder());
  const ProjectPaths paths(documents_.currentFile(), drives);
  std::vector<std::string> sources;
  std::string missing;
  int boxes = 0;
  for (const std::string& value : values) {
    const std::string source = ProjectFile::sourceName(value);
    if (const std::optional<fs::path> found = paths.findFile(source)) {
      sources.push_back(found->string());
      continue;
    }
    const std::optional<fs::path> local = paths.localPath(source);
    const std::string shown = local ? local->string() : source;
    if (boxes++ < kMaxMissingBoxes)
      ui_.showMessage("Can Not Locate Source For:\n\n" + shown + "\n\nSkipping....");
    missing += "\r\n" + shown;
  }

  documents_.openList() = sources;
  documents_.open(DocumentCommands::Opener::Project);
  ui_.processPendingMessages();
  documents_.selectTab(projectTab);
  enableLink();
  if (!missing.empty()) {
    errorPanel_.showText("Can Not Locate Source for:\r\n" + missing);
    errorPanel_.show();
  }
}

std::string ProjectCommands::projectPath(const std::string& file, const char* extension) const {
  fs::path path(file);
  path.replace_extension(extension);
  // "Untitled" names no file; it is written as it stands.
  if (!path.has_parent_path()) return path.string();
  const fs::path prefix = environment_.winePrefixFolder();
  std::error_code ec;
  if (prefix.empty() || !fs::is_directory(prefix / "dosdevices", ec)) return path.string();
  return platform::WineRegistry::fromText({}, {}, prefix).toWindowsPath(path);
}

void ProjectCommands::createFromPages() {
  bool blank = true;
  for (std::int64_t i = 0; blank && i < editor_.paragraphCount(); ++i)
    blank = platform::trim(editor_.paragraphText(i)).empty();
  if (documents_.tabCount() == 1 &&
      documents_.tabCaptions().front() == DocumentCommands::kUntitled && blank) {
    ui_.showMessage("Nothing To Create");
    return;
  }
  // New would refuse, and the project must not take the place of a page that is open.
  if (documents_.tabCount() >= PageTable::kMaxTabs) {
    setMessage(PageTable::kTooManyPages);
    return;
  }
  platform::Ui::FileDialog dialog;
  dialog.title = "New Project Name....";
  dialog.filter = DocumentCommands::kSaveFilter;
  dialog.filterIndex = 2;
  dialog.defaultExt = "mbp";
  dialog.initialDir = documents_.projectFolder();
  // Saving the project will replace the file chosen.
  dialog.overwritePrompt = true;
  const std::optional<fs::path> chosen = ui_.saveFile(dialog);
  if (!chosen || chosen->empty()) return;
  const std::string name = chosen->string();

  std::vector<std::string> modules;
  for (int i = 0; i < documents_.tabCount(); ++i)
    modules.push_back(projectPath(
        i == documents_.currentTab() ? documents_.currentFile() : documents_.page(i).fileName,
        ".mbo"));
  const std::string text = ProjectFile::linkText(projectPath(name, ".mbx"), modules);

  documents_.newPage();
  ui_.processPendingMessages();
  const int tab = documents_.currentTab();
  editor_.setText(text);
  editor_.select(0, 0);
  documents_.setTabCaption(tab, fileNamePart(name));
  documents_.setCurrentDocument(name, "mbp");
  // Not written yet: closing it must ask.
  editor_.setModified(true);
  documents_.savePageState(tab);
  ui_.processPendingMessages();
  setPageAsFirst();
  enableLink();
  documents_.refreshWindowList();
}

void ProjectCommands::setPageAsFirst() {
  const int k = documents_.currentTab();
  if (k <= 0) return;
  documents_.savePageState(PageTable::kSpare);
  for (int i = k; i >= 1; --i) {
    documents_.writeRecord(i, documents_.page(i - 1));
    documents_.setTabCaption(i, fileNamePart(documents_.page(i).fileName));
  }
  ui_.processPendingMessages();
  documents_.makeCurrent(0);
  documents_.writeRecord(0, documents_.page(PageTable::kSpare));
  documents_.restorePageState(0);
  documents_.setTabCaption(0, fileNamePart(documents_.currentFile()));
  bookmarks_.restoreBookmarks();
  documents_.writeRecord(PageTable::kSpare, pages::Page{});
}

}  // namespace quillon::build
