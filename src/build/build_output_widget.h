#pragma once
#include <QPlainTextEdit>

#include "build/build_commands.h"

namespace quillon::build {

// The "Build Output" view of the bottom panel: shows the lines of the last compile or link
// (build_output.h), Wine's noise dimmed. Read-only; the text can be selected and copied.
class BuildOutputWidget : public QPlainTextEdit {
  Q_OBJECT

public:
  explicit BuildOutputWidget(QWidget* parent = nullptr);
  void showReport(const BuildReport& report);
};

}  // namespace quillon::build
