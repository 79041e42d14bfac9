#pragma once
// Where a file dialog starts: the folder last used this run for that kind of
// file, else the user's documents folder. Never the working directory, which
// under the start script is the source tree.

#include <QString>

class QFileDialog;

namespace corvanta {

enum class FileKind { ParameterFile, Firmware, Report };

QString startFolder(FileKind kind);
// The folder of a file just chosen becomes the start for its kind.
void rememberFolder(FileKind kind, const QString& chosenPath);
// Tests start from a clean run.
void forgetFolders();

// Points the dialog at the start folder, with `nameField` (a pattern such as
// "*.CD2", or a suggested name) in its name field.
void prepareFileDialog(QFileDialog& dialog, FileKind kind, const QString& nameField);
// Prepares and runs the dialog: the chosen path, empty for a cancel.
QString runFileDialog(QFileDialog& dialog, FileKind kind, const QString& nameField);

}  // namespace corvanta
