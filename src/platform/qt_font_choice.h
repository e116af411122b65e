#pragma once
#include <QFont>

#include "platform/font_info.h"

namespace quillon::platform {

// Stored font names are Windows names ("Courier New", "MS Sans Serif") that fontconfig
// substitutes. These keep what the user chose and what is drawn apart, so that a font
// dialog opened and confirmed without a change stores exactly what was stored before.

// The editor's text font for a stored one: the stored family, or fontconfig's substitute
// when that is fixed-pitch too; else the system's fixed-pitch font, in the stored size and
// style. Sizes outside 4 to 72 points are drawn at the nearest of the two.
QFont fixedPitchFont(const FontInfo& stored);
// The family fontconfig actually draws for `font`.
QString drawnFamily(const QFont& font);
// What a font dialog preselects for the drawn font: its drawn family, size and style.
QFont dialogPreset(const QFont& drawn);
// The dialog's answer in stored form: `stored` itself when family, size and style are those
// of `preset`.
FontInfo storedChoice(const QFont& chosen, const QFont& preset, const FontInfo& stored);

}  // namespace quillon::platform
