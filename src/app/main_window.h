#pragma once
#include <QMainWindow>
#include <QPoint>
#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/qt_action_states.h"
#include "app/start_surroundings.h"
#include "editor/listener_list.h"
#include "editor/qt_clipboard.h"
#include "editor/qt_printer_port.h"
#include "pages/qt_load_view.h"
#include "platform/clock.h"
#include "platform/command_registry.h"
#include "platform/command_states.h"
#include "platform/file_association.h"
#include "platform/keyboard_state.h"
#include "platform/main_view.h"
#include "platform/posix_process_launcher.h"
#include "platform/qt_main_thread.h"
#include "platform/ui.h"
#include "platform/wine_automation.h"

class QAction;
class QFrame;
class QMenu;
class QSplitter;
class QStackedWidget;
class QTabBar;
class QToolButton;

namespace quillon::build {
class BuildOutputWidget;
}

namespace quillon::editor {
class CodeMemoWidget;
class CodeGutterWidget;
}  // namespace quillon::editor

namespace quillon::language {
class ColorComboWidget;
}

namespace quillon::language {
class ContextListWidget;
class KeysDictDialog;
class OutlineTreeWidget;
class WordCheckWindow;
}  // namespace quillon::language

namespace quillon::tools {
class CharMapWindow;
class FindReplaceDialog;
}  // namespace quillon::tools

namespace quillon::app {

class StatusBarWidget;
class Workbench;

// The program's one window. It builds the menus, the toolbar, the panels and the status bar,
// routes every action to the Workbench and shows what the core asks for: it is the core's
// Ui and MainView, and its ActionStates are the core's CommandStates. Behaviour lives in
// the Workbench, not here.
class MainWindow : public QMainWindow, public platform::Ui, public platform::MainView {
  Q_OBJECT

public:
  explicit MainWindow(const platform::KeyboardState& keyboard, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Runs the start-up steps; `arguments` are the command-line arguments after the program.
  // Without `surroundings` the process environment and the desktop's file associations.
  void start(const std::filesystem::path& programFile, const std::vector<std::string>& arguments,
             std::optional<StartSurroundings> surroundings = std::nullopt);
  // Another copy of the program asked this one to come forward.
  void anotherCopyStarted();

  Workbench& workbench() { return *workbench_; }
  editor::CodeMemoWidget& sourceEditorWidget() { return *sourceEditor_; }
  platform::CommandStates& commandStates() { return states_; }
  QAction* action(platform::Command command) const { return states_.action(command); }
  language::WordCheckWindow& wordCheckWindow() { return *wordCheck_; }
  tools::FindReplaceDialog& findDialog() { return *findDialog_; }
  tools::CharMapWindow& charMapWindow();  // made on first use

  // Ui
  void showMessage(std::string_view text) override;
  Answer ask(std::string_view caption, std::string_view text, Buttons buttons) override;
  Answer askAt(std::string_view caption, std::string_view text, Buttons buttons, int left,
               int top) override;
  std::optional<std::string> prompt(std::string_view caption, std::string_view question,
                                    std::string_view preset) override;
  std::vector<std::filesystem::path> openFiles(FileDialog& dialog) override;
  std::optional<std::filesystem::path> saveFile(const FileDialog& dialog) override;
  std::optional<std::filesystem::path> pickFolder(std::string_view caption,
                                                  const std::filesystem::path& start) override;
  void setStatusText(int panel, std::string_view text) override;
  std::string statusText(int panel) const override;
  void setBusy(bool busy) override;
  void processPendingMessages() override;

  // MainView
  void setRegionVisible(Region region, bool visible) override;
  bool regionVisible(Region region) const override;
  void setCaption(std::string_view caption) override;
  void setTabs(const std::vector<std::string>& captions, int current) override;
  void setWindowMenu(const std::vector<std::string>& captions) override;
  void setTabMarks(const std::vector<bool>& modified) override;
  void setWindowMenuMarks(const std::vector<bool>& modified) override;
  void setBookmarkCaption(int slot, std::string_view caption) override;
  void setEditorFont(const platform::FontInfo& font) override;
  void setEditorBackground(platform::Color color) override;
  void setEditorAltFont(const platform::FontInfo& font) override;
  std::optional<platform::FontInfo> chooseFont(const platform::FontInfo& current) override;
  void showColorPicker(platform::Color current) override;
  void setRecentMenus(const std::vector<std::string>& files,
                      const std::vector<std::string>& sessions) override;
  platform::WindowPlacement windowPlacement() const override;
  void setWindowPlacement(const platform::WindowPlacement& placement) override;
  platform::ScreenRect screen() const override;
  void centreWindow() override;
  void setContextItems(const std::vector<std::string>& items, int extent) override;
  void showBottomPanel(BottomPage front) override;
  void hideBottomPanel() override;
  bool bottomPanelVisible() const override;
  bool bottomPanelShows(BottomPage page) const override;
  std::vector<editor::CodeMemoWidget*> bottomEditors() const;
  QWidget* bottomWidget(BottomPage page) const;
  bool editorHasFocus() const override;
  void focusSourceEditor() override;
  void minimize() override;
  void bringToFront() override;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void changeEvent(QEvent* event) override;

private:
  using Handler = std::function<void()>;
  void registerWindowRows();
  // The registered row a layout item names; a name nobody registered is a programming error.
  const platform::CommandRow& layoutRow(std::string_view id) const;
  QAction* rowAction(const platform::CommandRow& row, QObject* owner);
  void fillMenu(QMenu* menu, const std::vector<std::string_view>& items, bool popup);
  void fillList(const std::string& id, const std::vector<std::string>& captions);
  QToolButton* button(const platform::CommandRow& row);
  void runCommand(const Handler& run);
  // The find dialog's own actions, which go on while a replace-all run holds the rest.
  void runTool(const Handler& run);
  void placeMainWindow();
  Answer question(std::string_view caption, std::string_view text, Buttons buttons,
                  std::optional<QPoint> at);
  void buildTools();
  void buildMenus();
  void buildToolbar();
  void buildPanels();
  void showAbout();
  void showKeysDict();
  void editKeywords(const std::string& typed = {});

  editor::QtClipboard clipboard_;
  platform::SystemClock clock_;
  platform::PosixProcessLauncher launcher_{platform::Environment::fromProcess()};
  platform::QtMainThread mainThread_;
  platform::WineAutomation automation_;
  editor::QtPrinterPort printerPort_{*this, this};
  std::unique_ptr<platform::AssociationStore> associations_;
  std::unique_ptr<Workbench> workbench_;
  std::unique_ptr<pages::QtLoadView> loadView_;
  ActionStates states_;
  int busyDepth_ = 0;

  QFrame* toolbar_ = nullptr;
  language::ColorComboWidget* bgColor_ = nullptr;
  QToolButton* searchButton_ = nullptr;
  // Every action made for a row, by the row's id: a row may show in a menu and a pop-up.
  std::multimap<std::string, QAction*> rowActions_;
  // Where the rows of each registered list go: before `end`, or at the end of the menu.
  struct ListPlace {
    QMenu* menu = nullptr;
    QAction* end = nullptr;
    std::vector<QAction*> entries;
  };
  std::map<std::string, ListPlace> lists_;
  QMenu* editorMenu_ = nullptr;
  QMenu* contextMenu_ = nullptr;
  QSplitter* bottomSplitter_ = nullptr;
  QStackedWidget* bottomPanel_ = nullptr;
  editor::CodeMemoWidget* errorView_ = nullptr;
  language::ContextListWidget* contextList_ = nullptr;
  build::BuildOutputWidget* buildOutput_ = nullptr;
  editor::CodeMemoWidget* referenceView_ = nullptr;
  QTabBar* tabBar_ = nullptr;
  QSplitter* codeInfoSplitter_ = nullptr;
  QWidget* codeInfoPanel_ = nullptr;
  int codeInfoWidth_ = 0;  // the panel's width while it is hidden
  language::OutlineTreeWidget* outlineTree_ = nullptr;
  language::KeysDictDialog* keysDict_ = nullptr;
  editor::CodeGutterWidget* gutter_ = nullptr;
  editor::CodeMemoWidget* sourceEditor_ = nullptr;
  StatusBarWidget* statusBar_ = nullptr;
  language::WordCheckWindow* wordCheck_ = nullptr;
  bool wordCheckShown_ = false;
  editor::Subscription wordCheckShownWatch_;
  tools::FindReplaceDialog* findDialog_ = nullptr;
  tools::CharMapWindow* charMapWindow_ = nullptr;
  editor::Subscription charMapShownWatch_;
};

}  // namespace quillon::app
