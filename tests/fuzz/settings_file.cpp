// The settings file's table: a file that reads is a table within bounds, and
// writing it out and reading it back gives the same table and the same text.

#include "link/settings_table.h"
#include "tests/fuzz/fuzz_targets.h"

namespace corvanta::fuzz {

namespace {

bool sameTable(const SettingsTable& a, const SettingsTable& b) {
    return a.columns == b.columns && a.rows == b.rows && a.widths == b.widths && a.cells == b.cells;
}

}  // namespace

void settingsFile(Input in) {
    const auto table = parseSettingsTable(text(in));
    if (!table) return;
    FUZZ_CHECK(table->columns >= 1 && table->columns <= 256 && table->rows >= 1 && table->rows <= 256);
    FUZZ_CHECK(table->widths.size() == std::size_t(table->columns));
    for (const auto& [at, cell] : table->cells) {
        FUZZ_CHECK(at.first >= 0 && at.first < table->columns && at.second >= 0 && at.second < table->rows);
        FUZZ_CHECK(!cell.empty());
    }

    const std::string written = formatSettingsTable(*table);
    const auto reread = parseSettingsTable(written);
    FUZZ_CHECK(reread && sameTable(*reread, *table));
    FUZZ_CHECK(formatSettingsTable(*reread) == written);
}

}  // namespace corvanta::fuzz
