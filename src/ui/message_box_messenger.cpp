#include "ui/message_box_messenger.h"

#include <QApplication>
#include <QMessageBox>

namespace corvanta {

namespace {
QString captionOr(const QString& caption) {
    return caption.isEmpty() ? QApplication::applicationDisplayName() : caption;
}
}  // namespace

void MessageBoxMessenger::showMessage(const QString& text, const QString& caption) {
    QMessageBox::information(parent_, captionOr(caption), text, QMessageBox::Ok);
}

bool MessageBoxMessenger::askYesNo(const QString& text, const QString& caption) {
    return QMessageBox::question(parent_, captionOr(caption), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace corvanta
