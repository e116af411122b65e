#pragma once
#include <QColor>
#include <QFont>
#include <cstdint>

#include "editor/line_breaker.h"
#include "editor/paragraph_table.h"
#include "editor/qt_text_metrics.h"

class QPaintDevice;
class QPainter;

namespace quillon::editor {

// Paints one display line of a paragraph, with its highlighting runs, onto any QPainter: the
// editor on screen, the printed page and the preview all paint through it. Characters are
// placed by `advance` (whole units, as the layout measured them) and drawn in the fonts of
// `metrics` and the alternate font, stretched to those places.
class QtLinePainter {
public:
  struct Colors {
    QColor text;                  // text outside any coloured run
    QColor window;                // what the system window colour stands for
    std::int32_t highlightColor;  // 0x00BBGGRR, system colour or -1: runs with the highlight bit
    std::int32_t highlightBackgnd;
  };
  // The part of a paragraph selected on screen, in offsets within the paragraph.
  struct Selection {
    std::int64_t from = 0;
    std::int64_t to = 0;
    QColor back;
    QColor text;
  };
  struct Line {
    const Paragraph* paragraph = nullptr;
    std::uint32_t start = 0;  // characters [start, stop) of the paragraph
    std::uint32_t stop = 0;
    int startX = 0;  // x of `start` within its display line (tabs depend on it)
    int x = 0;       // where the display line begins on the painter
    qreal top = 0;
    qreal height = 0;
    int clipLeft = 0;  // nothing left of clipLeft or right of clipRight is drawn
    int clipRight = 0;
  };

  // `highlighting` false paints every character as plain text (printing without highlighting).
  QtLinePainter(const QtTextMetrics& metrics, const QFont& altFont, const CharAdvance& advance,
                const Colors& colors, bool highlighting = true)
      : metrics_(metrics),
        altFont_(altFont),
        advance_(advance),
        colors_(colors),
        highlighting_(highlighting) {}

  // Paints the line; returns the x after its last character, or past clipRight when it
  // stopped there.
  int paint(QPainter& painter, const Line& line, const Selection* selection = nullptr) const;

private:
  qreal spacingScale(QPaintDevice* device) const;

  const QtTextMetrics& metrics_;
  const QFont& altFont_;
  CharAdvance advance_;
  Colors colors_;
  bool highlighting_;
  mutable QPaintDevice* scaleDevice_ = nullptr;
  mutable qreal spacingScale_ = 1;
};

}  // namespace quillon::editor
