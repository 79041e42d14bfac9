#pragma once
// The settings file's text: the plain dump of a small table of strings,
// columns by rows. Lines end with CR LF:
//   "2,1"          column and row count
//   "cw 0,20"      one width line per column
//   "1,0,0612345"  one line per non-empty cell: column, row, text
// A CR inside cell text is written as TAB and an LF as BS.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace corvanta {

struct SettingsTable {
    int columns = 2;
    int rows = 1;
    std::vector<int> widths = std::vector<int>(2, 20);
    // (column, row) -> text as stored, in the module's 8-bit code page.
    std::map<std::pair<int, int>, std::string> cells;

    std::string cell(int column, int row) const;
    // An empty text removes the cell; the table grows to hold the cell.
    void setCell(int column, int row, const std::string& text);
};

// nullopt when the text is empty, gives no columns or rows, or holds a line
// that cannot be read.
std::optional<SettingsTable> parseSettingsTable(std::string_view text);
std::string formatSettingsTable(const SettingsTable& table);

}  // namespace corvanta
