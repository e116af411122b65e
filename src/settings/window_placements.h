#pragma once
#include <array>
#include <functional>
#include <optional>

#include "platform/window_placement.h"
#include "settings/settings.h"

namespace quillon::settings {

class IniFile;

// Where the main window and each tool window stand. Invariant: the stored placements are the
// ones the settings file held at start-up (read once), and every window that was ever shown
// is asked for its geometry at the close query, open or hidden then; write() is the one place
// that puts placements into the file.
class WindowPlacements {
public:
  // The window's geometry now; a hidden window reports where it stood last.
  using Report = std::function<platform::WindowPlacement()>;

  void read(const IniFile& ini, const platform::ScreenRect& screen);
  std::optional<platform::WindowPlacement> stored(PlacedWindow window) const {
    return stored_[index(window)];
  }
  // The window is shown for the first time; from now on it is asked at the close query.
  void shown(PlacedWindow window, Report report) { reports_[index(window)] = std::move(report); }
  void write(IniFile& ini) const;

private:
  static constexpr std::size_t kWindows = 4;
  static std::size_t index(PlacedWindow window) { return static_cast<std::size_t>(window); }

  std::array<std::optional<platform::WindowPlacement>, kWindows> stored_{};
  std::array<Report, kWindows> reports_{};
};

}  // namespace quillon::settings
