#pragma once
#include <QColor>
#include <QFont>
#include <QString>
#include <string>
#include <string_view>

#include "platform/color.h"
#include "platform/font_info.h"

namespace quillon::platform {

// The Qt boundary of the core's values: Windows-1252 texts, 0x00BBGGRR and system colours,
// and font descriptions.
QString toQString(std::string_view bytes);
std::string fromQString(const QString& text);
// Texts that may carry file names: a name is the system's bytes (UTF-8 here), so valid
// UTF-8 is read as such and anything else as Windows-1252.
QString toDisplayString(std::string_view bytes);
// A file name as the system spells it.
std::string fromQPath(const QString& path);

// System colours map onto the application palette; "no colour" gives an invalid QColor.
QColor toQColor(Color color);
Color fromQColor(const QColor& color);

QFont toQFont(const FontInfo& font);
// The colour is not part of a QFont; it is taken from `base`.
FontInfo fromQFont(const QFont& font, const FontInfo& base);

}  // namespace quillon::platform
