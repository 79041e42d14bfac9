#include "ui/widgets/dialog_messenger.h"

#include <QApplication>
#include <QMessageBox>

#include "ui/widgets/long_text_dialog.h"

namespace corvanta {

namespace {
QString titleOr(const QString& caption) { return caption.isEmpty() ? QApplication::applicationDisplayName() : caption; }
}  // namespace

void DialogMessenger::showMessage(const QString& text, const QString& caption) {
  if (isLongText(text)) {
    LongTextDialog(titleOr(caption), text, false, parent_).exec();
    return;
  }
  QMessageBox::information(parent_, titleOr(caption), text);
}

bool DialogMessenger::askYesNo(const QString& text, const QString& caption) {
  if (isLongText(text)) return LongTextDialog(titleOr(caption), text, true, parent_).exec() == QDialog::Accepted;
  return QMessageBox::question(parent_, titleOr(caption), text, QMessageBox::Yes | QMessageBox::No) ==
         QMessageBox::Yes;
}

}  // namespace corvanta
