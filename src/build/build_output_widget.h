#pragma once
#include "editor/code_memo_widget.h"

namespace quillon::build {

class BuildOutputView;

// The "Build Output" view of the bottom panel: the read-only editor of a BuildOutputView, so a
// long output costs about its bytes. The text can be selected and copied.
class BuildOutputWidget : public editor::CodeMemoWidget {
  Q_OBJECT

public:
  BuildOutputWidget(BuildOutputView& view, platform::Ui& ui, QWidget* parent = nullptr);
};

}  // namespace quillon::build
