#include "editor/qt_line_painter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <vector>

#include "editor/keyword_info.h"
#include "platform/qt_conversions.h"

namespace quillon::editor {

namespace {

// A 0x00BBGGRR colour, a system colour (0x80000000 + index) or -1 for none.
QColor memoColor(std::int32_t value, const QColor& window, const QColor& windowText,
                 const QColor& none) {
  if (value == -1) return none;
  const auto v = static_cast<std::uint32_t>(value);
  if (v & 0x80000000u) {
    switch (v & 0xFF) {
      case 5: return window;
      case 8: return windowText;
      default: return none;
    }
  }
  return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                static_cast<int>((v >> 16) & 0xFF));
}

}  // namespace

// Qt scales an absolute letter spacing by the resolution of the font's device over the
// screen's, so on a printer it would come out many times too wide; measured once per device
// (on a string: the advance of a single QChar leaves spacing out).
qreal QtLinePainter::spacingScale(QPaintDevice* device) const {
  if (device != scaleDevice_) {
    scaleDevice_ = device;
    QFont probe(metrics_.font(), device);
    const qreal plain = QFontMetricsF(probe, device).horizontalAdvance(QStringLiteral("M"));
    probe.setLetterSpacing(QFont::AbsoluteSpacing, 1);
    const qreal spaced = QFontMetricsF(probe, device).horizontalAdvance(QStringLiteral("M"));
    spacingScale_ = spaced > plain ? spaced - plain : 1;
  }
  return spacingScale_;
}

int QtLinePainter::paint(QPainter& painter, const Line& line, const Selection* selection) const {
  const std::string_view text = line.paragraph->text();
  const int originX = line.x;
  const int right = line.clipRight;
  const qreal baseline = line.top + metrics_.ascent();
  const QColor& normal = colors_.text;

  // Highlighting runs: the state in effect at the line start and where the next run begins.
  const ParagraphExtra* extra = highlighting_ ? line.paragraph->extra() : nullptr;
  static const std::vector<AttrRun> kNoRuns;
  const std::vector<AttrRun>& runs = extra ? extra->runs : kNoRuns;
  std::size_t nextRun = static_cast<std::size_t>(
      std::upper_bound(runs.begin(), runs.end(), line.start,
                       [](std::uint32_t k, const AttrRun& r) { return k < r.offset; }) -
      runs.begin());
  AttrStateRef runState = nextRun > 0 ? runs[nextRun - 1].state
                          : extra     ? extra->startState
                                      : nullptr;
  auto advanceRuns = [&](std::uint32_t k) {
    while (nextRun < runs.size() && runs[nextRun].offset <= k) runState = runs[nextRun++].state;
  };
  auto runBoundary = [&](std::uint32_t k) {
    return nextRun < runs.size() && runs[nextRun].offset == k;
  };

  // Walk the line's characters once, cutting it into segments at tabs, formatting codes,
  // selection edges and run boundaries; draw only what falls inside the clip.
  int x = line.startX;
  std::uint32_t segStart = line.start;
  int segX = x;
  AttrStateRef segState = runState;
  auto selected = [&](std::uint32_t k) {
    return selection && k >= selection->from && k < selection->to;
  };
  auto flush = [&](std::uint32_t end) {
    if (end > segStart && originX + x > line.clipLeft && originX + segX < right) {
      const bool sel = selected(segStart);
      const std::uint8_t style = segState && segState->level >= 0 ? segState->style : 0;
      QColor fore = normal;
      QColor back;
      if (segState && segState->level >= 0) {
        if (style & KeywordStyle::highlight) {
          fore = memoColor(colors_.highlightColor, colors_.window, normal, normal);
          back = memoColor(colors_.highlightBackgnd, colors_.window, normal, QColor());
        } else {
          fore = memoColor(segState->foregnd, colors_.window, normal, normal);
          back = memoColor(segState->backgnd, colors_.window, normal, QColor());
        }
      }
      if (sel)
        painter.fillRect(QRectF(originX + segX, line.top, x - segX, line.height), selection->back);
      else if (back.isValid())
        painter.fillRect(QRectF(originX + segX, line.top, x - segX, line.height), back);
      painter.setPen(sel ? selection->text : fore);
      QFont font((style & KeywordStyle::altFont) ? altFont_ : metrics_.fontFor(style),
                 painter.device());
      if (style & KeywordStyle::altFont) {
        font.setBold(style & KeywordStyle::bold);
        font.setItalic(style & KeywordStyle::italic);
      }
      font.setUnderline(style & KeywordStyle::underline);
      font.setStrikeOut(style & KeywordStyle::strikeOut);
      QString s = platform::toQString(text.substr(segStart, end - segStart));
      for (QChar& ch : s)
        if (ch.unicode() < 0x20) ch = QChar(' ');
      // The layout places characters at whole-unit advances; spread the difference to the
      // font's fractional ones over the segment so that runs and the caret line up.
      const qreal drawn = QFontMetricsF(font, painter.device()).horizontalAdvance(s);
      if (s.size() > 0 && drawn > 0)
        font.setLetterSpacing(QFont::AbsoluteSpacing,
                              (x - segX - drawn) / s.size() / spacingScale(painter.device()));
      painter.setFont(font);
      painter.drawText(QPointF(originX + segX, baseline), s);
    }
  };
  for (std::uint32_t k = line.start; k < line.stop; ++k) {
    const auto c = static_cast<unsigned char>(text[k]);
    const bool newRun = runBoundary(k);
    advanceRuns(k);
    const bool code = advance_.staticFormat && CharAdvance::isFormatCode(c);
    const bool cut =
        c == '\t' || code || (k > segStart && selected(k) != selected(segStart)) || newRun;
    if (cut && k > segStart) {
      flush(k);
      segStart = k;
      segX = x;
    }
    if (cut) segState = runState;
    const int w = advance_(c, x);
    if (c == '\t' || code) {
      if (selected(k))
        painter.fillRect(QRectF(originX + x, line.top, w, line.height), selection->back);
      x += w;
      segStart = k + 1;
      segX = x;
      continue;
    }
    x += w;
    if (originX + x > right) {
      flush(k + 1);
      segStart = line.stop;
      break;
    }
  }
  flush(line.stop);
  return originX + x;
}

}  // namespace quillon::editor
