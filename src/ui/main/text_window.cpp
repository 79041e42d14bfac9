#include "ui/main/text_window.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "ui/widgets/escape_closes.h"

namespace corvanta {

TextWindow::TextWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("FormText");
  setWindowTitle(QStringLiteral("FormTXT"));
  memo_ = new QPlainTextEdit(this);
  memo_->setObjectName("Memo1");
  // The listing lines up its columns with blanks: it needs a fixed pitch
  // and lines that are never wrapped.
  QFont font(QStringLiteral("Fixedsys"));
  font.setStyleHint(QFont::TypeWriter);
  if (!QFontInfo(font).fixedPitch()) font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  memo_->setFont(font);
  memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo_->setReadOnly(true);
  memo_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  closeOnEscape(this);
  auto* l = new QVBoxLayout(this);
  l->setContentsMargins(0, 0, 0, 0);
  l->addWidget(memo_);
  // Room for a whole 80-column line and a page of them.
  const QFontMetrics fm(memo_->font());
  resize(fm.horizontalAdvance(QString(84, u'M')) + 40, 36 * fm.lineSpacing());
}

void TextWindow::showListing(const QStringList& lines) {
  memo_->clear();
  memo_->appendPlainText(lines.join(u'\n'));
  memo_->moveCursor(QTextCursor::Start);
  show();
  raise();
  activateWindow();
}

}  // namespace corvanta
