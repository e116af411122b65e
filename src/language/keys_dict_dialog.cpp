#include "language/keys_dict_dialog.h"

#include <QFontComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include "editor/code_memo.h"
#include "language/color_combo_widget.h"
#include "platform/qt_conversions.h"
#include "platform/qt_font_choice.h"

namespace quillon::language {

namespace {

using File = KeysDictCommands::File;

// A full path, shortened in the middle when the label is too narrow for it.
class PathLabel : public QLabel {
public:
  explicit PathLabel(QWidget* parent) : QLabel(parent) {
    setMinimumWidth(80);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
  }
  void setPath(const QString& path) {
    path_ = path;
    setToolTip(path);
    elide();
  }

protected:
  void resizeEvent(QResizeEvent* event) override {
    QLabel::resizeEvent(event);
    elide();
  }

private:
  void elide() {
    setText(fontMetrics().elidedText(path_, Qt::ElideMiddle, contentsRect().width() - 4));
  }
  QString path_;
};

QString displayPath(const std::filesystem::path& file) {
  return platform::toDisplayString(file.string());
}

void paintLabel(QLabel* label, platform::Color color) {
  QPalette p = label->palette();
  p.setColor(QPalette::Window, platform::toQColor(color));
  label->setPalette(p);
}

}  // namespace

KeysDictDialog::KeysDictDialog(KeysDictCommands& commands, const settings::OptionCommands& options,
                               const editor::CodeMemo& editor, Actions actions, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      commands_(commands),
      options_(options),
      editor_(editor),
      actions_(std::move(actions)) {
  setObjectName("fKeyDict");
  setWindowTitle("fKeyDict");
  setModal(true);

  auto* layout = new QVBoxLayout(this);

  // The keys group carries the colours and the font besides its file.
  auto* keys = static_cast<QGroupBox*>(
      fileGroup(File::Keys, "KEYS WORDS [*.BIN]:", "keys", "Use Original > Quillon.bin"));
  auto* looks = new QGridLayout;
  highTextLabel_ = new QLabel("HighLight Text", keys);
  highBackLabel_ = new QLabel("HighLight Background", keys);
  auto* fontLabel = new QLabel("Alternate Font", keys);
  for (QLabel* l : {highTextLabel_, highBackLabel_}) l->setAutoFillBackground(true);
  highText_ = new language::ColorComboWidget(keys);
  highText_->setObjectName("eHighText");
  highBack_ = new language::ColorComboWidget(keys);
  highBack_->setObjectName("eHighBack");
  altFont_ = new QFontComboBox(keys);
  altFont_->setObjectName("eAltFont");
  auto* sample = new QLabel("AaBbCcDd", keys);
  sample->setObjectName("altFontSample");
  looks->addWidget(highTextLabel_, 0, 0);
  looks->addWidget(highBackLabel_, 0, 1);
  looks->addWidget(fontLabel, 0, 2);
  looks->addWidget(highText_, 1, 0);
  looks->addWidget(highBack_, 1, 1);
  looks->addWidget(altFont_, 1, 2);
  looks->addWidget(sample, 2, 2);
  static_cast<QVBoxLayout*>(keys->layout())->addLayout(looks);
  layout->addWidget(keys);
  layout->addWidget(
      fileGroup(File::Def, "MapBasic DEFINE File [*.DEF]:", "def", "Use Original > Quillon.def"));
  layout->addWidget(
      fileGroup(File::Dict, "User DICTIONARY File[*.DIC]:", "dic", "User Original > Quillon.dic"));
  layout->addWidget(
      fileGroup(File::Help, "Help CONTEXT File [*.CTX]:", "ctx", "Use Original > Quillon.ctx"));

  auto* versionGroup = new QGroupBox("MapBasic MAXIMUM Version:", this);
  versionGroup->setObjectName("rgMaxVer");
  auto* versionRow = new QHBoxLayout(versionGroup);
  for (std::size_t i = 0; i < versions_.size(); ++i) {
    const std::string_view caption = KeysDictCommands::kVersions[i];
    versions_[i] = new QRadioButton(
        QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())), versionGroup);
    versionRow->addWidget(versions_[i]);
    connect(versions_[i], &QRadioButton::clicked, this,
            [this, caption] { commands_.chooseVersion(caption); });
  }
  layout->addWidget(versionGroup);

  auto* buttons = new QHBoxLayout;
  auto* startStops = new QPushButton("Edit Start/Stop Keys....", this);
  startStops->setObjectName("editStartStopKeys");
  auto* numberStyle = new QPushButton("Edit Number Style....", this);
  numberStyle->setObjectName("editNumberStyle");
  auto* close = new QPushButton("CLOSE", this);
  close->setObjectName("close");
  buttons->addWidget(startStops);
  buttons->addWidget(numberStyle);
  buttons->addStretch();
  buttons->addWidget(close);
  layout->addLayout(buttons);

  connect(startStops, &QPushButton::clicked, this,
          [this] { actions_.run(actions_.editStartStopKeys); });
  connect(numberStyle, &QPushButton::clicked, this,
          [this] { actions_.run(actions_.editNumberStyle); });
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  connect(highText_, &language::ColorComboWidget::colorChosen, this,
          [this] { showHighlightColors(); });
  connect(highBack_, &language::ColorComboWidget::colorChosen, this,
          [this] { showHighlightColors(); });
  connect(altFont_, &QFontComboBox::currentFontChanged, sample, [sample](const QFont& font) {
    QFont shown = font;
    shown.setPointSize(sample->font().pointSize());
    sample->setFont(shown);
  });
  resize(480, sizeHint().height());
}

QWidget* KeysDictDialog::fileGroup(File which, const char* caption, const char* name,
                                   const char* hint) {
  auto* group = new QGroupBox(caption, this);
  auto* column = new QVBoxLayout(group);
  auto* path = new PathLabel(group);
  QString label = QString::fromLatin1(name);
  label[0] = label[0].toUpper();
  path->setObjectName("l" + label);
  paths_[static_cast<std::size_t>(which)] = path;
  column->addWidget(path);
  auto* row = new QHBoxLayout;
  auto addButton = [&](const char* text, const char* role) {
    auto* b = new QPushButton(text, group);
    b->setObjectName(
        QStringLiteral("%1%2").arg(QString::fromLatin1(name), QString::fromLatin1(role)));
    row->addWidget(b);
    return b;
  };
  QPushButton* load = addButton("Load", "Load");
  QPushButton* edit = addButton("Edit", "Edit");
  QPushButton* saveAs = addButton("Save As", "SaveAs");
  QPushButton* reset = addButton("Default", "Default");
  reset->setToolTip(hint);
  row->addStretch();
  column->addLayout(row);

  auto runThenRefresh = [this](std::function<void()> command) {
    actions_.run([this, command] {
      command();
      refreshFiles();
    });
  };
  connect(load, &QPushButton::clicked, this, [this, which, runThenRefresh] {
    runThenRefresh([this, which] { commands_.load(which); });
  });
  connect(reset, &QPushButton::clicked, this, [this, which, runThenRefresh] {
    runThenRefresh([this, which] { commands_.reset(which); });
  });
  if (which == File::Keys) {
    connect(edit, &QPushButton::clicked, this, [this] { actions_.run(actions_.editKeywords); });
    connect(saveAs, &QPushButton::clicked, this,
            [this, runThenRefresh] { runThenRefresh([this] { commands_.saveKeysAs(); }); });
  } else {
    edit->setEnabled(false);
    saveAs->setEnabled(false);
  }
  return group;
}

void KeysDictDialog::refreshFiles() {
  for (File f : {File::Keys, File::Dict, File::Def, File::Help})
    static_cast<PathLabel*>(paths_[static_cast<std::size_t>(f)])
        ->setPath(displayPath(commands_.file(f)));
}

void KeysDictDialog::showHighlightColors() {
  paintLabel(highTextLabel_, highText_->color());
  paintLabel(highBackLabel_, highBack_->color());
}

void KeysDictDialog::execute() {
  refreshFiles();
  // The stored name may be one fontconfig substitutes; the list holds what is drawn.
  altFont_->setCurrentFont(
      QFont(platform::drawnFamily(QFont(platform::toQString(options_.altFont().name)))));
  shownFamily_ = altFont_->currentFont().family();
  highText_->setColor(editor_.highlightColor());
  highBack_->setColor(editor_.highlightBackgnd());
  showHighlightColors();
  exec();
}

void KeysDictDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
  commands_.activate();
  versions_[static_cast<std::size_t>(commands_.versionIndex())]->setChecked(true);
}

void KeysDictDialog::done(int result) {
  actions_.run([this] {
    const QString family = altFont_->currentFont().family();
    commands_.close(
        family == shownFamily_ ? options_.altFont().name : platform::fromQString(family),
        highText_->color(), highBack_->color());
  });
  QDialog::done(result);
}

}  // namespace quillon::language
