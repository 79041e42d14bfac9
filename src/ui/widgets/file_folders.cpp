#include "ui/widgets/file_folders.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

#include <map>

namespace corvanta {

namespace {

std::map<FileKind, QString>& lastFolders() {
    static std::map<FileKind, QString> folders;
    return folders;
}

QString documentsFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

}  // namespace

QString startFolder(FileKind kind) {
    const auto last = lastFolders().find(kind);
    // A folder removed since, or on a drive no longer there, is passed over.
    if (last != lastFolders().end() && QFileInfo(last->second).isDir()) return last->second;
    return documentsFolder();
}

void rememberFolder(FileKind kind, const QString& chosenPath) {
    if (!chosenPath.isEmpty()) lastFolders()[kind] = QFileInfo(chosenPath).absolutePath();
}

void forgetFolders() { lastFolders().clear(); }

void prepareFileDialog(QFileDialog& dialog, FileKind kind, const QString& nameField) {
    dialog.setDirectory(startFolder(kind));
    dialog.selectFile(nameField);
}

QString runFileDialog(QFileDialog& dialog, FileKind kind, const QString& nameField) {
    prepareFileDialog(dialog, kind, nameField);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

}  // namespace corvanta
