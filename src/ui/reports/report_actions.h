#pragma once
// Saving and printing a window's report: the save-as dialog that starts in
// the folder of the last report saved, the checked whole-file write, the
// print dialog, and the message when something fails. One per window.

#include <QByteArray>
#include <QString>

#include <functional>

#include "link/whole_file.h"

class QPrinter;
class QTextDocument;
class QWidget;

namespace corvanta {

class Messenger;

enum class ReportFormat { Text, Csv, Pdf };

class ReportActions {
public:
    // `title` heads the printed pages; `fileStem` begins the suggested file
    // name, which goes on with the date.
    ReportActions(QWidget* window, QString title, QString fileStem);

    void setMessenger(Messenger* messenger) { messenger_ = messenger; }

    // Tests choose paths and printers without a dialog. The chooser returns
    // the path, or an empty one when the user cancelled; the printer setup
    // returns false for a cancel.
    using PathChooser = std::function<QString(ReportFormat format, const QString& suggestedPath)>;
    using PrinterSetup = std::function<bool(QPrinter& printer)>;
    void setPathChooser(PathChooser chooser) { chooser_ = std::move(chooser); }
    void setPrinterSetup(PrinterSetup setup) { printerSetup_ = std::move(setup); }

    // Asks for a path and writes `bytes` as the whole new file. True when
    // the file was written; a failure is shown with the path. A report that
    // shows codes is saved FileAccess::OwnerOnly.
    bool save(ReportFormat format, const QByteArray& bytes, FileAccess access = FileAccess::Shared);
    // The body under the page header, as a PDF file.
    bool savePdf(QTextDocument& body, FileAccess access = FileAccess::Shared);
    // Through the print dialog on A4.
    bool print(QTextDocument& body);

    // Where the next save-as dialog starts: the folder of the last report
    // saved from any window this run, at first the documents folder.
    static QString startFolder();

private:
    QString choosePath(ReportFormat format);
    bool write(const QString& path, const QByteArray& bytes, FileAccess access);
    void tell(const QString& text);

    QWidget* window_;
    QString title_;
    QString fileStem_;
    Messenger* messenger_ = nullptr;
    PathChooser chooser_;
    PrinterSetup printerSetup_;
};

}  // namespace corvanta
