#pragma once
// CSV for people who open it in a spreadsheet here: UTF-8 with a byte-order
// mark (without one the accents come out broken), ';' between fields (the
// Hungarian list separator; a comma is the decimal mark) and CRLF line
// ends. Scripts get RFC 4180 commas from the command line instead.

#include <string>
#include <vector>

#include "sheets/sheet.h"

namespace corvanta::sheets {

// The byte-order mark and the titles' line.
std::string spreadsheetCsvHeader(const std::vector<Column>& columns);
// One line with its CRLF; a field holding ';', a quote or a line break is
// quoted, its quotes doubled; numbers take a decimal comma.
std::string spreadsheetCsvLine(const Row& row);

// The whole list.
std::string spreadsheetCsv(const std::vector<Column>& columns, const std::vector<Row>& rows);

}  // namespace corvanta::sheets
