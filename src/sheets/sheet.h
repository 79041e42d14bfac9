#pragma once
// A list as a spreadsheet takes it: column titles and widths, then rows of
// cells that are text, numbers or moments. Both the saved CSV and the
// workbook are written from this, so they hold the same.

#include <string>
#include <variant>
#include <vector>

namespace corvanta::sheets {

// A moment as people read it (no time zone): written as a date a
// spreadsheet computes with, when the calendar has it.
struct SheetDateTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;

    bool valid() const;
    // "YYYY-MM-DD HH:MM", with ":SS" when the seconds are not 0.
    std::string text() const;
};

using Cell = std::variant<std::string, double, SheetDateTime>;
using Row = std::vector<Cell>;

struct Column {
    std::string title;
    double width = 10;  // in characters of the sheet's font
};

// A cell as text: a number as the shortest decimal that reads back the same,
// a moment by text().
std::string cellText(const Cell& cell);

}  // namespace corvanta::sheets
