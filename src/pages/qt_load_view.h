#pragma once
#include <QObject>
#include <functional>

#include "pages/load_view.h"

class QWidget;

namespace quillon::pages {

// The main window's side of a long load. While the load runs, every input event of the
// application is swallowed (Escape only noted) and a close request refused, so no command
// reaches the half-loaded editor; painting goes on, so the status line shows the progress.
class QtLoadView final : public QObject, public LoadView {
public:
  // `beforeShow` places the window as the settings say, before its first show.
  QtLoadView(QWidget& window, std::function<void()> beforeShow);
  ~QtLoadView() override;

  void showWindowNow() override;
  void beginLoad() override;
  bool pollStop() override;
  void endLoad() override;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QWidget& window_;
  std::function<void()> beforeShow_;
  bool watching_ = false;
  bool stop_ = false;
};

}  // namespace quillon::pages
