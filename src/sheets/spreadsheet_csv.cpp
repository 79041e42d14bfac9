#include "sheets/spreadsheet_csv.h"

#include <string_view>

namespace corvanta::sheets {

namespace {

constexpr const char* kByteOrderMark = "\xEF\xBB\xBF";

void appendField(std::string& line, const std::string& field) {
    if (field.find_first_of(";\"\r\n") == std::string::npos) {
        line += field;
        return;
    }
    line += '"';
    for (char c : field) {
        if (c == '"') line += '"';
        line += c;
    }
    line += '"';
}

std::string joined(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) line += ';';
        appendField(line, fields[i]);
    }
    return line + "\r\n";
}

}  // namespace

std::string spreadsheetCsvHeader(const std::vector<Column>& columns) {
    std::vector<std::string> titles;
    for (const Column& c : columns) titles.push_back(c.title);
    return kByteOrderMark + joined(titles);
}

std::string spreadsheetCsvLine(const Row& row) {
    std::vector<std::string> fields;
    for (const Cell& c : row) {
        std::string text = cellText(c);
        // A number with the decimal comma the spreadsheet reads it by.
        if (std::holds_alternative<double>(c)) {
            if (const auto dot = text.find('.'); dot != std::string::npos) text[dot] = ',';
        } else if (std::holds_alternative<std::string>(c) && text.size() > 1 &&
                   std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos) {
            // A spreadsheet runs a text that opens so as a formula: a site
            // name or a subject typed as "=HYPERLINK(...)" stays text. A
            // lone "-" (nothing there) is text to it already.
            text.insert(text.begin(), '\'');
        }
        fields.push_back(std::move(text));
    }
    return joined(fields);
}

std::string spreadsheetCsv(const std::vector<Column>& columns, const std::vector<Row>& rows) {
    std::string text = spreadsheetCsvHeader(columns);
    for (const Row& row : rows) text += spreadsheetCsvLine(row);
    return text;
}

}  // namespace corvanta::sheets
