#pragma once
// The tooltips of the editor's fields and column headings: what the field
// is (its caption, as the field list of a compare or a write names it), what
// it takes (range or items, text length) and in which unit. Built from the
// field catalogue and the control table, so a tip never states a range the
// control does not keep.

#include <string_view>

#include <QString>

namespace corvanta {

// "3. Zóna · Belépési késlelt." and "0–255 másodperc" on the next line.
// Empty for a path the catalogue does not hold.
QString fieldTip(std::string_view path);

// A column heading's tip: the column's caption without the row, and what it
// takes. `item` is an item of a check list, or an option of a radio group
// that has no heading of its own (-1: the whole control).
QString columnTip(int page, const QString& control, int item);

// The line a tooltip adds for a shortcut: "Ctrl+Z".
QString shortcutNote(const QString& tip, const QString& keys);

}  // namespace corvanta
