#include "app/menu_layout.h"

namespace quillon::app {

namespace {

// The ten rows of a bookmark submenu.
const std::vector<std::string_view> kSetSlots = {
    "bookmarks.set.0", "bookmarks.set.1", "bookmarks.set.2", "bookmarks.set.3", "bookmarks.set.4",
    "bookmarks.set.5", "bookmarks.set.6", "bookmarks.set.7", "bookmarks.set.8", "bookmarks.set.9"};
const std::vector<std::string_view> kGotoSlots = {
    "bookmarks.goto.0", "bookmarks.goto.1", "bookmarks.goto.2", "bookmarks.goto.3",
    "bookmarks.goto.4", "bookmarks.goto.5", "bookmarks.goto.6", "bookmarks.goto.7",
    "bookmarks.goto.8", "bookmarks.goto.9"};

std::vector<std::string_view> join(std::initializer_list<std::vector<std::string_view>> parts) {
  std::vector<std::string_view> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

}  // namespace

const std::vector<MenuLayout>& menuBarLayout() {
  static const std::vector<MenuLayout> layout = {
      {"&File",
       {"file.new",
        "file.open",
        "ReOpen>",
        "@recent.files",
        "-",
        "recent.clearFiles",
        "<",
        "Last Sessions>",
        "@recent.sessions",
        "-",
        "recent.clearSessions",
        "<",
        "-",
        "project.pageAsFirst",
        "-",
        "file.save",
        "file.saveAs",
        "file.saveAll",
        "-",
        "file.closePage",
        "file.closeAll",
        "-",
        "file.insert",
        "-",
        "file.preview",
        "file.print",
        "-",
        "file.exit"}},
      {"Project",
       {"project.new", "project.select", "project.fromPages", "-", "project.compile",
        "project.link", "project.run", "project.stopBuild", "-", "project.autoSave",
        "project.showDoneBox", "-", "project.showErrors", "errors.next", "errors.previous",
        "project.buildOutput"}},
      {"&Edit",
       {"edit.undo", "edit.redo", "-", "edit.cut", "edit.copy", "edit.paste", "edit.selectAll", "-",
        "edit.indent", "edit.outdent", "-", "edit.checkWords", "edit.charMap"}},
      {"Find", {"find.findReplace", "find.next", "find.revert", "-", "find.goToLine"}},
      {"BookMarks",
       join({{"Set>"}, kSetSlots, {"<", "Goto>"}, kGotoSlots, {"<", "-", "bookmarks.clearAll"}})},
      {"CodeInfo",
       {"codeinfo.show", "codeinfo.rescan", "codeinfo.sorted", "-", "codeinfo.goToDefinition",
        "codeinfo.findReferences", "codeinfo.back"}},
      {"Options",
       {"options.font",
        "options.background",
        "-",
        "options.highlighting",
        "options.refreshHighlighting",
        "-",
        "options.toolbar",
        "options.statusBar",
        "options.lineNumbers",
        "options.helpContext",
        "-",
        "options.wordWrap",
        "options.cursorPastEnd",
        "options.cursorWidth",
        "options.tabStops",
        "options.autoIndent",
        "-",
        "options.defaultEditor",
        "-",
        "options.programFolders"}},
      {"Keys/Dict", {}, "keysdict.open"},
      {"&Window", {"@window.pages"}},
      {"&Help", {"help.mapbasic", "help.quillon", "-", "help.about"}},
  };
  return layout;
}

const std::vector<MenuLayout>& popupLayout() {
  static const std::vector<MenuLayout> layout = {
      // The source editor's own menu.
      {"Pop1", join({{"file.closePage", "-", "edit.cut=Cut", "edit.copy=Copy", "edit.paste=Paste",
                      "-", "find.goToLine=Go To Line...", "Set Bookmark>"},
                     kSetSlots,
                     {"<", "Goto Bookmark>"},
                     kGotoSlots,
                     {"<"}})},
      // The context list's menu.
      {"Pop2", {"context.ignore", "context.addToDictionary", "context.addToKeywords"}},
  };
  return layout;
}

const std::vector<std::string_view>& windowKeyLayout() {
  static const std::vector<std::string_view> layout = {};
  return layout;
}

const std::vector<std::string_view>& toolbarLayout() {
  static const std::vector<std::string_view> layout = {"bNew",     "bOpen@recent.files",
                                                       "bSave",    "bClose",
                                                       "-",        "bCompile",
                                                       "bLink",    "bRun",
                                                       "bError",   "-",
                                                       "bSearch",  "bAgain",
                                                       "-",        "bCut",
                                                       "bCopy",    "bPaste",
                                                       "-",        "bUndo",
                                                       "bRedo",    "-",
                                                       "bPreview", "bPrint",
                                                       "-",        "bWrap"};
  return layout;
}

}  // namespace quillon::app
