#pragma once
#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/main_view.h"

namespace quillon::testing {

// A MainView for tests: remembers what the core last put on each surface.
class FakeMainView : public platform::MainView {
public:
  void setRegionVisible(Region r, bool v) override { visible[r] = v; }
  bool regionVisible(Region r) const override { return !visible.contains(r) || visible.at(r); }
  void setCaption(std::string_view c) override { caption = c; }
  void setTabs(const std::vector<std::string>& captions, int current) override {
    tabs = captions;
    currentTab = current;
  }
  void setWindowMenu(const std::vector<std::string>& captions) override { windowMenu = captions; }
  void setTabMarks(const std::vector<bool>& modified) override {
    tabMarks = modified;
    ++tabMarkSets;
  }
  void setWindowMenuMarks(const std::vector<bool>& modified) override {
    windowMenuMarks = modified;
  }
  void setBookmarkCaption(int slot, std::string_view c) override {
    bookmarkCaptions.at(static_cast<std::size_t>(slot)) = c;
  }
  void setRecentMenus(const std::vector<std::string>& f,
                      const std::vector<std::string>& s) override {
    recentFiles = f;
    sessions = s;
  }
  platform::WindowPlacement windowPlacement() const override { return placement; }
  void setWindowPlacement(const platform::WindowPlacement& p) override { placement = p; }
  platform::ScreenRect screen() const override { return {0, 0, 1024, 768}; }
  void centreWindow() override { ++centred; }
  void setEditorFont(const platform::FontInfo& f) override {
    font = f;
    ++fontSets;
  }
  void setEditorBackground(platform::Color c) override { background = c; }
  void setEditorAltFont(const platform::FontInfo& f) override { altFont = f; }
  std::optional<platform::FontInfo> chooseFont(const platform::FontInfo&) override {
    return fontAnswer;
  }
  void showColorPicker(platform::Color c) override { pickerPreset = c; }
  void setContextItems(const std::vector<std::string>& items, int) override { context = items; }
  void showBottomPanel(BottomPage front) override {
    bottomVisible = true;
    bottomFront = front;
  }
  void hideBottomPanel() override { bottomVisible = false; }
  bool bottomPanelVisible() const override { return bottomVisible; }
  bool bottomPanelShows(BottomPage page) const override {
    return bottomVisible && bottomFront == page;
  }
  bool editorHasFocus() const override { return focus; }
  void focusSourceEditor() override { focus = true; }
  void minimize() override { ++minimized; }
  void bringToFront() override { ++raised; }

  std::map<Region, bool> visible;
  std::string caption;
  std::vector<std::string> tabs;
  int currentTab = -1;
  std::vector<std::string> windowMenu;
  std::vector<bool> tabMarks, windowMenuMarks;
  int tabMarkSets = 0;
  std::vector<std::string> recentFiles, sessions;
  platform::WindowPlacement placement{0, 1, {200, 111, 794, 584}};
  int centred = 0;
  std::array<std::string, 10> bookmarkCaptions{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
  platform::FontInfo font;
  int fontSets = 0;
  platform::FontInfo altFont;
  platform::Color background = platform::kNoColor;
  std::optional<platform::FontInfo> fontAnswer;
  platform::Color pickerPreset = platform::kNoColor;
  std::vector<std::string> context;
  bool focus = true;
  int raised = 0;
  bool bottomVisible = false;
  BottomPage bottomFront = BottomPage::ErrorView;
  int minimized = 0;
};

}  // namespace quillon::testing
