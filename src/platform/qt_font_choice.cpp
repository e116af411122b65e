#include "platform/qt_font_choice.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <algorithm>

#include "platform/qt_conversions.h"

namespace quillon::platform {

namespace {
constexpr int kMinPoints = 4;
constexpr int kMaxPoints = 72;

void takeSizeAndStyle(QFont& font, const FontInfo& stored) {
  font.setPointSize(std::clamp(stored.size > 0 ? stored.size : 10, kMinPoints, kMaxPoints));
  font.setBold(stored.has(fsBold));
  font.setItalic(stored.has(fsItalic));
  font.setUnderline(stored.has(fsUnderline));
  font.setStrikeOut(stored.has(fsStrikeOut));
}

bool sameLook(const QFont& a, const QFont& b) {
  return drawnFamily(a) == drawnFamily(b) && a.pointSize() == b.pointSize() &&
         a.bold() == b.bold() && a.italic() == b.italic() && a.underline() == b.underline() &&
         a.strikeOut() == b.strikeOut();
}
}  // namespace

QFont fixedPitchFont(const FontInfo& stored) {
  QFont font = toQFont(stored);
  takeSizeAndStyle(font, stored);
  // A family the user chose stays, proportional or not.
  if (!stored.name.empty() &&
      (QFontDatabase::hasFamily(font.family()) || QFontInfo(font).fixedPitch()))
    return font;
  QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  takeSizeAndStyle(fixed, stored);
  return fixed;
}

QString drawnFamily(const QFont& font) { return QFontInfo(font).family(); }

QFont dialogPreset(const QFont& drawn) {
  QFont preset = drawn;
  preset.setFamilies({drawnFamily(drawn)});
  return preset;
}

FontInfo storedChoice(const QFont& chosen, const QFont& preset, const FontInfo& stored) {
  if (sameLook(chosen, preset)) return stored;
  return fromQFont(chosen, stored);
}

}  // namespace quillon::platform
