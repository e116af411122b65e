#include "settings/window_placements.h"

#include "settings/ini_file.h"

namespace quillon::settings {

void WindowPlacements::read(const IniFile& ini, const platform::ScreenRect& screen) {
  for (std::size_t i = 0; i < kWindows; ++i)
    stored_[i] = readWindowPlacement(ini, static_cast<PlacedWindow>(i), screen);
}

void WindowPlacements::write(IniFile& ini) const {
  for (std::size_t i = 0; i < kWindows; ++i)
    if (reports_[i]) writeWindowPlacement(ini, static_cast<PlacedWindow>(i), reports_[i]());
}

}  // namespace quillon::settings
