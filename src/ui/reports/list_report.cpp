#include "ui/reports/list_report.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextDocument>
#include <QWidget>

#include "ui/reports/report_document.h"

namespace corvanta {

ListReport::ListReport(QWidget* window, QString title, QString fileStem)
    : actions_(window, title, std::move(fileStem)), title_(std::move(title)) {}

void ListReport::setSource(std::vector<sheets::Column> columns, ReportActions::SheetRows rows) {
    columns_ = std::move(columns);
    rows_ = std::move(rows);
}

bool ListReport::saveCsv() { return rows_ && actions_.saveSheet(ReportFormat::Csv, title_, columns_, rows_); }

bool ListReport::saveXlsx() { return rows_ && actions_.saveSheet(ReportFormat::Xlsx, title_, columns_, rows_); }

bool ListReport::savePdf() {
    if (!rows_) return false;
    QStringList titles;
    for (const sheets::Column& c : columns_) titles << QString::fromStdString(c.title);
    QList<QStringList> rows;
    rows_([&rows](const sheets::Row& row) {
        QStringList cells;
        for (const sheets::Cell& c : row) cells << QString::fromStdString(sheets::cellText(c));
        rows << cells;
        return true;
    });
    return actions_.savePdf(*tableDocument(titles, rows));
}

QWidget* ListReport::buttons(const QString& name, QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    const struct {
        const char* format;
        const char* caption;
        bool (ListReport::*save)();
    } kinds[] = {{"Csv", "Mentés CSV-be", &ListReport::saveCsv},
                 {"Xlsx", "Mentés Excelbe", &ListReport::saveXlsx},
                 {"Pdf", "Mentés PDF-be", &ListReport::savePdf}};
    for (const auto& k : kinds) {
        auto* b = new QPushButton(QString::fromUtf8(k.caption), box);
        b->setObjectName(QStringLiteral("btSave") + name + QString::fromLatin1(k.format));
        b->setAutoDefault(false);
        QObject::connect(b, &QPushButton::clicked, box, [this, save = k.save] { (this->*save)(); });
        layout->addWidget(b);
    }
    return box;
}

}  // namespace corvanta
