#include "sheets/site_book_sheets.h"

#include "params/code_fields.h"

namespace corvanta::sheets {

namespace {

Cell momentOf(const QDateTime& t) {
    if (!t.isValid()) return std::string();
    const QDateTime local = t.toLocalTime();
    return SheetDateTime{local.date().year(), local.date().month(),  local.date().day(),
                         local.time().hour(), local.time().minute(), local.time().second()};
}

std::string text(const QString& s) { return s.toStdString(); }

}  // namespace

std::vector<Column> siteListColumns() {
    return {{"Név", 28},         {"Cím", 32},        {"Megjegyzés", 32}, {"Soros port", 14},
            {"Modem telefonszám", 18}, {"TCP/IP cím", 20}, {"TCP port", 9}, {"Utolsó beolvasás", 19}};
}

Row siteListRow(const sitebook::Site& s, const QDateTime& lastRead) {
    Row row{text(s.name), text(s.address), text(s.notes), text(s.serialPort), text(s.modemNumber), text(s.tcpHost)};
    row.emplace_back(s.tcpPort ? Cell(double(s.tcpPort)) : Cell(std::string()));
    row.push_back(momentOf(lastRead));
    return row;
}

std::vector<Column> auditColumns() {
    return {{"Sorszám", 9}, {"Idő", 19}, {"Helyszín", 28}, {"Eredmény", 10}, {"Blokkok", 10}, {"Változások", 60}};
}

Row auditRow(const sitebook::WriteRecord& w, bool showCodes) {
    QStringList changes;
    for (sitebook::WriteChange c : w.changes) {
        if (codes::isCodePath(c.path.toStdString())) {
            c.before = QString::fromStdString(codes::shownCode(c.before.toStdString(), showCodes));
            c.after = QString::fromStdString(codes::shownCode(c.after.toStdString(), showCodes));
        }
        changes << sitebook::changeLine(c);
    }
    return {double(w.id), momentOf(w.at), text(w.site), text(sitebook::writeResultName(w)), text(w.blocks),
            text(changes.join(QLatin1Char('\n')))};
}

}  // namespace corvanta::sheets
