#pragma once
// A list a window saves for others to open: as CSV for a spreadsheet, as
// an Excel workbook or as a PDF table, from one source of rows, with the
// three buttons that do it.

#include <QString>

#include <vector>

#include "sheets/sheet.h"
#include "ui/reports/report_actions.h"

class QWidget;

namespace corvanta {

class ListReport {
public:
    // `title` heads the pages and names the sheet; `fileStem` begins the
    // suggested file names.
    ListReport(QWidget* window, QString title, QString fileStem);

    // What is saved: the columns, and the rows at the time of saving.
    void setSource(std::vector<sheets::Column> columns, ReportActions::SheetRows rows);
    ReportActions& actions() { return actions_; }

    bool saveCsv();
    bool saveXlsx();
    bool savePdf();

    // "Mentés CSV-be", "Mentés Excelbe", "Mentés PDF-be" side by side, named
    // btSave<name>Csv, btSave<name>Xlsx, btSave<name>Pdf.
    QWidget* buttons(const QString& name, QWidget* parent);

private:
    ReportActions actions_;
    QString title_;
    std::vector<sheets::Column> columns_;
    ReportActions::SheetRows rows_;
};

}  // namespace corvanta
