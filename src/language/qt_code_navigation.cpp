#include "language/qt_code_navigation.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QMainWindow>
#include <QMouseEvent>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "editor/code_memo_widget.h"
#include "editor/memo_clipboard.h"
#include "language/code_assist_widget.h"
#include "language/code_intelligence.h"
#include "platform/qt_conversions.h"

namespace quillon::language {

namespace {

// Ctrl+click on a word of the source editor (a click, not the end of a Ctrl drag), and Enter
// on the reference list.
class NavigationFilter final : public QObject {
public:
  NavigationFilter(const CodeNavigationWiring& wiring, QWidget* referenceList)
      : QObject(&wiring.window), wiring_(wiring), referenceList_(referenceList) {}

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == wiring_.sourceEditor.viewport()) {
      if (event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        pressedAt_ = mouse->position().toPoint();
        ctrlPress_ = mouse->button() == Qt::LeftButton && mouse->modifiers() == Qt::ControlModifier;
      } else if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (ctrlPress_ && mouse->button() == Qt::LeftButton &&
            (mouse->position().toPoint() - pressedAt_).manhattanLength() < 4) {
          ctrlPress_ = false;
          CodeNavigator& navigator = wiring_.code.navigator();
          wiring_.run([&navigator] { navigator.goToDefinition(); });
        }
      }
    } else if (watched == referenceList_ && event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        CodeNavigator& navigator = wiring_.code.navigator();
        wiring_.run([&navigator] { navigator.openReference(); });
        return true;
      }
    }
    return false;
  }

private:
  CodeNavigationWiring wiring_;
  QWidget* referenceList_;
  QPoint pressedAt_;
  bool ctrlPress_ = false;
};

// The list of places a name may mean.
std::optional<std::size_t> choosePlace(QWidget* parent, std::string_view caption,
                                       const std::vector<std::string>& rows) {
  QDialog dialog(parent);
  dialog.setWindowTitle(platform::toQString(caption));
  auto* layout = new QVBoxLayout(&dialog);
  auto* list = new QListWidget(&dialog);
  for (const std::string& row : rows) list->addItem(platform::toQString(row));
  list->setCurrentRow(0);
  list->setMinimumWidth(480);
  layout->addWidget(list);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(list, &QListWidget::itemActivated, &dialog, &QDialog::accept);
  if (dialog.exec() != QDialog::Accepted || list->currentRow() < 0) return std::nullopt;
  return static_cast<std::size_t>(list->currentRow());
}

}  // namespace

editor::CodeMemoWidget* wireCodeNavigation(const CodeNavigationWiring& wiring) {
  CodeIntelligence& code = wiring.code;
  CodeNavigator& navigator = code.navigator();
  auto* clipboard = new editor::MemoClipboard(code.referenceView());
  auto* list =
      new editor::CodeMemoWidget(code.referenceView(), *clipboard, wiring.ui, &wiring.bottomPanel);
  QObject::connect(list, &QObject::destroyed, [clipboard] { delete clipboard; });
  list->setObjectName("referenceView");
  list->setToolTip("Click Line to Go There");
  list->viewport()->setCursor(Qt::ArrowCursor);
  wiring.bottomPanel.addWidget(list);
  QObject::connect(
      list, &editor::CodeMemoWidget::mouseReleased, &wiring.window,
      [run = wiring.run, &navigator] { run([&navigator] { navigator.openReference(); }); });

  QWidget* window = &wiring.window;
  navigator.choose = [window](std::string_view caption, const std::vector<std::string>& rows) {
    return choosePlace(window, caption, rows);
  };

  auto* filter = new NavigationFilter(wiring, list);
  wiring.sourceEditor.viewport()->installEventFilter(filter);
  list->installEventFilter(filter);

  new CodeAssistWidget(wiring.sourceEditor, wiring.words, code.names(),
                       [&code] { return code.keeper().currentFile().string(); });
  return list;
}

}  // namespace quillon::language
