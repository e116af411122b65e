#include "build/build_output_widget.h"

#include <QFontDatabase>

#include "build/build_output.h"

namespace quillon::build {

BuildOutputWidget::BuildOutputWidget(BuildOutputView& view, platform::Ui& ui, QWidget* parent)
    : CodeMemoWidget(view.memo(), view.clipboard(), ui, parent) {
  setObjectName("buildOutput");
  setEditorFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  setBackground(palette().color(QPalette::Base));
}

}  // namespace quillon::build
