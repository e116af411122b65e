#pragma once
#include <QColor>
#include <QFont>
#include <QString>
#include <string>
#include <string_view>

#include "app/color.h"
#include "app/font_info.h"

namespace quillon::app {

// The Qt boundary of the core's values: Windows-1252 texts, 0x00BBGGRR and system colours,
// and font descriptions.
QString toQString(std::string_view bytes);
std::string fromQString(const QString& text);

// System colours map onto the application palette; "no colour" gives an invalid QColor.
QColor toQColor(Color color);
Color fromQColor(const QColor& color);

QFont toQFont(const FontInfo& font);
// The colour is not part of a QFont; it is taken from `base`.
FontInfo fromQFont(const QFont& font, const FontInfo& base);

}  // namespace quillon::app
