#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/color.h"
#include "platform/font_info.h"
#include "platform/window_placement.h"

namespace quillon::platform {

// The main window's own surfaces as the core switches them: regions shown or hidden, the
// caption and tab captions, the font and colour of the editors, and the two pickers that
// belong to the window rather than to Ui.
class MainView {
public:
  enum class Region { Toolbar, StatusBar, Gutter, ColorPicker, CodeInfo };

  virtual ~MainView() = default;

  virtual void setRegionVisible(Region region, bool visible) = 0;
  virtual bool regionVisible(Region region) const = 0;
  virtual void setCaption(std::string_view caption) = 0;
  // The tab strip shows exactly these tabs with `current` selected; setting them is not a
  // user's tab change.
  virtual void setTabs(const std::vector<std::string>& captions, int current) = 0;
  // The "&Window" menu's items, in order.
  virtual void setWindowMenu(const std::vector<std::string>& captions) = 0;
  // The modified mark of each tab, and of each item of the "&Window" menu as last set; the
  // captions stay as they are.
  virtual void setTabMarks(const std::vector<bool>& modified) = 0;
  virtual void setWindowMenuMarks(const std::vector<bool>& modified) = 0;
  // The four menu items of bookmark slot 0-9 ("Set", "Goto" and the editor menu's two).
  virtual void setBookmarkCaption(int slot, std::string_view caption) = 0;

  // Font and background of the source editor, the gutter and the error view together.
  virtual void setEditorFont(const FontInfo& font) = 0;
  virtual void setEditorBackground(Color color) = 0;
  // The font of keywords with the alternate-font style, in the source editor.
  virtual void setEditorAltFont(const FontInfo& font) = 0;
  // nullopt when the dialog is cancelled.
  virtual std::optional<FontInfo> chooseFont(const FontInfo& current) = 0;
  // Shows the colour combo preset with `current`; the choice comes back later through
  // Workbench::backgroundChosen.
  virtual void showColorPicker(Color current) = 0;

  // The "ReOpen" submenu (also bOpen's drop-down) and the "Last Sessions" submenu.
  virtual void setRecentMenus(const std::vector<std::string>& files,
                              const std::vector<std::string>& sessions) = 0;

  // The window on the screen: its stored placement, the screen it is on, and centring.
  virtual WindowPlacement windowPlacement() const = 0;
  virtual void setWindowPlacement(const WindowPlacement& placement) = 0;
  virtual ScreenRect screen() const = 0;
  virtual void centreWindow() = 0;

  // The context list's lines; `extent` is its horizontal scroll width in pixels, -1 to keep it.
  virtual void setContextItems(const std::vector<std::string>& items, int extent) = 0;

  // The bottom panel holds the error view, the context list, the build output and the reference
  // list, one in front. Showing it places its splitter directly above it.
  enum class BottomPage { ErrorView, ContextList, BuildOutput, References };
  virtual void showBottomPanel(BottomPage front) = 0;
  virtual void hideBottomPanel() = 0;
  virtual bool bottomPanelVisible() const = 0;
  // The panel is visible with `page` in front.
  virtual bool bottomPanelShows(BottomPage page) const = 0;

  virtual bool editorHasFocus() const = 0;
  virtual void focusSourceEditor() = 0;
  virtual void minimize() = 0;
  // Un-minimises the window and brings it to the front.
  virtual void bringToFront() = 0;
};

}  // namespace quillon::platform
