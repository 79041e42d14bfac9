#include "ui/main/text_window.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>

#include "ui/reports/report_document.h"
#include "ui/widgets/escape_closes.h"

namespace corvanta {

namespace {

// Blanks, the listing's punctuation, digits and the narrowest and widest
// letters, Hungarian ones too.
const QString kListingSample = QStringLiteral(" .:-|{}()*0123456789iIlmMWwőŐűŰáÉ");

// Whether the glyphs of `font` are all one width. QFontInfo::fixedPitch()
// reads a flag of the font file that some monospaced fonts (Noto Sans Mono)
// leave unset, and that says nothing of the glyphs a fallback adds.
bool hasOneWidth(const QFont& font) {
  const QFontMetricsF fm(font);
  const qreal width = fm.horizontalAdvance(kListingSample.at(0));
  for (const QChar c : kListingSample) {
    if (!qFuzzyCompare(fm.horizontalAdvance(c), width)) return false;
  }
  return width > 0;
}

QFont listingFont() {
  QFont fixedsys(QStringLiteral("Fixedsys"));
  fixedsys.setStyleHint(QFont::TypeWriter);
  QFont monospace(QStringLiteral("Monospace"));
  monospace.setStyleHint(QFont::Monospace);
  const QFont candidates[] = {fixedsys, QFontDatabase::systemFont(QFontDatabase::FixedFont), monospace};
  for (const QFont& f : candidates) {
    if (hasOneWidth(f)) return f;
  }
  return candidates[1];
}

}  // namespace

TextWindow::TextWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), reports_(this, QStringLiteral("Beállítások listája"), QStringLiteral("beallitasok")) {
  setObjectName("FormText");
  setWindowTitle(QStringLiteral("FormTXT"));
  memo_ = new QPlainTextEdit(this);
  memo_->setObjectName("Memo1");
  // The listing lines up its columns with blanks: it needs a font whose
  // glyphs are all one width, and lines that are never wrapped.
  memo_->setFont(listingFont());
  memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo_->setReadOnly(true);
  memo_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  closeOnEscape(this);
  auto* buttons = new QHBoxLayout;
  buttons->setContentsMargins(6, 6, 6, 6);
  buttons->setSpacing(6);
  const std::pair<const char*, const char*> captions[] = {
      {"btSave", "Mentés fájlba"}, {"btPrint", "Nyomtatás"}, {"btSavePdf", "Mentés PDF-be"}};
  for (const auto& [name, caption] : captions) {
    auto* button = new QPushButton(QString::fromUtf8(caption), this);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    buttons->addWidget(button);
  }
  buttons->addStretch();
  cbShowCodes_ = new QCheckBox(QString::fromUtf8("Kódok mutatása"), this);
  cbShowCodes_->setObjectName("cbShowCodes");
  buttons->addWidget(cbShowCodes_);
  connect(cbShowCodes_, &QCheckBox::toggled, this, &TextWindow::showLines);
  connect(findChild<QPushButton*>("btSave"), &QPushButton::clicked, this, &TextWindow::btSaveClick);
  connect(findChild<QPushButton*>("btPrint"), &QPushButton::clicked, this, &TextWindow::btPrintClick);
  connect(findChild<QPushButton*>("btSavePdf"), &QPushButton::clicked, this, &TextWindow::btSavePdfClick);
  auto* l = new QVBoxLayout(this);
  l->setContentsMargins(0, 0, 0, 0);
  l->setSpacing(0);
  l->addWidget(memo_);
  l->addLayout(buttons);
  // Room for a whole 80-column line and a page of them.
  const QFontMetrics fm(memo_->font());
  resize(fm.horizontalAdvance(QString(84, u'M')) + 40, 36 * fm.lineSpacing());
}

void TextWindow::showListing(const QStringList& lines, const QStringList& codesHidden) {
  full_ = lines;
  codesHidden_ = codesHidden;
  // Each listing asks afresh before it shows codes.
  const QSignalBlocker quiet(cbShowCodes_);
  cbShowCodes_->setChecked(false);
  showLines();
  show();
  raise();
  activateWindow();
}

void TextWindow::showLines() {
  memo_->clear();
  memo_->appendPlainText((cbShowCodes_->isChecked() ? full_ : codesHidden_).join(u'\n'));
  memo_->moveCursor(QTextCursor::Start);
}

QStringList TextWindow::lines() const { return memo_->toPlainText().split(u'\n'); }

void TextWindow::btSaveClick() {
  // The file is the listing itself, codes and all, like the parameter file.
  QString text = full_.join(u'\n');
  if (!text.isEmpty() && !text.endsWith(u'\n')) text += u'\n';
  reports_.save(ReportFormat::Text, text.toUtf8(), FileAccess::OwnerOnly);
}

void TextWindow::btPrintClick() { reports_.print(*listingDocument(lines())); }

void TextWindow::btSavePdfClick() {
  reports_.savePdf(*listingDocument(lines()), cbShowCodes_->isChecked() ? FileAccess::OwnerOnly : FileAccess::Shared);
}

}  // namespace corvanta
