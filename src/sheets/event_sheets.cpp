#include "sheets/event_sheets.h"

#include <QDateTime>

#include "service/event_list_export.h"

namespace corvanta::sheets {

namespace {

// Wide enough for the widest text each column holds.
constexpr double kEventListWidths[kEventListColumns] = {8, 17, 19, 22, 4, 4, 4, 4, 4, 4, 4, 4, 5, 8};

std::string trimmedEnd(const std::string& text) { return text.substr(0, text.find_last_not_of(' ') + 1); }

SheetDateTime sheetTimeOf(const ModuleMinute& m) { return {m.year, m.month, m.day, m.hour, m.minute, 0}; }

SheetDateTime sheetTimeOf(const QDateTime& t) {
    const QDateTime local = t.toLocalTime();
    return {local.date().year(), local.date().month(), local.date().day(),
            local.time().hour(), local.time().minute(), local.time().second()};
}

}  // namespace

std::vector<Column> eventListColumns() {
    std::vector<Column> columns;
    for (std::size_t c = 0; c < kEventListColumns; ++c) columns.push_back({kEventListTitles[c], kEventListWidths[c]});
    return columns;
}

std::vector<Row> eventListSheetRows(const EventMemory& memory, const ModuleNames& names,
                                    const ModuleMinute& loadedAt) {
    std::vector<Row> rows;
    for (const NumberedEventRow& row : shownEventRows(memory, names)) {
        const auto cells = keptCells(row);
        Row out;
        out.emplace_back(double(row.number));
        const ModuleMinute at = datedMinute(entryAt(memory, *entryForRow(memory, row.number)), loadedAt);
        out.emplace_back(sheetTimeOf(at));
        for (std::size_t c = 2; c < cells.size(); ++c) out.emplace_back(cells[c]);
        rows.push_back(std::move(out));
    }
    return rows;
}

QStringList siteEventTitles() {
    QStringList titles;
    for (std::size_t c = 1; c < kEventListColumns; ++c) titles << QString::fromUtf8(kEventListTitles[c]);
    titles << QString::fromUtf8("Betöltve");
    return titles;
}

std::vector<Column> siteEventColumns() {
    std::vector<Column> columns;
    for (std::size_t c = 1; c < kEventListColumns; ++c) columns.push_back({kEventListTitles[c], kEventListWidths[c]});
    columns.push_back({"Betöltve", 17});
    return columns;
}

QStringList siteEventTexts(const sitebook::SiteEvent& event) {
    QStringList cells{event.occurredAt, QString::fromStdString(trimmedEnd(eventKindText(event.entry))), event.subject};
    for (const std::string& mark : routeMarks(event.entry)) cells << QString::fromStdString(mark);
    cells << QString::fromStdString(routeStatusText(event.entry));
    cells << event.loadedAt.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    return cells;
}

Row siteEventRow(const sitebook::SiteEvent& event) {
    const QStringList texts = siteEventTexts(event);
    Row row;
    row.emplace_back(sheetTimeOf(event.occurredAt));
    for (int c = 1; c < texts.size() - 1; ++c) row.emplace_back(texts[c].toStdString());
    row.emplace_back(sheetTimeOf(event.loadedAt));
    return row;
}

SheetDateTime sheetTimeOf(const QString& moduleMinute) {
    // "YYYY-MM-DD HH:MM": read by place, so that a minute no calendar has
    // keeps its numbers and is written as the text it is.
    SheetDateTime t;
    const QString s = moduleMinute;
    t.year = s.mid(0, 4).toInt();
    t.month = s.mid(5, 2).toInt();
    t.day = s.mid(8, 2).toInt();
    t.hour = s.mid(11, 2).toInt();
    t.minute = s.mid(14, 2).toInt();
    return t;
}

}  // namespace corvanta::sheets
