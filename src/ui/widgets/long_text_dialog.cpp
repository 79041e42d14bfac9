#include "ui/widgets/long_text_dialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvanta {

bool isLongText(const QString& text) { return text.count(u'\n') >= LongTextDialog::kLongText; }

LongTextDialog::LongTextDialog(const QString& caption, const QString& text, bool question, QWidget* parent)
    : QDialog(parent) {
  setObjectName("LongTextDialog");
  setWindowTitle(caption);
  // The first paragraph is the headline; the last one, when it asks, stays
  // in sight below the list too.
  QStringList paragraphs = text.split(QStringLiteral("\n\n"));
  const QString first = paragraphs.takeFirst();
  const QString last = question && paragraphs.size() > 1 ? paragraphs.takeLast() : QString();
  headline_ = new QLabel(first, this);
  headline_->setObjectName("lbHeadline");
  headline_->setWordWrap(true);
  // Warnings stand out above the list, not somewhere inside it.
  QStringList warnings;
  if (!paragraphs.isEmpty() && paragraphs.front().startsWith(QStringLiteral("Figyelem:")))
    warnings = paragraphs.takeFirst().split(u'\n');
  body_ = new QPlainTextEdit(paragraphs.join(QStringLiteral("\n\n")), this);
  body_->setObjectName("meBody");
  body_->setReadOnly(true);
  body_->setLineWrapMode(QPlainTextEdit::NoWrap);
  const QFontMetrics fm(body_->font());
  body_->setMinimumSize(90 * fm.averageCharWidth(), 18 * fm.lineSpacing());
  auto* buttons = new QDialogButtonBox(question ? QDialogButtonBox::Yes | QDialogButtonBox::No : QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  // A question that sends something to the module is not answered by Enter
  // alone: "Nem" has the focus.
  if (question) buttons->button(QDialogButtonBox::No)->setDefault(true);
  auto* l = new QVBoxLayout(this);
  l->addWidget(headline_);
  for (const QString& w : warnings) {
    auto* warning = new QLabel(w, this);
    warning->setObjectName("lbWarning");
    warning->setWordWrap(true);
    QFont bold = warning->font();
    bold.setBold(true);
    warning->setFont(bold);
    QPalette p = warning->palette();
    p.setColor(QPalette::WindowText, QColor(160, 0, 0));
    warning->setPalette(p);
    l->addWidget(warning);
  }
  l->addWidget(body_, 1);
  if (!last.isEmpty()) {
    auto* ask = new QLabel(last, this);
    ask->setObjectName("lbQuestion");
    ask->setWordWrap(true);
    QFont bold = ask->font();
    bold.setBold(true);
    ask->setFont(bold);
    l->addWidget(ask);
  }
  l->addWidget(buttons);
}

QString LongTextDialog::headline() const { return headline_->text(); }
QString LongTextDialog::body() const { return body_->toPlainText(); }

}  // namespace corvanta
