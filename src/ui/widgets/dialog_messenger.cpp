#include "ui/widgets/dialog_messenger.h"

#include <QApplication>
#include <QMessageBox>

namespace corvanta {

namespace {
QString titleOr(const QString& caption) { return caption.isEmpty() ? QApplication::applicationDisplayName() : caption; }
}  // namespace

void DialogMessenger::showMessage(const QString& text, const QString& caption) {
  QMessageBox::information(parent_, titleOr(caption), text);
}

bool DialogMessenger::askYesNo(const QString& text, const QString& caption) {
  return QMessageBox::question(parent_, titleOr(caption), text, QMessageBox::Yes | QMessageBox::No) ==
         QMessageBox::Yes;
}

}  // namespace corvanta
