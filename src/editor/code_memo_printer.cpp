#include "editor/code_memo_printer.h"

#include <algorithm>
#include <cmath>

#include "editor/memo_error.h"

namespace quillon::editor {

namespace {

// Device units from a computed length; absurd settings saturate instead of overflowing.
int device(double units) {
  if (!(units == units)) return 0;  // NaN
  return static_cast<int>(std::lround(std::clamp(units, -1e9, 1e9)));
}

}  // namespace

PageFormat::PageFormat(const PrinterMetrics& m, const PageSettings& s, int printerLineHeight) {
  const double lpx = m.logPixelsX;
  const double lpy = m.logPixelsY;
  const double spacing = s.lineSpacing >= 0
                             ? s.lineSpacing * lpy
                             : -static_cast<double>(s.lineSpacing) * printerLineHeight;
  exactLineHeight_ = spacing > 0 ? std::min(spacing, 1e9) : 1.0;
  lineHeight_ = std::max(1, device(spacing));
  textWidth_ = device(m.physicalWidth - (static_cast<double>(s.marginLeft) + s.marginRight) * lpx);
  const double height =
      m.physicalHeight - (static_cast<double>(s.marginTop) + s.marginBottom) * lpy;
  textHeight_ = device(height);
  linesPerPage_ = static_cast<int>(std::clamp(std::floor(height / lineHeight_), 1.0, 1e9));

  const int left = device(s.marginLeft * lpx - m.physicalOffsetX);
  const int right = device(m.physicalWidth - s.marginRight * lpx - m.physicalOffsetX);
  const int top = device(s.marginTop * lpy - m.physicalOffsetY);
  origin_ = {left, top};
  header_ = {left, device(s.headerYPos * lpy - m.physicalOffsetY), right, top};
  footer_ = {left, device(m.physicalHeight - s.footerYPos * lpy - m.physicalOffsetY), right,
             m.physicalHeight - m.physicalOffsetY};
}

std::int64_t PageFormat::pageCount(std::int64_t displayLines) const {
  return std::max<std::int64_t>(1, (displayLines + linesPerPage_ - 1) / linesPerPage_);
}

std::pair<std::int64_t, std::int64_t> PageFormat::pageLines(std::int64_t page,
                                                            std::int64_t displayLines) const {
  const std::int64_t first = page * linesPerPage_;
  return {first, std::min(first + linesPerPage_, displayLines) - 1};
}

std::string pageText(std::string_view text, std::int64_t page) {
  std::string result(text);
  if (const std::size_t at = result.find("{p}"); at != std::string::npos)
    result.replace(at, 3, std::to_string(page + 1));
  return result;
}

void CodeMemoPrinter::setMemoToPrint(CodeMemo* memo) {
  memo_ = memo;
  printerChanged();
}

void CodeMemoPrinter::setPlainText(bool on) {
  if (on == plainText_) return;
  plainText_ = on;
  printerChanged();
}

void CodeMemoPrinter::setMarginLeft(float inches) {
  if (inches == settings_.marginLeft) return;
  settings_.marginLeft = inches;
  laidOut_ = false;
  if (layout_) layout_->discardLines();
}

void CodeMemoPrinter::setMarginRight(float inches) {
  if (inches == settings_.marginRight) return;
  settings_.marginRight = inches;
  laidOut_ = false;
  if (layout_) layout_->discardLines();
}

void CodeMemoPrinter::printerChanged() {
  layout_.reset();
  laidOut_ = false;
}

bool CodeMemoPrinter::layOut() {
  if (!memo_) return false;
  if (!laidOut_) {
    if (!layout_) layout_ = std::make_unique<PrintLayout>(*memo_, plainText_);
    if (onFormatPrint) onFormatPrint(*this, *layout_);
    metrics_ = port_.metrics();
    textMetrics_ = &port_.textMetrics();
    printerLineHeight_ = textMetrics_->lineHeight();
    averageCharWidth_ = textMetrics_->averageCharWidth();
    laidOut_ = true;
  }
  // The top and bottom margins and the spacing may have changed since.
  if (!hasRoom()) return false;
  if (!layout_->laidOut()) layout_->layOut(*textMetrics_, format().textWidth());
  return true;
}

bool CodeMemoPrinter::hasRoom() const {
  // Margins wider or taller than the paper would leave a negative width to lay out to.
  return laidOut_ && format().hasRoom(averageCharWidth_);
}

void CodeMemoPrinter::print() {
  aborted_ = false;
  if (!memo_) return;
  std::string file;
  if (!port_.printerInstalled()) {
    if (!choosePrintFile) throw MemoError(kNoPrinter);
    std::optional<std::string> chosen = choosePrintFile();
    if (!chosen) return;
    file = std::move(*chosen);
    port_.setOutputFile(file);
  }
  // The next run asks again: the file was for this one.
  struct BackToPrinter {
    PrinterPort& port;
    bool toFile;
    ~BackToPrinter() {
      if (toFile) port.setOutputFile({});
    }
  } const backToPrinter{port_, !file.empty()};
  if (!layOut()) throw MemoError(kNoRoom);
  const PageFormat f = format();
  const std::int64_t lines = lineCount();
  const std::int64_t pages = f.pageCount(lines);
  if (!port_.startDocument()) throw MemoError(kPrintingFailed);
  bool failed = false;
  auto finish = [&] {
    const bool ended = port_.endDocument();
    currentPage_ = -1;
    if (onProgress) onProgress(*this);
    return ended;
  };
  try {
    for (std::int64_t p = 0; p < pages; ++p) {
      currentPage_ = p;
      if (onProgress) onProgress(*this);
      if (aborted_) break;
      if (p > 0 && !port_.newPage()) {
        failed = true;
        break;
      }
      if (!header_.empty())
        port_.drawText(f.headerBand(), pageText(header_, p), headerFont_, headerAlign_);
      if (!footer_.empty())
        port_.drawText(f.footerBand(), pageText(footer_, p), footerFont_, footerAlign_);
      const auto [first, last] = f.pageLines(p, lines);
      if (last >= first)
        port_.paintLines(*layout_, first, last, f.textOrigin(), f.exactLineHeight());
    }
  } catch (...) {
    try {
      finish();
    } catch (...) {}
    throw;
  }
  if (!finish() || failed) throw MemoError(kPrintingFailed);
  if (!file.empty() && !aborted_ && onPrintedToFile) onPrintedToFile(file);
}

void CodeMemoPrinter::preview() {
  if (!memo_) return;
  const std::unique_ptr<PrintPreview> window = port_.createPreview(*this);
  if (onPreview) onPreview(*this, *window);
  window->showModal();
}

}  // namespace quillon::editor
