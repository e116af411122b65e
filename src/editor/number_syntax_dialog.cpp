#include "editor/number_syntax_dialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/windows1252.h"

namespace quillon::editor {

namespace {

// 0x00BBGGRR or a system colour (0x80000000 + index); -1 gives an invalid colour.
QColor toColor(std::int32_t value, const QPalette& palette) {
  if (value == -1) return {};
  const auto v = static_cast<std::uint32_t>(value);
  if (v & 0x80000000u) {
    switch (v & 0xFF) {
      case 5: return palette.color(QPalette::Base);
      case 8: return palette.color(QPalette::Text);
      default: return palette.color(QPalette::Window);
    }
  }
  return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                static_cast<int>((v >> 16) & 0xFF));
}

std::int32_t fromColor(const QColor& color) {
  if (!color.isValid()) return -1;
  return static_cast<std::int32_t>((static_cast<std::uint32_t>(color.blue()) << 16) |
                                   (static_cast<std::uint32_t>(color.green()) << 8) |
                                   static_cast<std::uint32_t>(color.red()));
}

QString toText(std::string_view bytes) {
  const std::u16string u = platform::windows1252ToUtf16(bytes);
  return QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size()));
}

std::string fromText(const QString& text) {
  return platform::utf16ToWindows1252(std::u16string_view(
      reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
}

}  // namespace

NumberSyntaxDialog::NumberSyntaxDialog(const QColor& editorBackground, const NumberSyntax& syntax,
                                       ColorPicker pickColor, QWidget* parent)
    : QDialog(parent),
      editorBackground_(editorBackground),
      foreground_(syntax.foreground),
      // With no background yet, checking the box starts from the editor's colour.
      background_(syntax.background != -1 ? syntax.background : fromColor(editorBackground)),
      pickColor_(pickColor ? std::move(pickColor) : [](QWidget* owner, const QColor& initial) {
        return QColorDialog::getColor(initial, owner);
      }) {
  setWindowTitle("Number Syntax");

  auto* separatorsLabel = new QLabel("Separators", this);
  separators_ = new QLineEdit(toText(syntax.separators), this);
  separators_->setObjectName("separators");
  separatorsLabel->setBuddy(separators_);

  bold_ = new QCheckBox("Bold", this);
  italic_ = new QCheckBox("Italic", this);
  underline_ = new QCheckBox("Underline", this);
  strikeOut_ = new QCheckBox("Strikeout", this);
  bold_->setChecked(syntax.style & 1);
  italic_->setChecked(syntax.style & 2);
  underline_->setChecked(syntax.style & 4);
  strikeOut_->setChecked(syntax.style & 8);

  auto* foregroundButton = new QPushButton("Foreground", this);
  foregroundButton->setObjectName("foreground");
  backgroundOn_ = new QCheckBox(this);
  backgroundOn_->setObjectName("backgroundOn");
  backgroundOn_->setToolTip("Use a background colour");
  backgroundOn_->setChecked(syntax.backgroundOn);
  backgroundButton_ = new QPushButton("Background", this);
  backgroundButton_->setObjectName("background");
  backgroundButton_->setEnabled(syntax.backgroundOn);

  preview_ = new QLabel("TEST", this);
  preview_->setObjectName("preview");
  preview_->setAlignment(Qt::AlignCenter);
  preview_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  preview_->setAutoFillBackground(true);
  preview_->setMinimumSize(120, 60);
  QFont large = preview_->font();
  large.setPointSizeF(large.pointSizeF() * 1.6);
  preview_->setFont(large);

  auto* applyButton = new QPushButton("Apply", this);
  applyButton->setObjectName("apply");
  applyButton->setDefault(true);
  auto* cancelButton = new QPushButton("Cancel", this);
  cancelButton->setObjectName("cancel");

  auto* styles = new QVBoxLayout;
  for (QCheckBox* box : {bold_, italic_, underline_, strikeOut_}) styles->addWidget(box);
  styles->addStretch();

  auto* colors = new QGridLayout;
  colors->addWidget(foregroundButton, 0, 1);
  colors->addWidget(backgroundOn_, 1, 0);
  colors->addWidget(backgroundButton_, 1, 1);
  colors->setRowStretch(2, 1);

  auto* middle = new QHBoxLayout;
  middle->addLayout(styles);
  middle->addSpacing(12);
  middle->addLayout(colors);
  middle->addSpacing(12);
  middle->addWidget(preview_, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(applyButton);
  buttons->addWidget(cancelButton);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(separatorsLabel);
  layout->addWidget(separators_);
  layout->addSpacing(6);
  layout->addLayout(middle);
  layout->addSpacing(6);
  layout->addLayout(buttons);

  for (QCheckBox* box : {bold_, italic_, underline_, strikeOut_})
    connect(box, &QCheckBox::toggled, this, &NumberSyntaxDialog::updatePreview);
  connect(backgroundOn_, &QCheckBox::toggled, this, [this](bool on) {
    backgroundButton_->setEnabled(on);
    updatePreview();
  });
  connect(foregroundButton, &QPushButton::clicked, this, &NumberSyntaxDialog::pickForeground);
  connect(backgroundButton_, &QPushButton::clicked, this, &NumberSyntaxDialog::pickBackground);
  connect(applyButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

  updatePreview();
}

NumberSyntax NumberSyntaxDialog::result() const {
  NumberSyntax s;
  s.foreground = foreground_;
  s.background = background_;
  s.backgroundOn = backgroundOn_->isChecked();
  s.style = static_cast<std::uint8_t>(
      (bold_->isChecked() ? 1 : 0) | (italic_->isChecked() ? 2 : 0) |
      (underline_->isChecked() ? 4 : 0) | (strikeOut_->isChecked() ? 8 : 0));
  s.separators = withoutBlanks(fromText(separators_->text()));
  return s;
}

void NumberSyntaxDialog::pickForeground() {
  const QColor chosen = pickColor_(this, toColor(foreground_, palette()));
  if (!chosen.isValid()) return;
  foreground_ = fromColor(chosen);
  updatePreview();
}

void NumberSyntaxDialog::pickBackground() {
  const QColor initial = background_ != -1 ? toColor(background_, palette()) : editorBackground_;
  const QColor chosen = pickColor_(this, initial);
  if (!chosen.isValid()) return;
  background_ = fromColor(chosen);
  updatePreview();
}

void NumberSyntaxDialog::updatePreview() {
  QFont font = preview_->font();
  font.setBold(bold_->isChecked());
  font.setItalic(italic_->isChecked());
  font.setUnderline(underline_->isChecked());
  font.setStrikeOut(strikeOut_->isChecked());
  preview_->setFont(font);

  QPalette colors = palette();
  const QColor fore = toColor(foreground_, colors);
  QColor back = backgroundOn_->isChecked() ? toColor(background_, colors) : editorBackground_;
  if (!back.isValid()) back = colors.color(QPalette::Base);
  if (fore.isValid()) colors.setColor(QPalette::WindowText, fore);
  colors.setColor(QPalette::Window, back);
  preview_->setPalette(colors);
}

bool editNumberSyntax(QWidget* parent, NumberHighlighter& numbers, const QColor& editorBackground,
                      const std::function<void()>& applied,
                      NumberSyntaxDialog::ColorPicker pickColor) {
  NumberSyntaxDialog dialog(editorBackground, fromHighlighter(numbers), std::move(pickColor),
                            parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  apply(dialog.result(), numbers);
  if (applied) applied();
  return true;
}

}  // namespace quillon::editor
