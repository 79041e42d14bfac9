#pragma once
// The settings listing as text: the line shapes (item lines, page headings,
// panel array tables) and the passes that line up separators for a
// fixed-pitch font and break long lines at 80 columns. Lines hold one code
// point per element so that a column is a character, whatever the script.
// The walk over the editor that feeds these lives with the windows.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace corvanta::listing {

using Line = std::u32string;
using Lines = std::vector<Line>;

inline constexpr std::size_t kPageWidth = 80;
// Shown for an empty text, so that a column never reads as missing.
inline constexpr char32_t kEmptyMark = U'\u00A8';

// Where alignColumn puts the padding: right before the character, or at the
// start position (which right-aligns what stands between the two).
enum class Pad { BeforeChar, AtStart };

// Moves the first `c` at or after `start` of every line in [first, last)
// into one column by inserting spaces. Lines without `c` are left alone.
// Returns the position just after that column, or nothing when no line has
// a `c` there.
std::optional<std::size_t> alignColumn(Lines& lines, std::size_t first, std::size_t last, std::size_t start,
                                       char32_t c, Pad pad);

// Control characters and blanks removed from both ends.
Line trimmed(const Line& s);

// Value texts of the control kinds.
Line checkMark(bool checked);
Line checkListText(const std::vector<bool>& items);
Line textOrEmptyMark(const Line& text);
// "2", or "2 (caption)" / "2 (hint text)": the item's own caption wins; the
// hint text is used when the caption is empty.
Line indexWithItemText(int index, const Line& itemCaption, const std::optional<Line>& hintText);

// The control names a hint points at for item `index`: ',' separates
// alternatives (the first one serves an index it does not reach), '+' joins
// names within one; any other separator ends the alternative.
std::vector<Line> hintNames(const Line& hint, int index);

// "name: value", with "  { note }" when there is a note.
Line itemLine(const Line& name, const Line& value, const std::optional<Line>& note);

// An item line: a name (letter or '_', then letters, digits, '_'), optional
// blanks, then ':' or the end of the line.
bool isItemLine(const Line& line);

// "{" + dashes + "}" as long as `text`, `text`, the same dashes.
Lines framed(const Line& text);
// The heading block of a tab sheet: an empty line, the framed, centred
// "TabSheet: <name>", an empty line.
Lines tabSheetHeading(const Line& sheetName);

// "{Components: a, b, ...}" broken before 80 columns, commas and closing
// braces lined up. Names are row-copy names; each is cut before its last '_'.
Lines componentsHeader(const std::vector<Line>& copyNames);

// " <caption>: [ v1;  v2;  ]"; empty values add nothing.
Line rowLine(const Line& caption, const std::vector<Line>& values);
// Lines up the row lines in [first, last) as a table, judged on the last one:
// row numbers right-aligned, the colons, then each value column (numbers
// right-aligned, texts left-aligned, "(" of item texts lined up).
void alignRowLines(Lines& lines, std::size_t first, std::size_t last);

struct ArrayRow {
  Line caption;
  std::vector<Line> values;
};
// The whole table of one panel array.
Lines arrayTable(const Line& arrayName, const std::vector<Line>& copyNames, const std::vector<ArrayRow>& rows);

// Runs of two or more item lines get their ':', '{' and '}' lined up.
void alignItemGroups(Lines& lines);
// Item lines longer than 80 columns are closed at their first '}' and broken
// at a blank, '-' or ',' into continuation lines that start under their '{'.
void wrapLongItemLines(Lines& lines);
// Both passes, in order.
void finishListing(Lines& lines);

}  // namespace corvanta::listing
