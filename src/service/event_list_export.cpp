#include "service/event_list_export.h"

namespace corvanta {

namespace {

std::string trimmedEnd(const std::string& text) { return text.substr(0, text.find_last_not_of(' ') + 1); }

}  // namespace

const std::array<const char*, kEventListColumns> kEventListTitles = {
    "Sorszám", "Időpont", "Esemény", "Zóna / Felhasználó", "T1", "T2", "T3",
    "T4",      "S1",      "S2",      "S3",                 "S4", "Közp", "Státusz"};

std::vector<NumberedEventRow> shownEventRows(const EventMemory& memory, const ModuleNames& names) {
    std::vector<NumberedEventRow> rows;
    for (int row = 1; row <= eventmemory::kShownRows; ++row) {
        const std::optional<int> k = entryForRow(memory, row);
        if (!k) break;
        const EventLogEntry entry = entryAt(memory, *k);
        if (!isEmptyEntry(entry)) rows.push_back({row, eventListRow(entry, names)});
    }
    return rows;
}

std::array<std::string, kEventListColumns> keptCells(const NumberedEventRow& row) {
    std::array<std::string, kEventListColumns> cells;
    cells[0] = std::to_string(row.number);
    cells[1] = row.cells.time;
    cells[2] = trimmedEnd(row.cells.kind);
    // A loaded name brings its own leading blank, and the blanks that pad
    // its field; kept text needs one blank after the number and none after.
    cells[3] = trimmedEnd(row.cells.subject);
    if (const auto at = cells[3].find(".  "); at != std::string::npos) cells[3].erase(at + 1, 1);
    for (std::size_t r = 0; r < row.cells.routes.size(); ++r) cells[4 + r] = row.cells.routes[r];
    cells[kEventListColumns - 1] = row.cells.status;
    return cells;
}

std::string csvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) line += ',';
        const std::string& f = fields[i];
        if (f.find_first_of(",\"\r\n") == std::string::npos) {
            line += f;
            continue;
        }
        line += '"';
        for (char c : f) {
            if (c == '"') line += '"';
            line += c;
        }
        line += '"';
    }
    return line + '\n';
}

std::string eventListCsv(const std::vector<NumberedEventRow>& rows) {
    std::string text = csvLine({kEventListTitles.begin(), kEventListTitles.end()});
    for (const auto& row : rows) {
        const auto cells = keptCells(row);
        text += csvLine({cells.begin(), cells.end()});
    }
    return text;
}

}  // namespace corvanta
