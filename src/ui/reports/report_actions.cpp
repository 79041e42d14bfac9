#include "ui/reports/report_actions.h"

#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>

#include "link/messenger.h"
#include "link/whole_file.h"
#include "ui/reports/report_document.h"
#include "ui/widgets/file_folders.h"

namespace corvanta {

namespace {

struct FormatFacts {
    const char* filter;
    const char* suffix;
};

FormatFacts factsOf(ReportFormat format) {
    switch (format) {
    case ReportFormat::Csv: return {"CSV fájl (*.csv)", "csv"};
    case ReportFormat::Pdf: return {"PDF dokumentum (*.pdf)", "pdf"};
    case ReportFormat::Text: break;
    }
    return {"Szövegfájl (*.txt)", "txt"};
}

}  // namespace

ReportActions::ReportActions(QWidget* window, QString title, QString fileStem)
    : window_(window), title_(std::move(title)), fileStem_(std::move(fileStem)) {}

QString ReportActions::startFolder() { return corvanta::startFolder(FileKind::Report); }

QString ReportActions::choosePath(ReportFormat format) {
    const FormatFacts facts = factsOf(format);
    const QString suffix = QString::fromLatin1(facts.suffix);
    const QString suggested = QDir(startFolder()).filePath(
        fileStem_ + QDate::currentDate().toString(QStringLiteral("-yyyy-MM-dd.")) + suffix);
    QString path;
    if (chooser_) {
        path = chooser_(format, suggested);
    } else {
        // The dialog adds the suffix itself, so it asks before replacing the
        // file that is really written.
        QFileDialog dialog(window_, QStringLiteral("Mentés"), QString(), QString::fromUtf8(facts.filter));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(suffix);
        path = runFileDialog(dialog, FileKind::Report, suggested);
    }
    if (path.isEmpty()) return {};
    if (QFileInfo(path).suffix().isEmpty()) path += u'.' + suffix;
    return path;
}

bool ReportActions::write(const QString& path, const QByteArray& bytes, FileAccess access) {
    if (const auto failure = writeWholeFile(path, bytes, access)) {
        tell(saveFailureText(*failure));
        return false;
    }
    rememberFolder(FileKind::Report, path);
    return true;
}

bool ReportActions::save(ReportFormat format, const QByteArray& bytes, FileAccess access) {
    const QString path = choosePath(format);
    return !path.isEmpty() && write(path, bytes, access);
}

bool ReportActions::savePdf(QTextDocument& body, FileAccess access) {
    const QString path = choosePath(ReportFormat::Pdf);
    if (path.isEmpty()) return false;
    const QByteArray pdf = reportPdf(reportHeader(title_), body);
    if (pdf.isEmpty()) {
        tell(QStringLiteral("A PDF nem készült el.\n") + path);
        return false;
    }
    return write(path, pdf, access);
}

bool ReportActions::print(QTextDocument& body) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(reportPageLayout());
    printer.setDocName(title_);
    if (printerSetup_) {
        if (!printerSetup_(printer)) return false;
    } else {
        QPrintDialog dialog(&printer, window_);
        if (dialog.exec() != QDialog::Accepted) return false;
    }
    if (paintReport(printer, reportHeader(title_), body) == 0) {
        tell(QStringLiteral("A nyomtatás nem sikerült."));
        return false;
    }
    return true;
}

void ReportActions::tell(const QString& text) {
    if (messenger_) messenger_->showMessage(text, title_);
}

}  // namespace corvanta
